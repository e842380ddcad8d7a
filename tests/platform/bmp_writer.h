#pragma once
// Writes BMP files byte by byte for the bitmap tests and the fuzz seed corpus,
// so every kind of file the loader must read is made here, in code.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bmp {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t RGB_ROWS = 0;
constexpr uint32_t RLE8 = 1;
constexpr uint32_t RLE4 = 2;
constexpr uint32_t BITFIELDS = 3;

struct Layout {
    uint32_t headerSize = 40; // 12 (core), 40 (info), 108 or 124 (with masks)
    int32_t width = 0;
    int32_t height = 0; // negative: rows top-down
    uint16_t bitCount = 24;
    uint32_t compression = RGB_ROWS;
    std::vector<uint32_t> palette; // 0x00RRGGBB entries
    std::vector<uint32_t> masks;   // red, green, blue, alpha
    Bytes pixels;                  // the pixel data as stored in the file
};

inline void Put16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void Put32(Bytes& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

inline Bytes Write(const Layout& layout) {
    bool core = layout.headerSize == 12;
    // Masks follow a 40-byte header; larger headers hold them inside.
    bool separateMasks = layout.headerSize == 40 && layout.compression == BITFIELDS;
    size_t paletteBytes = layout.palette.size() * (core ? 3 : 4);
    size_t offset = 14 + layout.headerSize + (separateMasks ? 12 : 0) + paletteBytes;

    Bytes out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, static_cast<uint32_t>(offset + layout.pixels.size()));
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(offset));
    Put32(out, layout.headerSize);
    if (core) {
        Put16(out, static_cast<uint32_t>(layout.width));
        Put16(out, static_cast<uint32_t>(layout.height));
        Put16(out, 1);
        Put16(out, layout.bitCount);
    } else {
        size_t start = out.size();
        Put32(out, static_cast<uint32_t>(layout.width));
        Put32(out, static_cast<uint32_t>(layout.height));
        Put16(out, 1);
        Put16(out, layout.bitCount);
        Put32(out, layout.compression);
        Put32(out, static_cast<uint32_t>(layout.pixels.size()));
        Put32(out, 2835); // 72 dots per inch
        Put32(out, 2835);
        Put32(out, static_cast<uint32_t>(layout.palette.size()));
        Put32(out, 0);
        if (layout.headerSize > 40) {
            for (size_t i = 0; i < 4; i++) {
                Put32(out, i < layout.masks.size() ? layout.masks[i] : 0);
            }
            Put32(out, 0x73524742); // colour space: sRGB
        }
        out.resize(start - 4 + layout.headerSize, 0);
    }
    if (separateMasks) {
        for (size_t i = 0; i < 3; i++) {
            Put32(out, layout.masks.at(i));
        }
    }
    for (uint32_t colour : layout.palette) {
        out.push_back(static_cast<uint8_t>(colour));
        out.push_back(static_cast<uint8_t>(colour >> 8));
        out.push_back(static_cast<uint8_t>(colour >> 16));
        if (!core) {
            out.push_back(0);
        }
    }
    out.insert(out.end(), layout.pixels.begin(), layout.pixels.end());
    return out;
}

// Packs pixel values given top-down into the file's rows: bottom-up unless
// topDown, each row padded to four bytes. Values narrower than a byte are
// packed from the high bits down; wider ones are stored least significant
// byte first.
inline Bytes PackRows(const std::vector<uint32_t>& values, int32_t width, int32_t height,
                      int bitCount, bool topDown) {
    size_t rowBytes = (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
    Bytes out(rowBytes * static_cast<size_t>(height), 0);
    for (int32_t y = 0; y < height; y++) {
        int32_t fileRow = topDown ? y : height - 1 - y;
        uint8_t* row = out.data() + static_cast<size_t>(fileRow) * rowBytes;
        for (int32_t x = 0; x < width; x++) {
            uint32_t value = values.at(static_cast<size_t>(y * width + x));
            if (bitCount < 8) {
                size_t bit = static_cast<size_t>(x) * bitCount;
                int shift = 8 - bitCount - static_cast<int>(bit % 8);
                row[bit / 8] |= static_cast<uint8_t>(value << shift);
            } else {
                for (int byte = 0; byte < bitCount / 8; byte++) {
                    row[static_cast<size_t>(x) * (bitCount / 8) + byte] =
                        static_cast<uint8_t>(value >> (8 * byte));
                }
            }
        }
    }
    return out;
}

// A width x height picture of pixel values given top-down, stored in rows of
// bitCount bits, bottom-up unless topDown.
inline Layout Picture(int32_t width, int32_t height, uint16_t bitCount,
                      const std::vector<uint32_t>& values, bool topDown) {
    Layout layout;
    layout.width = width;
    layout.height = topDown ? -height : height;
    layout.bitCount = bitCount;
    layout.pixels = PackRows(values, width, height, bitCount, topDown);
    return layout;
}

inline bool Save(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

} // namespace bmp
