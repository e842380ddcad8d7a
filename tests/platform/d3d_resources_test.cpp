#include <cstring>

#include "d3d_fixture.h"
#include "platform/d3d_formats.h"

namespace {

using ResourcesTest = DeviceTest;

// Writes a surface row by row through pBits and Pitch, as the map loader does.
void FillSurface(IDirect3DSurface8* surface, uint32_t (*colour)(UINT x, UINT y)) {
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(surface->GetDesc(&desc), S_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), S_OK);
    for (UINT y = 0; y < desc.Height; ++y) {
        BYTE* row = static_cast<BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
        for (UINT x = 0; x < desc.Width; ++x) {
            uint32_t value = colour(x, y);
            std::memcpy(row + x * 4, &value, 4);
        }
    }
    ASSERT_EQ(surface->UnlockRect(), S_OK);
}

uint32_t Numbered(UINT x, UINT y) {
    return 0x100000 + y * 0x100 + x;
}

TEST_F(ResourcesTest, ImageSurfacesHaveTheirFormatsSizeWithPaddedRows) {
    struct Case {
        D3DFORMAT format;
        UINT bytesPerPixel; // 0: refused
    };
    const Case cases[] = {
        {D3DFMT_R8G8B8, 3},   {D3DFMT_A8R8G8B8, 4},
        {D3DFMT_X8R8G8B8, 4}, {D3DFMT_R5G6B5, 2},
        {D3DFMT_X1R5G5B5, 2}, {D3DFMT_A1R5G5B5, 2},
        {D3DFMT_A4R4G4B4, 2}, {D3DFMT_R3G3B2, 1},
        {D3DFMT_A8, 1},       {D3DFMT_A8R3G3B2, 2},
        {D3DFMT_X4R4G4B4, 2}, {D3DFMT_L8, 1},
        {D3DFMT_UNKNOWN, 0},  {static_cast<D3DFORMAT>(31), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.format));
        IDirect3DSurface8* surface = nullptr;
        HRESULT result = device->CreateImageSurface(3, 2, c.format, &surface);
        if (c.bytesPerPixel == 0) {
            EXPECT_EQ(result, D3DERR_INVALIDCALL);
            EXPECT_EQ(surface, nullptr);
            continue;
        }
        ASSERT_EQ(result, S_OK);
        D3DLOCKED_RECT whole{};
        ASSERT_EQ(surface->LockRect(&whole, nullptr, 0), S_OK);
        EXPECT_GE(whole.Pitch, static_cast<INT>(3 * c.bytesPerPixel));
        ASSERT_EQ(surface->UnlockRect(), S_OK);
        // The pixel at (2, 1) lies one row and two pixels on.
        RECT last{2, 1, 3, 2};
        D3DLOCKED_RECT one{};
        ASSERT_EQ(surface->LockRect(&one, &last, 0), S_OK);
        EXPECT_EQ(static_cast<BYTE*>(one.pBits) - static_cast<BYTE*>(whole.pBits),
                  whole.Pitch + 2 * static_cast<INT>(c.bytesPerPixel));
        surface->UnlockRect();
        surface->Release();
    }
    IDirect3DSurface8* surface = nullptr;
    EXPECT_EQ(device->CreateImageSurface(0, 2, D3DFMT_X8R8G8B8, &surface), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateImageSurface(2, 2, D3DFMT_X8R8G8B8, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(ResourcesTest, LockingChecksItsArguments) {
    IDirect3DSurface8* surface = nullptr;
    ASSERT_EQ(device->CreateImageSurface(4, 3, D3DFMT_X8R8G8B8, &surface), S_OK);
    D3DLOCKED_RECT locked{};
    const RECT badRects[] = {{0, 0, 5, 3}, {0, 0, 4, 4}, {-1, 0, 2, 2}, {2, 1, 2, 3}, {3, 2, 1, 1}};
    for (const RECT& rect : badRects) {
        SCOPED_TRACE(testing::Message()
                     << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom);
        EXPECT_EQ(surface->LockRect(&locked, &rect, 0), D3DERR_INVALIDCALL);
    }
    EXPECT_EQ(surface->LockRect(nullptr, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(surface->UnlockRect(), D3DERR_INVALIDCALL);
    ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), S_OK);
    EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(surface->UnlockRect(), S_OK);
    surface->Release();
}

TEST_F(ResourcesTest, CopyRectsLandsAtTheSamePositionThroughPaddedRows) {
    // 3 pixels of 4 bytes make 12-byte rows in 16-byte steps.
    IDirect3DSurface8* picture = nullptr;
    ASSERT_EQ(device->CreateImageSurface(3, 2, D3DFMT_X8R8G8B8, &picture), S_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(picture->LockRect(&locked, nullptr, 0), S_OK);
    EXPECT_GT(locked.Pitch, 12);
    picture->UnlockRect();
    FillSurface(picture, Numbered);

    struct Case {
        const char* name;
        std::vector<RECT> rects;
        std::vector<POINT> points;
        std::vector<std::pair<POINT, uint32_t>> expected; // every other pixel keeps 0x777777
    };
    const Case cases[] = {
        {"the window-sized map rectangle over a smaller picture",
         {{0, 0, 800, 600}},
         {},
         {{{0, 0}, Numbered(0, 0)},
          {{1, 0}, Numbered(1, 0)},
          {{2, 0}, Numbered(2, 0)},
          {{0, 1}, Numbered(0, 1)},
          {{1, 1}, Numbered(1, 1)},
          {{2, 1}, Numbered(2, 1)}}},
        {"part of the picture",
         {{1, 1, 3, 2}},
         {},
         {{{1, 1}, Numbered(1, 1)}, {{2, 1}, Numbered(2, 1)}}},
        {"to a point",
         {{1, 0, 2, 2}},
         {{10, 5}},
         {{{10, 5}, Numbered(1, 0)}, {{10, 6}, Numbered(1, 1)}}},
        {"reaching left of the picture", {{-2, 1, 1, 2}}, {}, {{{0, 1}, Numbered(0, 1)}}},
        {"past the back buffer's edge",
         {{0, 0, 3, 1}},
         {{14, 15}},
         {{{14, 15}, Numbered(0, 0)}, {{15, 15}, Numbered(1, 0)}}},
    };
    IDirect3DSurface8* backBuffer = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), S_OK);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearTo(0x777777);
        ASSERT_EQ(device->CopyRects(picture, c.rects.data(), static_cast<UINT>(c.rects.size()),
                                    backBuffer, c.points.empty() ? nullptr : c.points.data()),
                  S_OK);
        std::vector<uint32_t> pixels = Pixels();
        for (auto [point, value] : c.expected) {
            EXPECT_EQ(pixels[point.y * width + point.x], value) << point.x << "," << point.y;
            pixels[point.y * width + point.x] = 0x777777;
        }
        EXPECT_EQ(pixels, std::vector<uint32_t>(width * height, 0x777777));
    }
    backBuffer->Release();
    picture->Release();
}

TEST_F(ResourcesTest, InvalidCopiesChangeNothing) {
    IDirect3DSurface8* picture = nullptr;
    IDirect3DSurface8* otherFormat = nullptr;
    IDirect3DSurface8* backBuffer = nullptr;
    ASSERT_EQ(device->CreateImageSurface(4, 4, D3DFMT_X8R8G8B8, &picture), S_OK);
    ASSERT_EQ(device->CreateImageSurface(4, 4, D3DFMT_R5G6B5, &otherFormat), S_OK);
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), S_OK);
    FillSurface(picture, Numbered);
    ClearTo(0x777777);
    const RECT inside{0, 0, 2, 2};
    const RECT outside{4, 0, 8, 2};
    const RECT inverted{2, 0, 1, 2};
    const RECT oneGoodOneBad[] = {inside, outside};
    const POINT offScreen{16, 0};
    EXPECT_EQ(device->CopyRects(picture, &outside, 1, backBuffer, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CopyRects(picture, &inverted, 1, backBuffer, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CopyRects(picture, oneGoodOneBad, 2, backBuffer, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CopyRects(picture, &inside, 1, backBuffer, &offScreen), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CopyRects(otherFormat, nullptr, 0, backBuffer, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CopyRects(nullptr, &inside, 1, backBuffer, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CopyRects(picture, &inside, 1, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CopyRects(backBuffer, &inside, 1, backBuffer, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CopyRects(picture, nullptr, 1, backBuffer, nullptr), D3DERR_INVALIDCALL);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(picture->LockRect(&locked, nullptr, 0), S_OK);
    EXPECT_EQ(device->CopyRects(picture, &inside, 1, backBuffer, nullptr), D3DERR_INVALIDCALL);
    picture->UnlockRect();
    EXPECT_EQ(Pixels(), std::vector<uint32_t>(width * height, 0x777777));
    // With no rectangles the whole source is copied.
    EXPECT_EQ(device->CopyRects(picture, nullptr, 0, backBuffer, nullptr), S_OK);
    EXPECT_EQ(Pixel(3, 3), Numbered(3, 3));
    backBuffer->Release();
    otherFormat->Release();
    picture->Release();
}

TEST_F(ResourcesTest, TexelsDecodeToEightBitChannels) {
    struct Case {
        D3DFORMAT format;
        uint32_t stored;
        uint32_t argb;
    };
    const Case cases[] = {
        {D3DFMT_A4R4G4B4, 0x1FFF, 0x11FFFFFF},
        {D3DFMT_A4R4G4B4, 0xF8F4, 0xFF88FF44},
        {D3DFMT_A4R4G4B4, 0x0000, 0x00000000},
        {D3DFMT_R5G6B5, 0xF800, 0xFFFF0000},
        {D3DFMT_R5G6B5, 0x8430, 0xFF848684},
        {D3DFMT_X1R5G5B5, 0xFC00, 0xFFFF0000},
        {D3DFMT_A1R5G5B5, 0x8000, 0xFF000000},
        {D3DFMT_R3G3B2, 0xE0, 0xFFFF0000},
        {D3DFMT_A8, 0x80, 0x80000000},
        {D3DFMT_A8R3G3B2, 0x8003, 0x800000FF},
        {D3DFMT_X4R4G4B4, 0xF0F0, 0xFF00FF00},
        {D3DFMT_R8G8B8, 0x123456, 0xFF123456},
        {D3DFMT_X8R8G8B8, 0xAB123456, 0xFF123456},
        {D3DFMT_A8R8G8B8, 0xAB123456, 0xAB123456},
        {D3DFMT_L8, 0x40, 0xFF404040},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.format << " " << std::hex << c.stored);
        BYTE bytes[4];
        std::memcpy(bytes, &c.stored, 4);
        EXPECT_EQ(DecodePixel(c.format, bytes), c.argb);
    }
}

TEST_F(ResourcesTest, TexturesAreOneLevelWithinTheReportedSize) {
    D3DCAPS8 caps{};
    ASSERT_EQ(device->GetDeviceCaps(&caps), S_OK);
    EXPECT_GE(caps.MaxTextureWidth, 1024u);
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(256, 256, 0, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(256, 256, 2, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(256, 256, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(caps.MaxTextureWidth + 1, 16, 1, 0, D3DFMT_A4R4G4B4,
                                    D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);

    // A smaller device for the overlay font's tests.
    ASSERT_EQ(device->LimitMaxTextureSize(128), S_OK);
    ASSERT_EQ(device->GetDeviceCaps(&caps), S_OK);
    EXPECT_EQ(caps.MaxTextureWidth, 128u);
    EXPECT_EQ(device->CreateTexture(256, 256, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    ASSERT_EQ(device->CreateTexture(128, 128, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &texture),
              S_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    EXPECT_GE(locked.Pitch, 256);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->UnlockRect(0), S_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);
    texture->Release();
}

TEST_F(ResourcesTest, VertexBufferDrawsWhatWasWrittenAndGuardsItsBounds) {
    IDirect3DVertexBuffer8* buffer = nullptr;
    EXPECT_EQ(device->CreateVertexBuffer(84, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0x142,
                                         D3DPOOL_DEFAULT, &buffer),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateVertexBuffer(0, 0, 0, D3DPOOL_DEFAULT, &buffer), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->CreateVertexBuffer(84, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0,
                                         D3DPOOL_DEFAULT, &buffer),
              S_OK);
    BYTE* data = nullptr;
    EXPECT_EQ(buffer->Lock(84, 0, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(28, 57, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(0, 0, nullptr, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_DISCARD), S_OK);
    EXPECT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_DISCARD), D3DERR_INVALIDCALL);
    const TestVertex triangle[3] = {Vertex(0, 0), Vertex(4, 0), Vertex(0, 4)};
    std::memcpy(data, triangle, sizeof triangle);

    ASSERT_EQ(device->BeginScene(), S_OK);
    device->SetVertexShader(SCREEN_FVF);
    ASSERT_EQ(device->SetStreamSource(0, buffer, sizeof(TestVertex)), S_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL); // locked
    ASSERT_EQ(buffer->Unlock(), S_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 1, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(Picture(5, 5), ".....\n.....\n.....\n.....\n.....\n");
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), S_OK);
    ASSERT_EQ(device->EndScene(), S_OK);
    EXPECT_EQ(Picture(5, 5), "####.\n###..\n##...\n#....\n.....\n");
    // The device keeps the buffer alive while it is the stream source.
    EXPECT_EQ(buffer->Release(), 1u);
    EXPECT_EQ(device->SetStreamSource(0, nullptr, 0), S_OK);
}

TEST_F(ResourcesTest, ReferencesAreCounted) {
    IDirect3DSurface8* backBuffer = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), S_OK);
    EXPECT_EQ(backBuffer->AddRef(), 3u);
    EXPECT_EQ(backBuffer->Release(), 2u);
    IDirect3DSurface8* none = nullptr;
    EXPECT_EQ(device->GetBackBuffer(1, D3DBACKBUFFER_TYPE_MONO, &none), D3DERR_INVALIDCALL);
    EXPECT_EQ(none, nullptr);
    // A back buffer held past the device's end is still readable.
    device->AddRef();
    EXPECT_EQ(device->Release(), 1u);
    ReleaseDevice();
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(backBuffer->LockRect(&locked, nullptr, 0), S_OK);
    EXPECT_EQ(backBuffer->UnlockRect(), S_OK);
    EXPECT_EQ(backBuffer->Release(), 0u);
}

} // namespace
