#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include <unistd.h>

#include "bmp_writer.h"
#include "platform/gdi.h"

namespace {

constexpr int32_t WIDTH = 5; // odd, so every depth has padded rows
constexpr int32_t HEIGHT = 3;

// A 16-colour palette, 0x00RRGGBB, with black first and colours one step
// away from black.
const std::vector<uint32_t> PALETTE = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x010000, 0x000001, 0x808080,
    0x123456, 0xABCDEF, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0x400000, 0x004000, 0x000040,
};
const std::vector<uint32_t> INDICES = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 14, 13, 0, 10};
const std::vector<uint32_t> ONE_BIT_INDICES = {0, 1, 1, 0, 1, 1, 0, 0, 1, 1, 0, 0, 0, 1, 0};
const std::vector<uint32_t> ONE_BIT_PALETTE = {0x000000, 0x123456};
// Run-length files hold this picture; the streams below spell it out.
const std::vector<uint32_t> RUN_INDICES = {7, 7, 7, 2, 2, 1, 3, 4, 5, 1, 0, 0, 0, 0, 9};
const std::vector<uint32_t> COLOURS = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x010000, 0x000100, 0x000001,
    0x808080, 0x123456, 0xABCDEF, 0x7F7F7F, 0xFEDCBA, 0x000000, 0x0F1E2D,
};

struct Variant {
    std::string name;
    bmp::Bytes file;
    std::vector<uint32_t> expected; // top-down, 0x00RRGGBB
};

std::vector<uint32_t> Lookup(const std::vector<uint32_t>& indices,
                             const std::vector<uint32_t>& palette) {
    std::vector<uint32_t> colours;
    for (uint32_t index : indices) {
        colours.push_back(palette.at(index));
    }
    return colours;
}

uint32_t Channel(uint32_t colour, int shift) {
    return (colour >> shift) & 0xFF;
}

// 16-bit files: each channel keeps its top bits and is scaled back to 0..255,
// rounding down, so full intensity stays 255 and a lowest step stays above 0.
uint32_t Widen(uint32_t value, int bits) {
    return value * 255 / ((1u << bits) - 1);
}

std::vector<uint32_t> SixteenBit(bool green6, std::vector<uint32_t>& stored) {
    int greenBits = green6 ? 6 : 5;
    std::vector<uint32_t> expected;
    for (uint32_t colour : COLOURS) {
        uint32_t r = Channel(colour, 16) >> 3;
        uint32_t g = Channel(colour, 8) >> (8 - greenBits);
        uint32_t b = Channel(colour, 0) >> 3;
        stored.push_back((r << (5 + greenBits)) | (g << 5) | b);
        expected.push_back((Widen(r, 5) << 16) | (Widen(g, greenBits) << 8) | Widen(b, 5));
    }
    return expected;
}

bmp::Layout Palettised(uint16_t bitCount, const std::vector<uint32_t>& indices,
                       const std::vector<uint32_t>& palette, bool topDown) {
    bmp::Layout layout;
    layout.width = WIDTH;
    layout.height = topDown ? -HEIGHT : HEIGHT;
    layout.bitCount = bitCount;
    layout.palette = palette;
    layout.pixels = bmp::PackRows(indices, WIDTH, HEIGHT, bitCount, topDown);
    return layout;
}

bmp::Layout Direct(uint16_t bitCount, const std::vector<uint32_t>& values, bool topDown) {
    return bmp::Picture(WIDTH, HEIGHT, bitCount, values, topDown);
}

std::vector<Variant> Variants() {
    std::vector<Variant> variants;
    auto add = [&](std::string name, const bmp::Layout& layout, std::vector<uint32_t> expected) {
        variants.push_back({std::move(name), bmp::Write(layout), std::move(expected)});
    };
    add("1 bpp", Palettised(1, ONE_BIT_INDICES, ONE_BIT_PALETTE, false),
        Lookup(ONE_BIT_INDICES, ONE_BIT_PALETTE));
    add("4 bpp", Palettised(4, INDICES, PALETTE, false), Lookup(INDICES, PALETTE));
    add("8 bpp, 16-colour palette", Palettised(8, INDICES, PALETTE, false),
        Lookup(INDICES, PALETTE));
    add("8 bpp top-down", Palettised(8, INDICES, PALETTE, true), Lookup(INDICES, PALETTE));

    // Bottom row first: a run and a single pixel; an absolute run of five;
    // two runs, then the end of the bitmap in place of the last end of line.
    bmp::Layout rle8 = Palettised(8, RUN_INDICES, PALETTE, false);
    rle8.compression = bmp::RLE8;
    rle8.pixels = {4, 0, 1, 9, 0, 0, 0, 5, 1, 3, 4, 5, 1, 0, 0, 0, 3, 7, 2, 2, 0, 1};
    add("RLE8", rle8, Lookup(RUN_INDICES, PALETTE));
    bmp::Layout rle4 = Palettised(4, RUN_INDICES, PALETTE, false);
    rle4.compression = bmp::RLE4;
    rle4.pixels = {4, 0x00, 1, 0x90, 0, 0, 0, 5, 0x13, 0x45, 0x10, 0, 0, 0, 3, 0x77, 2, 0x22, 0, 1};
    add("RLE4", rle4, Lookup(RUN_INDICES, PALETTE));

    std::vector<uint32_t> stored555;
    std::vector<uint32_t> expected555 = SixteenBit(false, stored555);
    add("16 bpp 555", Direct(16, stored555, false), expected555);
    std::vector<uint32_t> stored565;
    std::vector<uint32_t> expected565 = SixteenBit(true, stored565);
    bmp::Layout fields565 = Direct(16, stored565, false);
    fields565.compression = bmp::BITFIELDS;
    fields565.masks = {0xF800, 0x07E0, 0x001F};
    add("16 bpp 565 bit fields", fields565, expected565);

    add("24 bpp", Direct(24, COLOURS, false), COLOURS);
    add("24 bpp top-down", Direct(24, COLOURS, true), COLOURS);
    bmp::Layout core = Direct(24, COLOURS, false);
    core.headerSize = 12;
    add("24 bpp, 12-byte header", core, COLOURS);

    // The fourth byte of a plain 32-bit pixel is unused and must not matter.
    std::vector<uint32_t> withJunk;
    for (uint32_t colour : COLOURS) {
        withJunk.push_back(colour | 0x5A000000);
    }
    add("32 bpp", Direct(32, withJunk, false), COLOURS);
    add("32 bpp top-down", Direct(32, withJunk, true), COLOURS);

    // Masks in another order: red in the lowest byte.
    std::vector<uint32_t> reordered;
    for (uint32_t colour : COLOURS) {
        reordered.push_back(Channel(colour, 16) | (Channel(colour, 8) << 8) |
                            (Channel(colour, 0) << 16));
    }
    bmp::Layout fields32 = Direct(32, reordered, false);
    fields32.compression = bmp::BITFIELDS;
    fields32.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    add("32 bpp bit fields, red lowest", fields32, COLOURS);

    // A 124-byte header with an alpha mask: alpha is not part of the colour.
    std::vector<uint32_t> halfAlpha;
    for (uint32_t colour : COLOURS) {
        halfAlpha.push_back(colour | 0x80000000);
    }
    bmp::Layout v5 = Direct(32, halfAlpha, true);
    v5.headerSize = 124;
    v5.compression = bmp::BITFIELDS;
    v5.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    add("32 bpp, 124-byte header with alpha", v5, COLOURS);
    return variants;
}

// ctest runs each test in its own process, possibly side by side: the process
// id keeps their files apart.
std::string TempPath(const std::string& name) {
    return testing::TempDir() + "brassel_gdi_bitmap_" + std::to_string(getpid()) + "_" + name +
           ".bmp";
}

HGDIOBJ LoadBytes(const bmp::Bytes& bytes) {
    std::string path = TempPath("case");
    EXPECT_TRUE(bmp::Save(path, bytes));
    HGDIOBJ bitmap = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    std::remove(path.c_str());
    return bitmap;
}

COLORREF ToColorref(uint32_t rgb) {
    return RGB(static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb));
}

} // namespace

TEST(GdiBitmap, EveryKindOfFileReadsBackPixelByPixel) {
    for (const Variant& variant : Variants()) {
        SCOPED_TRACE(variant.name);
        HGDIOBJ bitmap = LoadBytes(variant.file);
        ASSERT_NE(bitmap, nullptr) << GetLastImageLoadError();
        BITMAP bmp{};
        ASSERT_EQ(GetObjectA(bitmap, 24, &bmp), 24);
        EXPECT_EQ(bmp.bmWidth, WIDTH);
        EXPECT_EQ(bmp.bmHeight, HEIGHT);

        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, bitmap);
        for (int32_t y = 0; y < HEIGHT; y++) {
            for (int32_t x = 0; x < WIDTH; x++) {
                uint32_t expected = variant.expected.at(static_cast<size_t>(y * WIDTH + x));
                EXPECT_EQ(GetPixel(dc, x, y), ToColorref(expected)) << "at " << x << ", " << y;
            }
        }
        EXPECT_TRUE(DeleteDC(dc));
        EXPECT_TRUE(DeleteObject(bitmap));
    }
}

TEST(GdiBitmap, BrokenFilesGiveNoBitmap) {
    bmp::Bytes good = bmp::Write(Direct(24, COLOURS, false));
    bmp::Bytes palettised = bmp::Write(Palettised(8, INDICES, PALETTE, false));
    bmp::Layout rle = Palettised(8, RUN_INDICES, PALETTE, false);
    rle.compression = bmp::RLE8;
    rle.pixels = {4, 0, 1, 9, 0, 0, 0, 5, 1, 3, 4, 5, 1, 0, 0, 0, 3, 7, 2, 2, 0, 1};
    bmp::Bytes runs = bmp::Write(rle);

    auto header = [&](auto change) {
        bmp::Bytes bytes = good;
        change(bytes);
        return bytes;
    };
    auto put32 = [](bmp::Bytes& bytes, size_t at, uint32_t value) {
        for (int i = 0; i < 4; i++) {
            bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    };
    std::mt19937 random(4);
    bmp::Bytes noise(300);
    for (uint8_t& byte : noise) {
        byte = static_cast<uint8_t>(random());
    }
    bmp::Bytes noiseWithMagic = noise;
    noiseWithMagic[0] = 'B';
    noiseWithMagic[1] = 'M';
    // An 8-bit file whose palette has two colours but whose pixels use more.
    bmp::Layout shortPalette = Palettised(8, INDICES, {0x000000, 0xFFFFFF}, false);

    const std::vector<std::pair<std::string, bmp::Bytes>> cases = {
        {"empty", {}},
        {"magic only", bmp::Bytes(good.begin(), good.begin() + 2)},
        {"file header only", bmp::Bytes(good.begin(), good.begin() + 14)},
        {"cut in the info header", bmp::Bytes(good.begin(), good.begin() + 30)},
        {"headers only", bmp::Bytes(good.begin(), good.begin() + 54)},
        {"one byte short", bmp::Bytes(good.begin(), good.end() - 1)},
        {"cut in the palette", bmp::Bytes(palettised.begin(), palettised.begin() + 70)},
        {"run-length data cut short", bmp::Bytes(runs.begin(), runs.end() - 6)},
        {"noise", noise},
        {"noise after the magic", noiseWithMagic},
        {"width 0", header([&](bmp::Bytes& b) { put32(b, 18, 0); })},
        {"height 0", header([&](bmp::Bytes& b) { put32(b, 22, 0); })},
        {"negative width", header([&](bmp::Bytes& b) { put32(b, 18, 0xFFFFFFFB); })},
        {"height -2^31", header([&](bmp::Bytes& b) { put32(b, 22, 0x80000000); })},
        {"100000 pixels wide", header([&](bmp::Bytes& b) { put32(b, 18, 100000); })},
        {"20000 x 20000", header([&](bmp::Bytes& b) {
             put32(b, 18, 20000);
             put32(b, 22, 20000);
         })},
        {"7 bits per pixel", header([&](bmp::Bytes& b) { b[28] = 7; })},
        {"run-length 24 bits", header([&](bmp::Bytes& b) { put32(b, 30, bmp::RLE8); })},
        {"unknown compression", header([&](bmp::Bytes& b) { put32(b, 30, 9); })},
        {"header size 41", header([&](bmp::Bytes& b) { put32(b, 14, 41); })},
        {"pixels outside the palette", bmp::Write(shortPalette)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        HGDIOBJ bitmap = LoadBytes(bytes);
        EXPECT_EQ(bitmap, nullptr);
        EXPECT_STRNE(GetLastImageLoadError(), "");
        DeleteObject(bitmap);
    }
}

TEST(GdiBitmap, MissingFileAndUnsupportedRequestsGiveNoBitmap) {
    EXPECT_EQ(LoadImageA(nullptr, "no/such/map.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_STRNE(GetLastImageLoadError(), "");
    EXPECT_EQ(LoadImageA(nullptr, nullptr, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);

    std::string path = TempPath("request");
    ASSERT_TRUE(bmp::Save(path, bmp::Write(Direct(24, COLOURS, false))));
    EXPECT_EQ(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 10, 10, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, path.c_str(), 1, 0, 0, LR_LOADFROMFILE), nullptr);
    HGDIOBJ bitmap = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    EXPECT_NE(bitmap, nullptr);
    EXPECT_STREQ(GetLastImageLoadError(), "");
    DeleteObject(bitmap);
    std::remove(path.c_str());
}

TEST(GdiBitmap, GetPixelIsInvalidOutsideTheBitmapOrWithoutOne) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);

    HGDIOBJ bitmap = LoadBytes(bmp::Write(Direct(24, COLOURS, false)));
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ empty = SelectObject(dc, bitmap);
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(GetPixel(dc, 0, 0), 0u); // pure black reads 0
    EXPECT_EQ(GetPixel(dc, WIDTH - 1, HEIGHT - 1), ToColorref(COLOURS.back()));
    const POINT outside[] = {{-1, 0},         {0, -1},        {WIDTH, 0},    {0, HEIGHT},
                             {WIDTH, HEIGHT}, {INT32_MIN, 0}, {0, INT32_MAX}};
    for (POINT point : outside) {
        SCOPED_TRACE(testing::Message() << point.x << ", " << point.y);
        EXPECT_EQ(GetPixel(dc, point.x, point.y), CLR_INVALID);
    }

    // Putting the earlier object back leaves no bitmap selected.
    EXPECT_EQ(SelectObject(dc, empty), bitmap);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_EQ(SelectObject(dc, bitmap), empty);

    // Deleting the selected bitmap takes it out of the context.
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);

    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(GdiBitmap, HandlesOfOneKindAreRefusedWhereAnotherIsExpected) {
    HDC dc = CreateCompatibleDC(nullptr);
    int local = 0;
    EXPECT_EQ(SelectObject(dc, dc), nullptr);
    EXPECT_EQ(SelectObject(dc, &local), nullptr);
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(&local), dc), nullptr);
    EXPECT_FALSE(DeleteObject(dc));
    EXPECT_FALSE(DeleteObject(&local));
    EXPECT_FALSE(DeleteObject(nullptr));
    BITMAP bmp{};
    EXPECT_EQ(GetObjectA(dc, sizeof(bmp), &bmp), 0);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiBitmap, GetObjectCopiesNoMoreThanAsked) {
    HGDIOBJ bitmap = LoadBytes(bmp::Write(Direct(24, COLOURS, false)));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), static_cast<int>(sizeof(BITMAP)));

    // The program asks for 24 bytes; whatever lies beyond them stays untouched.
    unsigned char buffer[sizeof(BITMAP) + 8];
    std::memset(buffer, 0xEE, sizeof(buffer));
    EXPECT_EQ(GetObjectA(bitmap, 24, buffer), 24);
    for (size_t i = 24; i < sizeof(buffer); i++) {
        ASSERT_EQ(buffer[i], 0xEE) << "byte " << i;
    }
    BITMAP bmp;
    std::memcpy(&bmp, buffer, 24);
    EXPECT_EQ(bmp.bmType, 0);
    EXPECT_EQ(bmp.bmWidth, WIDTH);
    EXPECT_EQ(bmp.bmHeight, HEIGHT);
    EXPECT_EQ(bmp.bmWidthBytes, WIDTH * 4);
    EXPECT_EQ(bmp.bmBitsPixel, 32);

    // A larger buffer gets the whole record and nothing more.
    std::memset(buffer, 0xEE, sizeof(buffer));
    EXPECT_EQ(GetObjectA(bitmap, sizeof(buffer), buffer), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(buffer[sizeof(BITMAP)], 0xEE);
    EXPECT_EQ(GetObjectA(bitmap, -1, buffer), 0);
    DeleteObject(bitmap);
}

TEST(GdiBitmap, DibSectionRowsFollowTheSignOfTheHeight) {
    for (LONG height : {-2, 2}) {
        SCOPED_TRACE(height);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = reinterpret_cast<void*>(1);
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(section, nullptr);
        ASSERT_NE(bits, nullptr);
        SelectObject(dc, section);
        auto* pixels = static_cast<DWORD*>(bits);
        EXPECT_EQ(GetPixel(dc, 2, 1), 0u); // starts black
        pixels[0] = 0x00112233;            // first row in memory
        COLORREF value = RGB(0x11, 0x22, 0x33);
        EXPECT_EQ(GetPixel(dc, 0, height < 0 ? 0 : 1), value);
        EXPECT_EQ(GetPixel(dc, 0, height < 0 ? 1 : 0), 0u);
        BITMAP bmp{};
        ASSERT_EQ(GetObjectA(section, sizeof(bmp), &bmp), static_cast<int>(sizeof(bmp)));
        EXPECT_EQ(bmp.bmBits, bits);
        EXPECT_EQ(bmp.bmHeight, 2);
        DeleteDC(dc);
        DeleteObject(section);
    }
}

TEST(GdiBitmap, DibSectionRefusesWhatItCannotHold) {
    auto make = [](auto change) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        change(info.bmiHeader);
        void* bits = reinterpret_cast<void*>(1);
        HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        EXPECT_EQ(bits, nullptr);
        return section;
    };
    EXPECT_EQ(make([](BITMAPINFOHEADER& h) { h.biBitCount = 24; }), nullptr);
    EXPECT_EQ(make([](BITMAPINFOHEADER& h) { h.biCompression = 3; }), nullptr);
    EXPECT_EQ(make([](BITMAPINFOHEADER& h) { h.biWidth = 0; }), nullptr);
    EXPECT_EQ(make([](BITMAPINFOHEADER& h) { h.biHeight = INT32_MIN; }), nullptr);
    EXPECT_EQ(make([](BITMAPINFOHEADER& h) { h.biWidth = 100000; }), nullptr);
    EXPECT_EQ(make([](BITMAPINFOHEADER& h) { h.biSize = 12; }), nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

// GetPixel remembers its last lookup; reads that alternate between contexts,
// and selections between reads, must still see each context's own bitmap.
TEST(GdiBitmap, GetPixelFollowsEachContextAndEverySelection) {
    auto section = [](DWORD colour) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        EXPECT_NE(bitmap, nullptr);
        if (bits != nullptr) {
            std::fill_n(static_cast<DWORD*>(bits), 4, colour);
        }
        return bitmap;
    };
    HBITMAP red = section(0x00FF0000);
    HBITMAP blue = section(0x000000FF);
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    SelectObject(first, red);
    SelectObject(second, blue);
    for (int round = 0; round < 2; round++) {
        EXPECT_EQ(GetPixel(first, 1, 1), RGB(0xFF, 0, 0));
        EXPECT_EQ(GetPixel(second, 1, 1), RGB(0, 0, 0xFF));
    }
    SelectObject(first, blue);
    EXPECT_EQ(GetPixel(first, 0, 0), RGB(0, 0, 0xFF));
    SelectObject(first, red);
    EXPECT_EQ(GetPixel(first, 0, 0), RGB(0xFF, 0, 0));
    DeleteObject(red);
    EXPECT_EQ(GetPixel(first, 0, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(second, 0, 0), RGB(0, 0, 0xFF));
    DeleteDC(first);
    DeleteDC(second);
    DeleteObject(blue);
}
