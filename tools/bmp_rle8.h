#pragma once
// Writes 8-bit palettized pictures as BMP files with RLE8 compression: the
// shipped maps and the bitmaps made from grid map files are stored this way.

#include <cstdint>
#include <vector>

struct PaletteColour {
    uint8_t r, g, b;
};

// indices: height rows of width palette indices, top row first. The file holds
// a 14-byte file header, a 40-byte info header, the palette and the RLE8 data,
// rows bottom-up, each row closed by an end-of-line code and the last by the
// end-of-bitmap code.
std::vector<uint8_t> EncodeRle8Bmp(const uint8_t* indices, int width, int height,
                                   const std::vector<PaletteColour>& palette);
