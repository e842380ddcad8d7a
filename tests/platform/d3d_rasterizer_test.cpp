#include <cmath>
#include <limits>

#include "d3d_fixture.h"

namespace {

using RasterizerTest = DeviceTest;

TEST_F(RasterizerTest, PointSetsTheNearestPixelOnly) {
    struct Case {
        float x, y;
        int px, py; // -1: nothing drawn
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {3.0f, 4.0f, 3, 4},     {3.49f, 4.5f, 3, 5},     {2.5f, 2.5f, 3, 3},    {-0.5f, 0.0f, 0, 0},
        {-0.51f, 0.0f, -1, -1}, {15.49f, 15.0f, 15, 15}, {15.5f, 0.0f, -1, -1}, {nan, 3.0f, -1, -1},
        {1e30f, 3.0f, -1, -1},  {3.0f, -1e30f, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        ClearTo(0);
        ASSERT_EQ(Draw(D3DPT_POINTLIST, 1, {Vertex(c.x, c.y, 0x80123456)}), S_OK);
        std::vector<uint32_t> pixels = Pixels();
        for (UINT y = 0; y < height; ++y) {
            for (UINT x = 0; x < width; ++x) {
                bool expected = static_cast<int>(x) == c.px && static_cast<int>(y) == c.py;
                // The alpha is not stored: the X byte of the back buffer is 0.
                ASSERT_EQ(pixels[y * width + x], expected ? 0x123456u : 0u) << x << "," << y;
            }
        }
    }
}

TEST_F(RasterizerTest, LineDrawsItsFirstEndAndLeavesOutItsSecond) {
    struct Case {
        TestVertex from, to;
        const char* picture;
    };
    const Case cases[] = {
        {Vertex(1, 1), Vertex(5, 1), "......\n.####.\n......\n"},
        {Vertex(5, 1), Vertex(1, 1), "......\n..####\n......\n"},
        {Vertex(1, 0), Vertex(1, 3), ".#....\n.#....\n.#....\n"},
        {Vertex(0, 0), Vertex(4, 2), "#.....\n.##...\n...#..\n"},
        {Vertex(2.4f, 1.6f), Vertex(1.6f, 2.4f), "......\n......\n......\n"},
        {Vertex(-3, 1), Vertex(40, 1), "......\n######\n......\n"},
        {Vertex(1e30f, 1), Vertex(0, 1), "......\n......\n......\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        ClearTo(0);
        ASSERT_EQ(Draw(D3DPT_LINELIST, 1, {c.from, c.to}), S_OK);
        EXPECT_EQ(Picture(6, 3), c.picture);
    }
}

TEST_F(RasterizerTest, ClosedOutlineDrawsEveryCornerOnce) {
    // Half-transparent white over black: a pixel drawn twice would be brighter.
    MakeDevice(8, 6);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    const D3DCOLOR half = 0x80FFFFFF;
    ASSERT_EQ(
        Draw(D3DPT_LINELIST, 4,
             {Vertex(0, 0, half), Vertex(7, 0, half), Vertex(7, 0, half), Vertex(7, 5, half),
              Vertex(7, 5, half), Vertex(0, 5, half), Vertex(0, 5, half), Vertex(0, 0, half)}),
        S_OK);
    std::vector<uint32_t> pixels = Pixels();
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) {
            bool border = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            EXPECT_EQ(pixels[y * width + x], border ? 0x808080u : 0u) << x << "," << y;
        }
    }
}

TEST_F(RasterizerTest, LineColourGoesFromFirstEndTowardSecond) {
    ASSERT_EQ(Draw(D3DPT_LINELIST, 1, {Vertex(0, 0, 0xFFFFFFFF), Vertex(4, 0, 0xFF0000FF)}), S_OK);
    EXPECT_EQ(Pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(Pixel(1, 0), 0xBFBFFFu);
    EXPECT_EQ(Pixel(2, 0), 0x8080FFu);
    EXPECT_EQ(Pixel(3, 0), 0x4040FFu);
    EXPECT_EQ(Pixel(4, 0), 0u);
}

TEST_F(RasterizerTest, TriangleCoversCentresByTheTopLeftRule) {
    // Top and left edges pass through pixel centres and include them; the
    // slanted right edge passes through centres too and leaves them out.
    ASSERT_EQ(Draw(D3DPT_TRIANGLELIST, 1, {Vertex(0, 0), Vertex(4, 0), Vertex(0, 4)}), S_OK);
    EXPECT_EQ(Picture(6, 5), "####..\n"
                             "###...\n"
                             "##....\n"
                             "#.....\n"
                             "......\n");
}

TEST_F(RasterizerTest, TrianglesSharingEdgesCoverEachPixelOnce) {
    struct Case {
        const char* name;
        D3DPRIMITIVETYPE type;
        UINT count;
        std::vector<TestVertex> vertices;
        UINT left, top, right, bottom; // the pixels that must be covered once
    };
    const D3DCOLOR half = 0x80FFFFFF;
    const Case cases[] = {
        {"quad split on its diagonal",
         D3DPT_TRIANGLELIST,
         2,
         {Vertex(1, 1, half), Vertex(7, 1, half), Vertex(7, 7, half), Vertex(1, 1, half),
          Vertex(7, 7, half), Vertex(1, 7, half)},
         1,
         1,
         7,
         7},
        {"fan round the centre",
         D3DPT_TRIANGLEFAN,
         4,
         {Vertex(4, 4, half), Vertex(0, 0, half), Vertex(8, 0, half), Vertex(8, 8, half),
          Vertex(0, 8, half), Vertex(0, 0, half)},
         0,
         0,
         8,
         8},
        {"text quad with the -0.5 offset",
         D3DPT_TRIANGLELIST,
         2,
         {Vertex(1.5f, 5.5f, half), Vertex(1.5f, 0.5f, half), Vertex(6.5f, 5.5f, half),
          Vertex(6.5f, 0.5f, half), Vertex(6.5f, 5.5f, half), Vertex(1.5f, 0.5f, half)},
         2,
         1,
         7,
         6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeDevice(16, 16);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        ASSERT_EQ(Draw(c.type, c.count, c.vertices), S_OK);
        std::vector<uint32_t> pixels = Pixels();
        for (UINT y = 0; y < height; ++y) {
            for (UINT x = 0; x < width; ++x) {
                bool inside = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                ASSERT_EQ(pixels[y * width + x], inside ? 0x808080u : 0u) << x << "," << y;
            }
        }
    }
}

TEST_F(RasterizerTest, CullingDropsTheChosenWinding) {
    const std::vector<TestVertex> clockwise = {Vertex(0, 0), Vertex(4, 0), Vertex(4, 4)};
    const std::vector<TestVertex> counterClockwise = {Vertex(0, 0), Vertex(4, 4), Vertex(4, 0)};
    struct Case {
        DWORD cullMode; // 0: the device's default
        bool clockwiseDrawn, counterClockwiseDrawn;
    };
    const Case cases[] = {
        {0, true, false},
        {D3DCULL_CCW, true, false},
        {D3DCULL_CW, false, true},
        {D3DCULL_NONE, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cullMode);
        MakeDevice(16, 16);
        if (c.cullMode != 0) {
            ASSERT_EQ(device->SetRenderState(D3DRS_CULLMODE, c.cullMode), S_OK);
        }
        Draw(D3DPT_TRIANGLELIST, 1, clockwise);
        EXPECT_EQ(Pixel(3, 1) != 0, c.clockwiseDrawn);
        ClearTo(0);
        Draw(D3DPT_TRIANGLELIST, 1, counterClockwise);
        EXPECT_EQ(Pixel(3, 1) != 0, c.counterClockwiseDrawn);
    }
}

TEST_F(RasterizerTest, TriangleColourIsInterpolatedAndRounded) {
    // Red rises by one per pixel from x = 0 to x = 255: each centre gets its x.
    MakeDevice(256, 2);
    ASSERT_EQ(Draw(D3DPT_TRIANGLEFAN, 2,
                   {Vertex(0, 0, 0xFF000000), Vertex(255, 0, 0xFFFF0000),
                    Vertex(255, 2, 0xFFFF0000), Vertex(0, 2, 0xFF000000)}),
              S_OK);
    std::vector<uint32_t> pixels = Pixels();
    for (UINT y = 0; y < 2; ++y) {
        for (UINT x = 0; x < 255; ++x) {
            ASSERT_EQ(pixels[y * width + x], x << 16) << x << "," << y;
        }
        EXPECT_EQ(pixels[y * width + 255], 0u);
    }
}

TEST_F(RasterizerTest, QuadWithHalfPixelOffsetMapsTexelsOneToOne) {
    struct Case {
        UINT textureSize;
        UINT cellX, cellY, cellW, cellH; // the texels drawn, like a glyph's cell
        float x, y;                      // where the cell's top-left texel lands
    };
    const Case cases[] = {
        {4, 0, 0, 4, 4, 5, 6},
        {16, 3, 2, 5, 4, 1, 9},
        {16, 11, 12, 5, 4, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.textureSize << " " << c.cellX << "," << c.cellY);
        MakeDevice(16, 16);
        IDirect3DTexture8* texture = nullptr;
        ASSERT_EQ(device->CreateTexture(c.textureSize, c.textureSize, 1, 0, D3DFMT_A8R8G8B8,
                                        D3DPOOL_MANAGED, &texture),
                  S_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
        auto texel = [](UINT x, UINT y) { return 0xFF000000u | (x * 16 + 1) << 16 | (y * 16 + 1); };
        for (UINT y = 0; y < c.textureSize; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(locked.pBits) +
                                                    static_cast<size_t>(y) * locked.Pitch);
            for (UINT x = 0; x < c.textureSize; ++x) {
                row[x] = texel(x, y);
            }
        }
        ASSERT_EQ(texture->UnlockRect(0), S_OK);
        ASSERT_EQ(device->SetTexture(0, texture), S_OK);
        float size = static_cast<float>(c.textureSize);
        float u1 = c.cellX / size, v1 = c.cellY / size;
        float u2 = (c.cellX + c.cellW) / size, v2 = (c.cellY + c.cellH) / size;
        float left = c.x - 0.5f, top = c.y - 0.5f;
        float right = left + c.cellW, bottom = top + c.cellH;
        ASSERT_EQ(Draw(D3DPT_TRIANGLELIST, 2,
                       {Vertex(left, bottom, ~0u, u1, v2), Vertex(left, top, ~0u, u1, v1),
                        Vertex(right, bottom, ~0u, u2, v2), Vertex(right, top, ~0u, u2, v1),
                        Vertex(right, bottom, ~0u, u2, v2), Vertex(left, top, ~0u, u1, v1)}),
                  S_OK);
        std::vector<uint32_t> pixels = Pixels();
        for (UINT y = 0; y < height; ++y) {
            for (UINT x = 0; x < width; ++x) {
                bool inside = x >= c.x && x < c.x + c.cellW && y >= c.y && y < c.y + c.cellH;
                uint32_t expected =
                    inside ? texel(x - c.x + c.cellX, y - c.y + c.cellY) & 0xFFFFFF : 0;
                ASSERT_EQ(pixels[y * width + x], expected) << x << "," << y;
            }
        }
        texture->Release();
    }
}

// A 1 x 1 texture of the given A4R4G4B4 texel, set on stage 0.
IDirect3DTexture8* SetOneTexel(IDirect3DDevice8* device, WORD value) {
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(1, 1, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &texture), S_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    *static_cast<WORD*>(locked.pBits) = value;
    EXPECT_EQ(texture->UnlockRect(0), S_OK);
    EXPECT_EQ(device->SetTexture(0, texture), S_OK);
    texture->Release();
    return texture;
}

TEST_F(RasterizerTest, StageZeroModulatesTextureAndDiffuse) {
    struct Case {
        WORD texel;
        D3DCOLOR diffuse;
        DWORD colourOp;
        uint32_t expected;
    };
    const Case cases[] = {
        {0xF8F4, 0xFF80FF40, D3DTOP_MODULATE, 0x44FF11},
        {0x0FFF, 0xFF123456, D3DTOP_MODULATE, 0x123456},
        {0xF000, 0xFF123456, D3DTOP_MODULATE, 0x000000},
        {0xF000, 0xFF123456, D3DTOP_DISABLE, 0x123456},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.texel << " " << c.diffuse);
        MakeDevice(4, 4);
        SetOneTexel(device, c.texel);
        ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLOROP, c.colourOp), S_OK);
        ASSERT_EQ(Draw(D3DPT_POINTLIST, 1, {Vertex(1, 1, c.diffuse, 0.5f, 0.5f)}), S_OK);
        EXPECT_EQ(Pixel(1, 1), c.expected);
    }
}

TEST_F(RasterizerTest, AlphaTestKeepsPixelsThatCompareTrue) {
    struct Case {
        DWORD func, ref, alpha;
        bool drawn;
    };
    const Case cases[] = {
        {D3DCMP_GREATEREQUAL, 8, 7, false},  {D3DCMP_GREATEREQUAL, 8, 8, true},
        {D3DCMP_GREATEREQUAL, 8, 255, true}, {D3DCMP_LESS, 8, 7, true},
        {D3DCMP_LESS, 8, 8, false},          {D3DCMP_EQUAL, 8, 8, true},
        {D3DCMP_NOTEQUAL, 8, 8, false},      {D3DCMP_NEVER, 0, 255, false},
        {D3DCMP_ALWAYS, 255, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.func << " " << c.ref << " " << c.alpha);
        MakeDevice(4, 4);
        ClearTo(0xFF0000);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHAREF, c.ref);
        device->SetRenderState(D3DRS_ALPHAFUNC, c.func);
        ASSERT_EQ(Draw(D3DPT_POINTLIST, 1, {Vertex(1, 1, c.alpha << 24 | 0x00FF00)}), S_OK);
        EXPECT_EQ(Pixel(1, 1), c.drawn ? 0x00FF00u : 0xFF0000u);
    }
}

TEST_F(RasterizerTest, BlendingMixesSourceAndDestination) {
    struct Case {
        DWORD srcBlend, destBlend;
        D3DCOLOR source, dest;
        uint32_t expected;
    };
    const Case cases[] = {
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 0x00FFFFFF, 0x123456, 0x123456},
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 0xFFFFFFFF, 0x123456, 0xFFFFFF},
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 0x80FFFFFF, 0x000000, 0x808080},
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 0x40FF0000, 0x0000FF, 0x4000BF},
        {D3DBLEND_ONE, D3DBLEND_ONE, 0x00808080, 0x808080, 0xFFFFFF},
        {D3DBLEND_ZERO, D3DBLEND_ONE, 0xFFFFFFFF, 0x123456, 0x123456},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.source << " over " << c.dest);
        MakeDevice(4, 4);
        ClearTo(c.dest);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, c.srcBlend);
        device->SetRenderState(D3DRS_DESTBLEND, c.destBlend);
        ASSERT_EQ(Draw(D3DPT_POINTLIST, 1, {Vertex(1, 1, c.source)}), S_OK);
        EXPECT_EQ(Pixel(1, 1), c.expected);
    }
}

TEST_F(RasterizerTest, DefaultStatesDrawOpaqueDiffuse) {
    // The overlay panel's colour has alpha 0x64; with the default states it
    // covers the picture in opaque black.
    ClearTo(0xFFFFFF);
    const D3DCOLOR panel = 0x64000000;
    ASSERT_EQ(
        Draw(D3DPT_TRIANGLEFAN, 2,
             {Vertex(0, 0, panel), Vertex(4, 0, panel), Vertex(4, 3, panel), Vertex(0, 3, panel)}),
        S_OK);
    EXPECT_EQ(Picture(6, 4, 0xFFFFFF), "####..\n####..\n####..\n......\n");
    EXPECT_EQ(Pixel(0, 0), 0u);
}

} // namespace
