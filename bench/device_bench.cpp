// The device's hot paths at the frame's sizes: one-point draws (up to 480,000
// a frame), the 800 x 600 clear and map copy, path segments and text quads.
//
// Build and run (Release):
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRASSEL_TESTS=OFF
//   cmake --build build/release --target device_bench && build/release/bench/device_bench

#include <benchmark/benchmark.h>

#include "platform/direct3d.h"

namespace {

struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR diffuse;
    float u, v;
};

constexpr DWORD SCREEN_FVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// An 800 x 600 device inside a scene, released at the end of the benchmark.
class Frame {
  public:
    Frame() {
        d3d = Direct3DCreate8(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS params{};
        params.BackBufferWidth = 800;
        params.BackBufferHeight = 600;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.BackBufferCount = 1;
        params.SwapEffect = D3DSWAPEFFECT_COPY;
        params.Windowed = TRUE;
        d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                          D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &device);
        device->BeginScene();
        device->SetVertexShader(SCREEN_FVF);
    }
    ~Frame() {
        device->EndScene();
        device->Release();
        d3d->Release();
    }
    IDirect3D8* d3d = nullptr;
    IDirect3DDevice8* device = nullptr;
};

void BM_OnePointDraw(benchmark::State& state) {
    Frame frame;
    ScreenVertex point{0, 0, 1, 1, 0xFF646464, 0, 0};
    UINT i = 0;
    for (auto _ : state) {
        point.x = static_cast<float>(i % 800);
        point.y = static_cast<float>((i / 800) % 600);
        benchmark::DoNotOptimize(
            frame.device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point));
        ++i;
    }
}
BENCHMARK(BM_OnePointDraw);

void BM_Clear800x600(benchmark::State& state) {
    Frame frame;
    for (auto _ : state) {
        benchmark::DoNotOptimize(frame.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0.0f, 0));
    }
    state.SetBytesProcessed(state.iterations() * 800 * 600 * 4);
}
BENCHMARK(BM_Clear800x600);

void BM_CopyRects800x600(benchmark::State& state) {
    Frame frame;
    IDirect3DSurface8* map = nullptr;
    frame.device->CreateImageSurface(800, 600, D3DFMT_X8R8G8B8, &map);
    const RECT rect{0, 0, 800, 600};
    for (auto _ : state) {
        IDirect3DSurface8* backBuffer = nullptr;
        frame.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
        benchmark::DoNotOptimize(frame.device->CopyRects(map, &rect, 1, backBuffer, nullptr));
        backBuffer->Release();
    }
    state.SetBytesProcessed(state.iterations() * 800 * 600 * 4);
    map->Release();
}
BENCHMARK(BM_CopyRects800x600);

// A path segment of 100 pixels, white to blue.
void BM_LineSegment(benchmark::State& state) {
    Frame frame;
    const ScreenVertex line[2] = {{200, 200, 1, 1, 0xFFFFFFFF, 0, 0},
                                  {300, 260, 1, 1, 0xFF0000FF, 0, 0}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            frame.device->DrawPrimitiveUP(D3DPT_LINELIST, 1, line, sizeof line[0]));
    }
}
BENCHMARK(BM_LineSegment);

// One character of overlay text: a 7 x 11 quad from an A4R4G4B4 atlas with
// alpha test and blending.
void BM_TextQuad(benchmark::State& state) {
    Frame frame;
    IDirect3DDevice8* device = frame.device;
    IDirect3DTexture8* atlas = nullptr;
    device->CreateTexture(256, 256, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &atlas);
    D3DLOCKED_RECT locked{};
    atlas->LockRect(0, &locked, nullptr, 0);
    for (UINT y = 0; y < 256; ++y) {
        auto* row = reinterpret_cast<WORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
        for (UINT x = 0; x < 256; ++x) {
            row[x] = static_cast<WORD>(((x ^ y) & 15) << 12 | 0x0FFF);
        }
    }
    atlas->UnlockRect(0);
    device->SetTexture(0, atlas);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 0x08);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    const float x = 4.0f, y = 2.0f, w = 7.0f, h = 11.0f;
    const float u1 = 10 / 256.0f, v1 = 0, u2 = 17 / 256.0f, v2 = 11 / 256.0f;
    const D3DCOLOR c = 0xFFFFFFFF;
    const ScreenVertex quad[6] = {
        {x - 0.5f, y + h - 0.5f, 0.9f, 1, c, u1, v2},
        {x - 0.5f, y - 0.5f, 0.9f, 1, c, u1, v1},
        {x + w - 0.5f, y + h - 0.5f, 0.9f, 1, c, u2, v2},
        {x + w - 0.5f, y - 0.5f, 0.9f, 1, c, u2, v1},
        {x + w - 0.5f, y + h - 0.5f, 0.9f, 1, c, u2, v2},
        {x - 0.5f, y - 0.5f, 0.9f, 1, c, u1, v1},
    };
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, quad, sizeof quad[0]));
    }
    device->SetTexture(0, nullptr);
    atlas->Release();
}
BENCHMARK(BM_TextQuad);

} // namespace

BENCHMARK_MAIN();
