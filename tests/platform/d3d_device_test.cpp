#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

#include "d3d_fixture.h"
#include "platform/png_file.h"
#include "platform/presenter.h"

namespace {

using DeviceCallsTest = DeviceTest;

TEST(Direct3D, CreatesTheDeviceTheShellAsksFor) {
    EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION - 1), nullptr);
    IDirect3D8* d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    // Headless, the desktop is 800 x 600 at 60 Hz.
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), S_OK);
    EXPECT_EQ(mode.Width, 800u);
    EXPECT_EQ(mode.Height, 600u);
    EXPECT_EQ(mode.RefreshRate, 60u);
    EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(d3d->GetAdapterDisplayMode(1, &mode), D3DERR_INVALIDCALL);
    EXPECT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, nullptr), D3DERR_INVALIDCALL);

    struct Case {
        const char* name;
        void (*change)(D3DPRESENT_PARAMETERS&);
    };
    const Case refused[] = {
        {"format", [](D3DPRESENT_PARAMETERS& p) { p.BackBufferFormat = D3DFMT_R5G6B5; }},
        {"unknown format", [](D3DPRESENT_PARAMETERS& p) { p.BackBufferFormat = D3DFMT_UNKNOWN; }},
        {"no width", [](D3DPRESENT_PARAMETERS& p) { p.BackBufferWidth = 0; }},
        {"two back buffers", [](D3DPRESENT_PARAMETERS& p) { p.BackBufferCount = 2; }},
        {"depth buffer", [](D3DPRESENT_PARAMETERS& p) { p.EnableAutoDepthStencil = TRUE; }},
        {"multisampling",
         [](D3DPRESENT_PARAMETERS& p) { p.MultiSampleType = static_cast<D3DMULTISAMPLE_TYPE>(2); }},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        D3DPRESENT_PARAMETERS params = PresentParameters(800, 600);
        c.change(params);
        IDirect3DDevice8* device = nullptr;
        EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                    D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &device),
                  D3DERR_INVALIDCALL);
        EXPECT_EQ(device, nullptr);
    }
    IDirect3DDevice8* device = nullptr;
    EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, 0, nullptr, &device),
              D3DERR_INVALIDCALL);

    D3DPRESENT_PARAMETERS params = PresentParameters(800, 600);
    params.BackBufferFormat = mode.Format;
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &device),
              S_OK);
    IDirect3DSurface8* backBuffer = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), S_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(backBuffer->GetDesc(&desc), S_OK);
    EXPECT_EQ(desc.Width, 800u);
    EXPECT_EQ(desc.Height, 600u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    backBuffer->Release();
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(DeviceCallsTest, DrawingNeedsASceneAndTheScreenVertexFormat) {
    const TestVertex point = Vertex(1, 1);
    EXPECT_EQ(device->SetVertexShader(SCREEN_FVF), S_OK);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->BeginScene(), S_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetVertexShader(0x142), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetPixelShader(1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetPixelShader(0), S_OK);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, nullptr, sizeof point),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, 20), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(3), 1, &point, sizeof point),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(Picture(3, 3), "...\n...\n...\n");
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point), S_OK);
    EXPECT_EQ(device->EndScene(), S_OK);
    EXPECT_EQ(Picture(3, 3), "...\n.#.\n...\n");

    // A device that was never given the vertex format draws nothing.
    MakeDevice(4, 4);
    ASSERT_EQ(device->BeginScene(), S_OK);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point),
              D3DERR_INVALIDCALL);
    device->EndScene();
}

TEST_F(DeviceCallsTest, ClearFillsTheBackBufferOrItsClippedRectangles) {
    ClearTo(0xFF123456);
    EXPECT_EQ(Pixels(), std::vector<uint32_t>(width * height, 0x123456));
    const D3DRECT rects[] = {{1, 1, 3, 2}, {14, 14, 99, 99}};
    ASSERT_EQ(device->Clear(2, rects, D3DCLEAR_TARGET, 0, 0.0f, 0), S_OK);
    EXPECT_EQ(Picture(16, 16, 0x123456), "................\n"
                                         ".##.............\n"
                                         "................\n"
                                         "................\n"
                                         "................\n"
                                         "................\n"
                                         "................\n"
                                         "................\n"
                                         "................\n"
                                         "................\n"
                                         "................\n"
                                         "................\n"
                                         "................\n"
                                         "................\n"
                                         "..............##\n"
                                         "..............##\n");
    const D3DRECT inverted{3, 1, 1, 2};
    EXPECT_EQ(device->Clear(1, &inverted, D3DCLEAR_TARGET, 0, 0.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 0.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(0, nullptr, 0x2, 0, 0.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(Pixel(0, 0), 0x123456u);
}

TEST_F(DeviceCallsTest, ViewportMustLieInTheBackBuffer) {
    D3DVIEWPORT8 viewport{0, 0, 16, 16, -5.0f, 5.0f};
    EXPECT_EQ(device->SetViewport(&viewport), S_OK);
    const D3DVIEWPORT8 refused[] = {
        {0, 0, 17, 16, 0.0f, 1.0f},
        {8, 0, 9, 16, 0.0f, 1.0f},
        {0, 0, 0, 16, 0.0f, 1.0f},
        {0, 0, 16, 16, std::numeric_limits<float>::quiet_NaN(), 1.0f},
    };
    for (const D3DVIEWPORT8& bad : refused) {
        EXPECT_EQ(device->SetViewport(&bad), D3DERR_INVALIDCALL);
    }
    EXPECT_EQ(device->SetViewport(nullptr), D3DERR_INVALIDCALL);
    D3DVIEWPORT8 read{};
    ASSERT_EQ(device->GetViewport(&read), S_OK);
    EXPECT_EQ(read.Width, 16u);
    EXPECT_EQ(read.MinZ, -5.0f);
}

// Records what was shown.
class RecordingPresenter : public Presenter {
  public:
    void Show(const void* pixels, UINT w, UINT h, UINT p) override {
        ++shown;
        width = w;
        height = h;
        pitch = p;
        first = *static_cast<const uint32_t*>(pixels);
    }
    int shown = 0;
    UINT width = 0, height = 0, pitch = 0;
    uint32_t first = 0;
};

TEST_F(DeviceCallsTest, PresentShowsTheBackBufferInItsWindowAndKeepsIt) {
    int windowTag = 0;
    int otherTag = 0;
    HWND window = reinterpret_cast<HWND>(&windowTag);
    HWND other = reinterpret_cast<HWND>(&otherTag);
    RecordingPresenter presenter;
    RecordingPresenter otherPresenter;
    SetWindowPresenter(window, &presenter);
    SetWindowPresenter(other, &otherPresenter);
    MakeDevice(5, 3, window);

    ClearTo(0x00ABCDEF);
    ASSERT_EQ(device->BeginScene(), S_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    ASSERT_EQ(device->EndScene(), S_OK);
    EXPECT_EQ(presenter.shown, 1);
    EXPECT_EQ(presenter.width, 5u);
    EXPECT_EQ(presenter.height, 3u);
    EXPECT_GE(presenter.pitch, 20u);
    EXPECT_EQ(presenter.first, 0xABCDEFu);
    EXPECT_EQ(Pixels(), std::vector<uint32_t>(15, 0xABCDEF));

    ASSERT_EQ(device->Present(nullptr, nullptr, other, nullptr), S_OK);
    EXPECT_EQ(otherPresenter.shown, 1);
    RECT part{0, 0, 1, 1};
    EXPECT_EQ(device->Present(&part, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(presenter.shown, 1);

    // With no presenter the frame goes nowhere.
    SetWindowPresenter(window, nullptr);
    SetWindowPresenter(other, nullptr);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(presenter.shown, 1);
}

TEST_F(DeviceCallsTest, BackBufferRoundTripsThroughAPngFile) {
    MakeDevice(7, 5);
    ClearTo(0x203040);
    Draw(D3DPT_LINELIST, 1, {Vertex(0, 0, 0xFFFF0000), Vertex(7, 4, 0xFF00FF00)});
    Draw(D3DPT_POINTLIST, 1, {Vertex(6, 4, 0xFF0000FF)});
    std::string path =
        (std::filesystem::temp_directory_path() / "brassel_d3d_device_test.png").string();
    IDirect3DSurface8* backBuffer = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), S_OK);
    ASSERT_TRUE(WriteSurfacePng(backBuffer, path.c_str()));
    backBuffer->Release();

    std::vector<uint32_t> read;
    UINT readWidth = 0;
    UINT readHeight = 0;
    ASSERT_TRUE(ReadPngPixels(path.c_str(), read, readWidth, readHeight));
    EXPECT_EQ(readWidth, 7u);
    EXPECT_EQ(readHeight, 5u);
    EXPECT_EQ(read, Pixels());
    std::remove(path.c_str());

    EXPECT_FALSE(ReadPngPixels(path.c_str(), read, readWidth, readHeight));
    IDirect3DSurface8* wrongFormat = nullptr;
    ASSERT_EQ(device->CreateImageSurface(2, 2, D3DFMT_R5G6B5, &wrongFormat), S_OK);
    EXPECT_FALSE(WriteSurfacePng(wrongFormat, path.c_str()));
    EXPECT_FALSE(std::filesystem::exists(path));
    wrongFormat->Release();
}

} // namespace
