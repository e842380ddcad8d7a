// Writes the seed corpus of the bitmap fuzz target: one tiny file of each kind
// the decoder reads. Run by the bitmap_corpus target into
// tests/fuzz/bitmap_corpus.

#include <cstdio>
#include <string>

#include "tests/platform/bmp_writer.h"

namespace {

constexpr int32_t SIDE = 3;
const std::vector<uint32_t> INDICES = {0, 1, 2, 3, 0, 1, 2, 3, 1};
const std::vector<uint32_t> PALETTE = {0x000000, 0xFFFFFF, 0xFF0000, 0x0000FF};
const std::vector<uint32_t> COLOURS = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF,
                                       0x010101, 0x808080, 0x123456, 0xFEDCBA};

bmp::Layout Image(uint16_t bitCount, const std::vector<uint32_t>& values, bool topDown) {
    return bmp::Picture(SIDE, SIDE, bitCount, values, topDown);
}

bmp::Layout Palettised(uint16_t bitCount) {
    std::vector<uint32_t> indices = INDICES;
    if (bitCount == 1) {
        for (uint32_t& index : indices) {
            index &= 1;
        }
    }
    bmp::Layout layout = Image(bitCount, indices, false);
    layout.palette.assign(PALETTE.begin(), PALETTE.begin() + (bitCount == 1 ? 2 : 4));
    return layout;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s corpus-directory\n", argv[0]);
        return 2;
    }
    std::vector<std::pair<std::string, bmp::Layout>> seeds;
    seeds.emplace_back("1bpp", Palettised(1));
    seeds.emplace_back("4bpp", Palettised(4));
    seeds.emplace_back("8bpp", Palettised(8));

    bmp::Layout rle8 = Palettised(8);
    rle8.compression = bmp::RLE8;
    rle8.pixels = {0, 3, 2, 3, 1, 0, 0, 0, 1, 3, 1, 0, 1, 1, 0, 0, 1, 0, 1, 1, 1, 2, 0, 1};
    seeds.emplace_back("rle8", rle8);
    bmp::Layout rle4 = Palettised(4);
    rle4.compression = bmp::RLE4;
    rle4.pixels = {0, 3, 0x23, 0x10, 0, 0, 2, 0x30, 1, 0x10, 0, 0, 2, 0x01, 1, 0x20, 0, 1};
    seeds.emplace_back("rle4", rle4);

    std::vector<uint32_t> packed565;
    for (uint32_t colour : COLOURS) {
        packed565.push_back(((colour >> 8) & 0xF800) | ((colour >> 5) & 0x07E0) |
                            ((colour >> 3) & 0x001F));
    }
    bmp::Layout fields565 = Image(16, packed565, false);
    fields565.compression = bmp::BITFIELDS;
    fields565.masks = {0xF800, 0x07E0, 0x001F};
    seeds.emplace_back("16bpp_565", fields565);
    seeds.emplace_back("24bpp_top_down", Image(24, COLOURS, true));
    bmp::Layout core = Image(24, COLOURS, false);
    core.headerSize = 12;
    seeds.emplace_back("24bpp_core_header", core);
    bmp::Layout v5 = Image(32, COLOURS, false);
    v5.headerSize = 124;
    v5.compression = bmp::BITFIELDS;
    v5.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    seeds.emplace_back("32bpp_v5", v5);

    for (const auto& [name, layout] : seeds) {
        std::string path = std::string(argv[1]) + "/" + name + ".bmp";
        if (!bmp::Save(path, bmp::Write(layout))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
