#include "tools/bmp_rle8.h"

#include <algorithm>

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// One row in RLE8: runs of two or more pixels as (count, index) pairs, other stretches of at
// least three pixels in absolute mode (0, count, indices, padded to 16 bits), single leftovers
// as runs of one.
void EncodeRow(const uint8_t* row, int width, std::vector<uint8_t>& out) {
    std::vector<uint8_t> literal;
    auto flushLiteral = [&] {
        size_t i = 0;
        while (literal.size() - i >= 3) {
            const size_t n = std::min<size_t>(literal.size() - i, 255);
            out.push_back(0);
            out.push_back(uint8_t(n));
            out.insert(out.end(), literal.begin() + i, literal.begin() + i + n);
            if (n % 2 == 1) {
                out.push_back(0);
            }
            i += n;
        }
        for (; i < literal.size(); ++i) {
            out.push_back(1);
            out.push_back(literal[i]);
        }
        literal.clear();
    };
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 255 && row[x + run] == row[x]) {
            ++run;
        }
        if (run >= 2) {
            flushLiteral();
            out.push_back(uint8_t(run));
            out.push_back(row[x]);
        } else {
            literal.push_back(row[x]);
        }
        x += run;
    }
    flushLiteral();
}

} // namespace

std::vector<uint8_t> EncodeRle8Bmp(const uint8_t* indices, int width, int height,
                                   const std::vector<PaletteColour>& palette) {
    std::vector<uint8_t> data;
    for (int y = height - 1; y >= 0; --y) {
        EncodeRow(indices + static_cast<size_t>(y) * width, width, data);
        data.push_back(0);
        data.push_back(y > 0 ? 0 : 1);
    }

    constexpr uint32_t HEADERS = 14 + 40;
    constexpr uint32_t BI_RLE8 = 1;
    const uint32_t colours = uint32_t(palette.size());
    const uint32_t paletteBytes = 4 * colours;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutU32(out, HEADERS + paletteBytes + uint32_t(data.size()));
    PutU32(out, 0);
    PutU32(out, HEADERS + paletteBytes);
    PutU32(out, 40);
    PutU32(out, uint32_t(width));
    PutU32(out, uint32_t(height)); // positive: bottom-up
    PutU16(out, 1);                // planes
    PutU16(out, 8);                // bits per pixel
    PutU32(out, BI_RLE8);
    PutU32(out, uint32_t(data.size()));
    PutU32(out, 2835); // 72 dpi
    PutU32(out, 2835);
    PutU32(out, colours);
    PutU32(out, colours);
    for (const PaletteColour& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}
