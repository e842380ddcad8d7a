#pragma once
// Helpers for render tests: the overlay font made as the shell makes it, the
// back buffer read back as pixels, and frames written out as pictures.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/globals.h"
#include "platform/direct3d.h"
#include "platform/png_file.h"
#include "render/text_font.h"
#include "tests/fixtures/headless_device.h"

// "Arial" at 8 points on the headless device, published as OverlayFont.
class OverlayFontScope {
  public:
    OverlayFontScope() : font("Arial", 8) {
        EXPECT_EQ(font.CreateGlyphAtlas(D3DDevice), S_OK);
        EXPECT_EQ(font.CreateDrawResources(), S_OK);
        OverlayFont = &font;
    }
    ~OverlayFontScope() {
        OverlayFont = nullptr;
        font.ReleaseDeviceObjects();
    }
    OverlayFontScope(const OverlayFontScope&) = delete;
    OverlayFontScope& operator=(const OverlayFontScope&) = delete;

    TextFont font;
};

// The back buffer as 0x00RRGGBB pixels, row-major, 800 x 600.
inline std::vector<uint32_t> ReadBackBuffer() {
    std::vector<uint32_t> pixels;
    IDirect3DSurface8* pBackBuffer = nullptr;
    if (FAILED(D3DDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer))) {
        ADD_FAILURE() << "no back buffer";
        return pixels;
    }
    D3DSURFACE_DESC desc{};
    pBackBuffer->GetDesc(&desc);
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(pBackBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        pixels.resize(static_cast<size_t>(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; y++) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                static_cast<const BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch);
            for (UINT x = 0; x < desc.Width; x++) {
                pixels[static_cast<size_t>(y) * desc.Width + x] = row[x] & 0x00FFFFFF;
            }
        }
        pBackBuffer->UnlockRect();
    }
    pBackBuffer->Release();
    return pixels;
}

// Writes the back buffer to a PNG, to look at a frame or to store a golden one.
inline bool WriteBackBufferPng(const std::string& path) {
    IDirect3DSurface8* pBackBuffer = nullptr;
    if (FAILED(D3DDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer))) {
        return false;
    }
    const bool written = WriteSurfacePng(pBackBuffer, path.c_str());
    pBackBuffer->Release();
    return written;
}

constexpr UINT FRAME_WIDTH = 800;
constexpr UINT FRAME_HEIGHT = 600;

inline uint32_t PixelAt(const std::vector<uint32_t>& pixels, int x, int y) {
    return pixels[static_cast<size_t>(y) * FRAME_WIDTH + static_cast<size_t>(x)];
}
