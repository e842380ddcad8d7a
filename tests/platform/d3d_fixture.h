#pragma once
// Helpers for device tests: a small headless device, vertices, and the back
// buffer read back as pixels or as a picture of text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/d3d_rasterizer.h"
#include "platform/direct3d.h"

// The device's own vertex layout for format 0x144.
using TestVertex = RasterVertex;

inline TestVertex Vertex(float x, float y, D3DCOLOR diffuse = 0xFFFFFFFF, float u = 0.0f,
                         float v = 0.0f) {
    return {x, y, 1.0f, 1.0f, diffuse, u, v};
}

constexpr DWORD SCREEN_FVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

inline D3DPRESENT_PARAMETERS PresentParameters(UINT width, UINT height, HWND window = nullptr) {
    D3DPRESENT_PARAMETERS params{};
    params.BackBufferWidth = width;
    params.BackBufferHeight = height;
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.BackBufferCount = 1;
    params.MultiSampleType = D3DMULTISAMPLE_NONE;
    params.SwapEffect = D3DSWAPEFFECT_COPY;
    params.hDeviceWindow = window;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = FALSE;
    params.AutoDepthStencilFormat = D3DFMT_UNKNOWN;
    return params;
}

class DeviceTest : public ::testing::Test {
  protected:
    void SetUp() override { MakeDevice(16, 16); }

    void TearDown() override { ReleaseDevice(); }

    void ReleaseDevice() {
        if (device != nullptr) {
            device->Release();
            device = nullptr;
        }
        if (d3d != nullptr) {
            d3d->Release();
            d3d = nullptr;
        }
    }

    void MakeDevice(UINT w, UINT h, HWND window = nullptr) {
        ReleaseDevice();
        d3d = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        D3DPRESENT_PARAMETERS params = PresentParameters(w, h, window);
        ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                    D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &device),
                  S_OK);
        width = w;
        height = h;
    }

    // One draw call inside its own scene.
    HRESULT Draw(D3DPRIMITIVETYPE type, UINT count, const std::vector<TestVertex>& vertices) {
        EXPECT_EQ(device->BeginScene(), S_OK);
        EXPECT_EQ(device->SetVertexShader(SCREEN_FVF), S_OK);
        HRESULT result = device->DrawPrimitiveUP(type, count, vertices.data(), sizeof(TestVertex));
        EXPECT_EQ(device->EndScene(), S_OK);
        return result;
    }

    std::vector<uint32_t> Pixels() {
        IDirect3DSurface8* backBuffer = nullptr;
        EXPECT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), S_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(backBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY), S_OK);
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        for (UINT y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                static_cast<const BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch);
            for (UINT x = 0; x < width; ++x) {
                pixels[y * width + x] = row[x];
            }
        }
        backBuffer->UnlockRect();
        backBuffer->Release();
        return pixels;
    }

    uint32_t Pixel(UINT x, UINT y) { return Pixels()[y * width + x]; }

    // The top-left columns x rows of the back buffer, one text line per row:
    // '.' for the given background, '#' for anything else.
    std::string Picture(UINT columns, UINT rows, uint32_t background = 0) {
        std::vector<uint32_t> pixels = Pixels();
        std::string picture;
        for (UINT y = 0; y < rows; ++y) {
            for (UINT x = 0; x < columns; ++x) {
                picture += pixels[y * width + x] == background ? '.' : '#';
            }
            picture += '\n';
        }
        return picture;
    }

    void ClearTo(D3DCOLOR colour) {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 0.0f, 0), S_OK);
    }

    IDirect3D8* d3d = nullptr;
    IDirect3DDevice8* device = nullptr;
    UINT width = 0;
    UINT height = 0;
};
