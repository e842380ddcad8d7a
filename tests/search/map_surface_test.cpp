#include <gtest/gtest.h>

#include <cstring>

#include "search/map_surface.h"
#include "tests/fixtures/bitmap_files.h"
#include "tests/fixtures/headless_device.h"

namespace {

struct PackCase {
    D3DFORMAT format;
    UINT bytesPerPixel;
    uint32_t red, white, grey; // packed pure red, white, and grey 0x84
};

// Reads the packed pixel at (x, y) of a surface, least significant byte first.
uint32_t PackedPixel(IDirect3DSurface8* surface, UINT x, UINT y, UINT bytesPerPixel) {
    D3DLOCKED_RECT lockrect{};
    EXPECT_EQ(surface->LockRect(&lockrect, nullptr, 0), S_OK);
    uint32_t value = 0;
    std::memcpy(&value,
                static_cast<const BYTE*>(lockrect.pBits) + y * lockrect.Pitch + x * bytesPerPixel,
                bytesPerPixel);
    surface->UnlockRect();
    return value;
}

} // namespace

TEST(LoadImageSurface, PacksEveryFormatByItsChannelWidths) {
    HeadlessDevice device;
    TempFolder folder;
    const std::string file = folder.File("three.bmp");
    // One row: pure red, white, grey 0x84; a second row of black.
    WriteBitmap24(file, 3, 2, [](int x, int y) -> uint32_t {
        if (y == 1) {
            return 0;
        }
        return x == 0 ? 0xFF0000 : x == 1 ? 0xFFFFFF : 0x848484;
    });
    const PackCase cases[] = {
        {D3DFMT_R8G8B8, 3, 0xFF0000, 0xFFFFFF, 0x848484},
        {D3DFMT_A8R8G8B8, 4, 0x00FF0000, 0x00FFFFFF, 0x00848484},
        {D3DFMT_X8R8G8B8, 4, 0x00FF0000, 0x00FFFFFF, 0x00848484},
        {D3DFMT_R5G6B5, 2, 0xF800, 0xFFFF, 0x8430},
        {D3DFMT_X1R5G5B5, 2, 0x7C00, 0x7FFF, 0x4210},
        {D3DFMT_A1R5G5B5, 2, 0x7C00, 0x7FFF, 0x4210},
        {D3DFMT_A4R4G4B4, 2, 0x0F00, 0x0FFF, 0x0888},
        {D3DFMT_R3G3B2, 1, 0xE0, 0xFF, 0x92},
        {D3DFMT_A8, 1, 0, 0, 0},
        {D3DFMT_A8R3G3B2, 2, 0x00E0, 0x00FF, 0x0092},
        {D3DFMT_X4R4G4B4, 2, 0x0F00, 0x0FFF, 0x0888},
    };
    for (const PackCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.format);
        IDirect3DSurface8* surface = LoadImageSurface(D3DDevice, file.c_str(), c.format);
        ASSERT_NE(surface, nullptr);
        D3DSURFACE_DESC desc{};
        surface->GetDesc(&desc);
        EXPECT_EQ(desc.Width, 3u);
        EXPECT_EQ(desc.Height, 2u);
        EXPECT_EQ(PackedPixel(surface, 0, 0, c.bytesPerPixel), c.red);
        EXPECT_EQ(PackedPixel(surface, 1, 0, c.bytesPerPixel), c.white);
        EXPECT_EQ(PackedPixel(surface, 2, 0, c.bytesPerPixel), c.grey);
        for (UINT x = 0; x < 3; x++) {
            EXPECT_EQ(PackedPixel(surface, x, 1, c.bytesPerPixel), 0u); // rows land at Pitch
        }
        surface->Release();
    }
}

TEST(LoadImageSurface, DropsLowBitsAndKnowsNoOtherFormat) {
    HeadlessDevice device;
    TempFolder folder;
    const std::string file = folder.File("dark.bmp");
    WriteBitmap24(file, 2, 1, [](int x, int) -> uint32_t { return x == 0 ? 0x070000 : 0x0F0000; });

    IDirect3DSurface8* surface = LoadImageSurface(D3DDevice, file.c_str(), D3DFMT_R5G6B5);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(PackedPixel(surface, 0, 0, 2), 0u);      // red 7 is below one step of 5 bits
    EXPECT_EQ(PackedPixel(surface, 1, 0, 2), 0x0800u); // red 15 keeps one step
    surface->Release();

    EXPECT_EQ(FormatRedBits(D3DFMT_L8) + FormatGreenBits(D3DFMT_L8) + FormatBlueBits(D3DFMT_L8) +
                  FormatAlphaBits(D3DFMT_L8) + FormatUnusedBits(D3DFMT_L8),
              0u);
    surface = LoadImageSurface(D3DDevice, file.c_str(), D3DFMT_L8);
    ASSERT_NE(surface, nullptr); // made, but nothing packed into it
    EXPECT_EQ(PackedPixel(surface, 1, 0, 1), 0u);
    surface->Release();
}

TEST(LoadImageSurface, UnreadableFileGivesNoSurface) {
    HeadlessDevice device;
    TempFolder folder;
    WriteBytes(folder.File("garbage.bmp"), "BM this is not a bitmap");
    EXPECT_EQ(LoadImageSurface(D3DDevice, folder.File("garbage.bmp").c_str(), D3DFMT_X8R8G8B8),
              nullptr);
    EXPECT_EQ(LoadImageSurface(D3DDevice, folder.File("missing.bmp").c_str(), D3DFMT_X8R8G8B8),
              nullptr);
}
