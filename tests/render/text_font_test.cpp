#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "render/text_font.h"
#include "render_fixture.h"

namespace {

constexpr DWORD WHITE = 0xFFFFFFFF;

// The cell height GDI gives "Arial" at a pixel height.
UINT GdiCellHeight(int pixelHeight) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(pixelHeight, 0, 0, 0, 400, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                             VARIABLE_PITCH, "Arial");
    SelectObject(dc, font);
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, " ", 1, &size);
    DeleteDC(dc);
    DeleteObject(font);
    return static_cast<UINT>(size.cy);
}

// The headless device with the overlay font, inside a scene on a black
// back buffer.
class TextFontTest : public testing::Test {
  protected:
    void SetUp() override {
        ClearFrame();
        D3DDevice->BeginScene();
    }
    void TearDown() override { D3DDevice->EndScene(); }

    void ClearFrame() { D3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0.0f, 0); }

    // Screen width of a character's cell.
    float Width(char c) const {
        const float* rect = fontScope.font.GlyphRects[c - 32];
        return (rect[2] - rect[0]) * static_cast<float>(fontScope.font.AtlasWidth);
    }
    float CellHeight() const {
        const float* rect = fontScope.font.GlyphRects[0];
        return (rect[3] - rect[1]) * static_cast<float>(fontScope.font.AtlasHeight);
    }

    UINT DrawCalls() {
        UINT calls = 0;
        UINT last = 0;
        D3DDevice->GetDrawPrimitiveCounts(&calls, &last);
        return calls;
    }
    UINT LastPrimitiveCount() {
        UINT calls = 0;
        UINT last = 0;
        D3DDevice->GetDrawPrimitiveCounts(&calls, &last);
        return last;
    }

    HeadlessDevice device;
    OverlayFontScope fontScope;
};

} // namespace

// The atlas side follows the point size and shrinks to what the device can
// hold, the glyphs then drawn smaller into it; cells are packed in rows with
// one texel between them, and every texel is white with a 4-bit coverage.
TEST(TextFont, GlyphAtlasSizeLayoutAndTexels) {
    struct Case {
        UINT points;
        UINT maxTextureSize; // 0: the device's own
        UINT side;
        float scale;
    };
    const Case cases[] = {
        {8, 0, 256, 1.0f},  {20, 0, 256, 1.0f},  {21, 0, 512, 1.0f},
        {40, 0, 512, 1.0f}, {41, 0, 1024, 1.0f}, {8, 128, 128, 0.5f},
    };
    HeadlessDevice device;
    for (const Case& test : cases) {
        SCOPED_TRACE("points " + std::to_string(test.points) + ", device limit " +
                     std::to_string(test.maxTextureSize));
        if (test.maxTextureSize != 0) {
            ASSERT_EQ(D3DDevice->LimitMaxTextureSize(test.maxTextureSize), S_OK);
        }
        TextFont font("Arial", test.points);
        ASSERT_EQ(font.CreateGlyphAtlas(D3DDevice), S_OK);
        EXPECT_EQ(font.AtlasWidth, test.side);
        EXPECT_EQ(font.AtlasHeight, test.side);
        EXPECT_EQ(font.AtlasScale, test.scale);

        // Cells in texels. A cell starts a new row only when it would not
        // fit, with its one texel of background, after the previous cell.
        const UINT side = test.side;
        auto texel = [side](float coordinate) {
            return static_cast<UINT>(std::lround(coordinate * static_cast<float>(side)));
        };
        const UINT cellHeight = texel(font.GlyphRects[0][3]) - texel(font.GlyphRects[0][1]);
        // The font is made at the scaled pixel height: at 96 pixels per inch
        // 8 points is an 11-pixel em, or 5 at half scale.
        EXPECT_EQ(cellHeight, GdiCellHeight(-MulDiv(static_cast<int>(test.points),
                                                    static_cast<int>(96.0f * test.scale), 72)));
        EXPECT_EQ(texel(font.GlyphRects[0][0]), 0u);
        EXPECT_EQ(texel(font.GlyphRects[0][1]), 0u);
        for (UINT c = 33; c <= 126; c++) {
            const float* previous = font.GlyphRects[c - 33];
            const float* rect = font.GlyphRects[c - 32];
            const UINT width = texel(rect[2]) - texel(rect[0]);
            EXPECT_EQ(texel(rect[3]) - texel(rect[1]), cellHeight) << "code " << c;
            EXPECT_LE(texel(rect[2]), side) << "code " << c;
            if (texel(rect[1]) == texel(previous[1])) {
                EXPECT_EQ(texel(rect[0]), texel(previous[2]) + 1) << "code " << c;
            } else {
                EXPECT_EQ(texel(rect[0]), 0u) << "code " << c;
                EXPECT_EQ(texel(rect[1]), texel(previous[1]) + cellHeight + 1) << "code " << c;
                EXPECT_GT(texel(previous[2]) + 1 + width + 1, side) << "code " << c;
            }
        }
        for (float coordinate : font.GlyphRects[95]) {
            EXPECT_EQ(coordinate, 0.0f) << "code 127 has no cell";
        }

        D3DLOCKED_RECT d3dlr{};
        ASSERT_EQ(font.GlyphTexture->LockRect(0, &d3dlr, nullptr, D3DLOCK_READONLY), S_OK);
        UINT covered = 0;
        UINT full = 0;
        for (UINT y = 0; y < side; y++) {
            const auto* row = reinterpret_cast<const uint16_t*>(
                static_cast<const BYTE*>(d3dlr.pBits) + static_cast<size_t>(y) * d3dlr.Pitch);
            for (UINT x = 0; x < side; x++) {
                if (row[x] != 0) {
                    ASSERT_EQ(row[x] & 0x0FFF, 0x0FFF) << "texel " << x << "," << y;
                    covered++;
                    full += row[x] == 0xFFFF ? 1 : 0;
                }
            }
        }
        font.GlyphTexture->UnlockRect(0);
        EXPECT_GT(covered, full) << "edges are anti-aliased";
        if (test.scale == 1.0f) {
            EXPECT_GT(full, 0u);
        }
        font.ReleaseDeviceObjects();
    }
}

// A font without its atlas or its vertex buffer draws nothing, touches no
// state and says why, instead of using what does not exist.
TEST(TextFont, DrawsNothingWithoutItsDeviceObjects) {
    HeadlessDevice device;
    D3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0.0f, 0);
    D3DDevice->BeginScene();
    D3DDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    TextFont noDevice("Arial", 8);
    EXPECT_EQ(noDevice.CreateDrawResources(), E_FAIL);
    EXPECT_EQ(noDevice.DrawString(4.0f, 2.0f, WHITE, "text"), E_FAIL);

    TextFont noBuffer("Arial", 8);
    ASSERT_EQ(noBuffer.CreateGlyphAtlas(D3DDevice), S_OK);
    EXPECT_TRUE(FAILED(noBuffer.DrawString(4.0f, 2.0f, WHITE, "text")));

    TextFont released("Arial", 8);
    ASSERT_EQ(released.CreateGlyphAtlas(D3DDevice), S_OK);
    ASSERT_EQ(released.CreateDrawResources(), S_OK);
    released.ReleaseDeviceObjects();
    EXPECT_TRUE(FAILED(released.DrawString(4.0f, 2.0f, WHITE, "text")));
    noBuffer.ReleaseDeviceObjects();

    DWORD cull = 0;
    D3DDevice->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_NONE));
    for (uint32_t pixel : ReadBackBuffer()) {
        ASSERT_EQ(pixel, 0u);
    }
    D3DDevice->EndScene();
}

// Visible characters go 50 to a draw call; spaces and skipped bytes add no
// quads, and a batch that was just flushed is not drawn again.
TEST_F(TextFontTest, BatchesFiftyCharactersPerDraw) {
    struct Case {
        const char* name;
        std::string text;
        UINT draws;
        UINT lastTriangles;
    };
    const std::string fifty(50, 'a');
    const Case cases[] = {
        {"empty", "", 0, 0},
        {"spaces only", "   ", 0, 0},
        {"a b", "a b", 1, 4},
        {"skipped bytes",
         "a\x01\n\x1f\x7f\x80\xff"
         "b",
         1, 4},
        {"50 visible", fifty, 1, 100},
        {"50 visible among spaces and skipped bytes",
         " " + fifty.substr(0, 25) + " \x02\xfe" + fifty.substr(25), 1, 100},
        {"51 visible", fifty + "a", 2, 2},
        {"100 visible", fifty + fifty, 2, 100},
        {"101 visible", fifty + fifty + "a", 3, 2},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const UINT before = DrawCalls();
        EXPECT_EQ(fontScope.font.DrawString(10.0f, 20.0f, WHITE, test.text.c_str()), S_OK);
        EXPECT_EQ(DrawCalls() - before, test.draws);
        if (test.draws > 0) {
            EXPECT_EQ(LastPrimitiveCount(), test.lastTriangles);
        }
    }
}

// A string draws exactly as its pieces drawn one by one at the places the pen
// reaches: the space only moves the pen by its own cell, a newline returns to
// the start x one cell lower, skipped bytes do not move the pen, and a
// character after a full batch lands where it belongs.
TEST_F(TextFontTest, PenMovesByCellsAndNewlines) {
    struct Piece {
        std::string text;
        float dx;
        float dy;
    };
    struct Case {
        const char* name;
        std::string text;
        std::vector<Piece> pieces;
    };
    const float a = Width('a');
    const float h = CellHeight();
    const std::string fifty(50, 'a');
    const Case cases[] = {
        {"a b", "a b", {{"a", 0.0f, 0.0f}, {"b", a + Width(' '), 0.0f}}},
        {"newline", "ab\ncd", {{"ab", 0.0f, 0.0f}, {"cd", 0.0f, h}}},
        {"trailing newline", "ab\n", {{"ab", 0.0f, 0.0f}}},
        {"two newlines", "a\n\nb", {{"a", 0.0f, 0.0f}, {"b", 0.0f, 2.0f * h}}},
        {"skipped bytes",
         "a\x01\x1f\x7f\x80\xff"
         "b",
         {{"ab", 0.0f, 0.0f}}},
        {"51st character", fifty + "b", {{fifty, 0.0f, 0.0f}, {"b", 50.0f * a, 0.0f}}},
    };
    const float x = 10.5f;
    const float y = 20.0f;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ClearFrame();
        fontScope.font.DrawString(x, y, WHITE, test.text.c_str());
        const std::vector<uint32_t> whole = ReadBackBuffer();
        ClearFrame();
        for (const Piece& piece : test.pieces) {
            fontScope.font.DrawString(x + piece.dx, y + piece.dy, WHITE, piece.text.c_str());
        }
        const std::vector<uint32_t> pieces = ReadBackBuffer();
        EXPECT_TRUE(whole == pieces);
        EXPECT_NE(std::count(whole.begin(), whole.end(), 0u), static_cast<long>(whole.size()));
    }
}

// The caller's values of the font's 30 states, its texture included, are back
// after a draw, and the font draws with its own states whatever the caller had.
TEST_F(TextFontTest, PutsTheCallersStatesBack) {
    IDirect3DTexture8* callerTexture = nullptr;
    ASSERT_EQ(
        D3DDevice->CreateTexture(4, 4, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &callerTexture),
        S_OK);
    D3DDevice->SetTexture(0, callerTexture);
    // Culling the font's clockwise quads and discarding every pixel, had the
    // font kept them.
    D3DDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    D3DDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    D3DDevice->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NEVER);
    D3DDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    D3DDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    D3DDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    D3DDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_NONE);
    D3DDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_NONE);
    D3DDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);

    auto renderStates = [] {
        std::vector<DWORD> values;
        for (DWORD state = 0; state < D3DRS_STATE_COUNT; state++) {
            DWORD value = 0;
            D3DDevice->GetRenderState(static_cast<D3DRENDERSTATETYPE>(state), &value);
            values.push_back(value);
        }
        for (DWORD stage = 0; stage < 2; stage++) {
            for (DWORD state = 0; state < D3DTSS_STATE_COUNT; state++) {
                DWORD value = 0;
                D3DDevice->GetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(state),
                                                &value);
                values.push_back(value);
            }
        }
        return values;
    };
    const std::vector<DWORD> before = renderStates();
    EXPECT_EQ(fontScope.font.DrawString(10.0f, 20.0f, WHITE, "Filters"), S_OK);
    EXPECT_TRUE(renderStates() == before);
    IDirect3DTexture8* texture = nullptr;
    D3DDevice->GetTexture(0, &texture);
    EXPECT_EQ(texture, callerTexture);
    if (texture != nullptr) {
        texture->Release();
    }

    const std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_NE(std::count(pixels.begin(), pixels.end(), 0u), static_cast<long>(pixels.size()));
    D3DDevice->SetTexture(0, nullptr);
    callerTexture->Release();
}
