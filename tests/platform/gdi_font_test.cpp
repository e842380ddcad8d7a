#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "platform/gdi.h"

namespace {

constexpr LONG SIDE = 64;

HFONT MakeFont(int height, const char* face) {
    return CreateFontA(height, 0, 0, 0, 400, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH,
                       face);
}

// A device context drawing into a SIDE x SIDE top-down DIB section with the
// program's font: "Arial" at 8 points, white on black.
class TextCanvas : public testing::Test {
  protected:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), SIDE, -SIDE, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(section, nullptr);
        pixels = static_cast<DWORD*>(bits);
        SetMapMode(dc, MM_TEXT);
        font = MakeFont(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), "Arial");
        ASSERT_NE(font, nullptr);
        SelectObject(dc, section);
        SelectObject(dc, font);
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkColor(dc, 0);
        SetTextAlign(dc, TA_TOP);
    }

    void TearDown() override {
        DeleteDC(dc);
        DeleteObject(section);
        DeleteObject(font);
    }

    SIZE Extent(const std::string& text) {
        SIZE size{-1, -1};
        EXPECT_TRUE(GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size));
        return size;
    }

    void Fill(DWORD pixel) { std::fill(pixels, pixels + SIDE * SIDE, pixel); }
    DWORD At(LONG x, LONG y) const { return pixels[y * SIDE + x]; }

    HDC dc = nullptr;
    HBITMAP section = nullptr;
    HFONT font = nullptr;
    DWORD* pixels = nullptr;
};

} // namespace

TEST(GdiFont, MulDivRoundsHalvesAwayFromZero) {
    struct Case {
        int number, numerator, denominator, expected;
    };
    const Case cases[] = {
        {8, 96, 72, 11},      {8, 48, 72, 5},
        {8, 120, 72, 13},     {1, 1, 2, 1},
        {-1, 1, 2, -1},       {1, -1, 2, -1},
        {1, 1, -2, -1},       {-1, -1, -2, -1},
        {3, 1, 4, 1},         {1, 1, 4, 0},
        {-3, 1, 4, -1},       {5, 5, 10, 3},
        {7, 0, 3, 0},         {7, 3, 0, -1},
        {0, 0, 0, -1},        {INT_MAX, 2, 2, INT_MAX},
        {INT_MAX, 2, 1, -1},  {INT_MIN, 1, 1, INT_MIN},
        {INT_MIN, -1, 1, -1}, {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.number << " * " << c.numerator << " / " << c.denominator);
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected);
    }
}

TEST_F(TextCanvas, ArialAtTheProgramsSizeHasSaneCells) {
    SIZE space = Extent(" ");
    SIZE i = Extent("i");
    SIZE a = Extent("a");
    SIZE w = Extent("W");
    SIZE at = Extent("@");
    // An 11-pixel em: a cell of about one and a fifth ems, narrow i, wide W and @.
    EXPECT_GE(a.cy, 12);
    EXPECT_LE(a.cy, 15);
    for (SIZE size : {space, i, w, at}) {
        EXPECT_EQ(size.cy, a.cy);
    }
    EXPECT_GE(space.cx, 2);
    EXPECT_LE(space.cx, 4);
    EXPECT_GE(i.cx, 1);
    EXPECT_LE(i.cx, 4);
    EXPECT_GE(a.cx, 5);
    EXPECT_LE(a.cx, 7);
    EXPECT_GE(w.cx, 9);
    EXPECT_LE(w.cx, 12);
    EXPECT_GE(at.cx, 9);
    EXPECT_LE(at.cx, 13);
    // Advances add up, with no kerning between characters.
    EXPECT_EQ(Extent("Wai").cx, w.cx + a.cx + i.cx);
    EXPECT_EQ(Extent("").cx, 0);
}

TEST_F(TextCanvas, WhiteOnBlackLeavesTheCoverageInEveryColourByte) {
    const std::string characters = " !.AWgij@_~";
    for (char c : characters) {
        SCOPED_TRACE(testing::Message() << "'" << c << "'");
        Fill(0x00ABCDEF);
        SIZE cell = Extent(std::string(1, c));
        const LONG left = 5;
        const LONG top = 7;
        ASSERT_TRUE(ExtTextOutA(dc, left, top, ETO_OPAQUE, nullptr, &c, 1, nullptr));
        int covered = 0;
        int partial = 0;
        DWORD strongest = 0;
        for (LONG y = 0; y < SIDE; y++) {
            for (LONG x = 0; x < SIDE; x++) {
                DWORD pixel = At(x, y);
                bool inCell = x >= left && x < left + cell.cx && y >= top && y < top + cell.cy;
                if (!inCell) {
                    // Outside the cell only glyph pixels may differ from what was there.
                    if (pixel != 0x00ABCDEF) {
                        covered += pixel != 0;
                    }
                    continue;
                }
                DWORD coverage = pixel & 0xFF;
                ASSERT_EQ(pixel, coverage * 0x010101) << "at " << x << ", " << y;
                covered += coverage != 0;
                partial += coverage != 0 && coverage != 255;
                strongest = std::max(strongest, coverage);
            }
        }
        if (c == ' ') {
            EXPECT_EQ(covered, 0);
        } else {
            // Anti-aliased, with strokes that are more than a faint smudge.
            EXPECT_GT(covered, 0);
            EXPECT_GT(partial, 0);
            EXPECT_GE(strongest, 128u);
        }
    }
}

TEST_F(TextCanvas, OpaqueFillsTheCellAndBlendsTheGlyphOverIt) {
    const DWORD before = 0x00ABCDEF;
    Fill(before);
    // Red text on blue: every pixel of the cell lies between the two.
    SetTextColor(dc, RGB(255, 0, 0));
    SetBkColor(dc, RGB(0, 0, 255));
    const std::string text = "Hg";
    SIZE cell = Extent(text);
    ASSERT_TRUE(ExtTextOutA(dc, 10, 20, ETO_OPAQUE, nullptr, text.c_str(),
                            static_cast<UINT>(text.size()), nullptr));
    int mixed = 0;
    for (LONG y = 20; y < 20 + cell.cy; y++) {
        for (LONG x = 10; x < 10 + cell.cx; x++) {
            DWORD pixel = At(x, y);
            DWORD red = (pixel >> 16) & 0xFF;
            DWORD blue = pixel & 0xFF;
            ASSERT_EQ(pixel & 0xFF00FF00u, 0u) << "at " << x << ", " << y;
            ASSERT_EQ(red + blue, 255u) << "at " << x << ", " << y;
            mixed += red != 0 && blue != 0;
        }
    }
    EXPECT_GT(mixed, 0);
    // The rows just above and below the cell are left alone.
    for (LONG x = 10; x < 10 + cell.cx; x++) {
        EXPECT_EQ(At(x, 19), before);
        EXPECT_EQ(At(x, 20 + cell.cy), before);
    }

    // Without ETO_OPAQUE only the glyph is drawn.
    Fill(before);
    ASSERT_TRUE(ExtTextOutA(dc, 10, 20, 0, nullptr, " ", 1, nullptr));
    EXPECT_EQ(std::count(pixels, pixels + SIDE * SIDE, before), SIDE * SIDE);
}

TEST_F(TextCanvas, TextIsClippedToTheBitmap) {
    HFONT large = MakeFont(-40, "Arial");
    ASSERT_NE(large, nullptr);
    SelectObject(dc, large);
    Fill(0x00ABCDEF);
    const std::string text = "Wg@";
    const POINT corners[] = {
        {-20, -20}, {50, 40}, {-1000, 30}, {INT_MAX - 8, INT_MAX - 8}, {INT_MIN, INT_MIN}};
    for (POINT corner : corners) {
        SCOPED_TRACE(testing::Message() << corner.x << ", " << corner.y);
        EXPECT_TRUE(ExtTextOutA(dc, corner.x, corner.y, ETO_OPAQUE, nullptr, text.c_str(),
                                static_cast<UINT>(text.size()), nullptr));
    }
    // The first two drawings reach into the bitmap from outside.
    EXPECT_LT(std::count(pixels, pixels + SIDE * SIDE, 0x00ABCDEFu), SIDE * SIDE);
    SelectObject(dc, font);
    DeleteObject(large);
}

TEST_F(TextCanvas, TextCallsFailWithoutAFontOrABitmap) {
    HDC bare = CreateCompatibleDC(nullptr);
    SIZE size{};
    EXPECT_FALSE(GetTextExtentPoint32A(bare, "a", 1, &size));
    SelectObject(bare, section);
    EXPECT_FALSE(ExtTextOutA(bare, 0, 0, ETO_OPAQUE, nullptr, "a", 1, nullptr));
    DeleteDC(bare);

    EXPECT_FALSE(GetTextExtentPoint32A(dc, "a", -1, &size));
    EXPECT_FALSE(GetTextExtentPoint32A(dc, nullptr, 1, &size));
    EXPECT_FALSE(ExtTextOutA(dc, 0, 0, ETO_OPAQUE, nullptr, nullptr, 1, nullptr));
    EXPECT_EQ(SetTextAlign(dc, 24), GDI_ERROR);
    EXPECT_EQ(SetTextAlign(dc, TA_TOP), TA_TOP);

    // A font deleted while selected leaves the context without one.
    HFONT other = MakeFont(-11, "Arial");
    SelectObject(dc, other);
    EXPECT_TRUE(DeleteObject(other));
    EXPECT_FALSE(GetTextExtentPoint32A(dc, "a", 1, &size));
    SelectObject(dc, font);
    EXPECT_TRUE(GetTextExtentPoint32A(dc, "a", 1, &size));
}

TEST(GdiFont, HeightsAndUnknownFaces) {
    HDC dc = CreateCompatibleDC(nullptr);
    auto cellOf = [&](HFONT font) {
        HGDIOBJ previous = SelectObject(dc, font);
        SIZE size{};
        EXPECT_TRUE(GetTextExtentPoint32A(dc, "x", 1, &size));
        SelectObject(dc, previous);
        return size;
    };
    // A positive height is the cell, a negative one the em, which is shorter.
    for (int height : {10, 13, 20, 32}) {
        SCOPED_TRACE(height);
        HFONT cell = MakeFont(height, "Arial");
        HFONT em = MakeFont(-height, "Arial");
        ASSERT_NE(cell, nullptr);
        ASSERT_NE(em, nullptr);
        EXPECT_EQ(cellOf(cell).cy, height);
        EXPECT_GT(cellOf(em).cy, height);
        DeleteObject(cell);
        DeleteObject(em);
    }
    // Unknown, empty and absent names still give a font; so do absurd heights.
    for (const char* face : {"No Such Face 12345", "", static_cast<const char*>(nullptr)}) {
        HFONT font = MakeFont(-11, face);
        EXPECT_NE(font, nullptr);
        EXPECT_GT(cellOf(font).cy, 0);
        DeleteObject(font);
    }
    for (int height : {0, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(height);
        HFONT font = MakeFont(height, "Arial");
        ASSERT_NE(font, nullptr);
        EXPECT_GT(cellOf(font).cy, 0);
        DeleteObject(font);
    }
    DeleteDC(dc);
}
