// The device's life, its frame (scene, clear, present, viewport) and its
// drawing calls, which read vertices and hand them to the rasteriser.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/d3d_device_state.h"
#include "platform/presenter.h"

namespace {

// The number of vertices a draw of primitiveCount primitives reads, or 0 for
// a type the device does not draw.
uint64_t VertexCount(D3DPRIMITIVETYPE type, UINT primitiveCount) {
    uint64_t count = primitiveCount;
    switch (type) {
    case D3DPT_POINTLIST:
        return count;
    case D3DPT_LINELIST:
        return count * 2;
    case D3DPT_TRIANGLELIST:
        return count * 3;
    case D3DPT_TRIANGLEFAN:
        return count + 2;
    default:
        return 0;
    }
}

RasterVertex ReadVertex(const BYTE* vertices, UINT stride, uint64_t index) {
    RasterVertex vertex;
    std::memcpy(&vertex, vertices + index * stride, sizeof vertex);
    return vertex;
}

} // namespace

IDirect3DDevice8::IDirect3DDevice8() : state_(new D3DDeviceState()) {}

IDirect3DDevice8::~IDirect3DDevice8() {
    auto releaseAll = [](D3DStateValues& values) {
        for (IDirect3DTexture8*& texture : values.texture) {
            HoldTexture(&texture, nullptr);
        }
    };
    releaseAll(state_->current);
    for (auto& block : state_->blocks) {
        if (block) {
            releaseAll(block->values);
        }
    }
    if (state_->recording) {
        releaseAll(state_->recording->values);
    }
    if (state_->stream != nullptr) {
        state_->stream->Release();
    }
    if (state_->backBuffer != nullptr) {
        state_->backBuffer->Release();
    }
    delete state_;
}

HRESULT IDirect3DDevice8::Initialise(const D3DPRESENT_PARAMETERS& params, HWND focusWindow) {
    D3DDeviceState& state = *state_;
    state.params = params;
    state.window = params.hDeviceWindow != nullptr ? params.hDeviceWindow : focusWindow;
    HRESULT result = CreateImageSurface(params.BackBufferWidth, params.BackBufferHeight,
                                        params.BackBufferFormat, &state.backBuffer);
    if (FAILED(result)) {
        return result;
    }
    D3DPixelStore& store = state.backBuffer->store_;
    state.target.pixels = reinterpret_cast<uint32_t*>(store.bytes.data());
    state.target.width = static_cast<int>(store.width);
    state.target.height = static_cast<int>(store.height);
    state.target.pitch = static_cast<int>(store.pitch / 4);
    state.viewport = {0, 0, store.width, store.height, 0.0f, 1.0f};
    DefaultStateValues(&state.current);
    return S_OK;
}

ULONG IDirect3DDevice8::AddRef() {
    return ++refs_;
}

ULONG IDirect3DDevice8::Release() {
    ULONG left = --refs_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT IDirect3DDevice8::GetDeviceCaps(D3DCAPS8* caps) {
    if (caps == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *caps = D3DCAPS8{};
    caps->DeviceType = D3DDEVTYPE_HAL;
    caps->AdapterOrdinal = D3DADAPTER_DEFAULT;
    caps->MaxTextureWidth = state_->maxTextureSize;
    caps->MaxTextureHeight = state_->maxTextureSize;
    return S_OK;
}

HRESULT IDirect3DDevice8::LimitMaxTextureSize(UINT size) {
    if (size == 0 || size > DEFAULT_MAX_TEXTURE_SIZE) {
        return D3DERR_INVALIDCALL;
    }
    state_->maxTextureSize = size;
    return S_OK;
}

HRESULT IDirect3DDevice8::GetDrawPrimitiveCounts(UINT* calls, UINT* lastPrimitiveCount) {
    if (calls == nullptr || lastPrimitiveCount == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *calls = state_->drawPrimitiveCalls;
    *lastPrimitiveCount = state_->lastPrimitiveCount;
    return S_OK;
}

HRESULT IDirect3DDevice8::BeginScene() {
    if (state_->inScene) {
        return D3DERR_INVALIDCALL;
    }
    state_->inScene = true;
    return S_OK;
}

HRESULT IDirect3DDevice8::EndScene() {
    if (!state_->inScene) {
        return D3DERR_INVALIDCALL;
    }
    state_->inScene = false;
    return S_OK;
}

HRESULT IDirect3DDevice8::Clear(DWORD count, const void* rects, DWORD flags, D3DCOLOR colour, float,
                                DWORD) {
    const D3DRECT* areas = static_cast<const D3DRECT*>(rects);
    if (flags != D3DCLEAR_TARGET || (count != 0 && areas == nullptr) ||
        state_->backBuffer->store_.locked) {
        return D3DERR_INVALIDCALL;
    }
    for (DWORD i = 0; i < count; ++i) {
        if (areas[i].x1 > areas[i].x2 || areas[i].y1 > areas[i].y2) {
            return D3DERR_INVALIDCALL;
        }
    }
    const RasterTarget& target = state_->target;
    uint32_t value = colour & 0x00FFFFFF;
    if (count == 0) {
        size_t pixels = static_cast<size_t>(target.pitch) * target.height;
        std::fill_n(target.pixels, pixels, value);
        return S_OK;
    }
    // Rectangles are clipped to the back buffer.
    for (DWORD i = 0; i < count; ++i) {
        LONG x1 = std::clamp<LONG>(areas[i].x1, 0, target.width);
        LONG x2 = std::clamp<LONG>(areas[i].x2, 0, target.width);
        LONG y1 = std::clamp<LONG>(areas[i].y1, 0, target.height);
        LONG y2 = std::clamp<LONG>(areas[i].y2, 0, target.height);
        for (LONG y = y1; y < y2; ++y) {
            std::fill(target.pixels + static_cast<size_t>(y) * target.pitch + x1,
                      target.pixels + static_cast<size_t>(y) * target.pitch + x2, value);
        }
    }
    return S_OK;
}

HRESULT IDirect3DDevice8::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow,
                                  const void* dirtyRegion) {
    const D3DPixelStore& store = state_->backBuffer->store_;
    if (sourceRect != nullptr || destRect != nullptr || dirtyRegion != nullptr || store.locked) {
        return D3DERR_INVALIDCALL;
    }
    // The back buffer is shown, not swapped: it keeps its picture.
    Presenter* presenter = GetWindowPresenter(destWindow != nullptr ? destWindow : state_->window);
    if (presenter != nullptr) {
        presenter->Show(store.bytes.data(), store.width, store.height, store.pitch);
    }
    return S_OK;
}

HRESULT IDirect3DDevice8::SetViewport(const D3DVIEWPORT8* viewport) {
    const D3DPixelStore& store = state_->backBuffer->store_;
    if (viewport == nullptr || viewport->Width == 0 || viewport->Height == 0 ||
        viewport->X >= store.width || viewport->Y >= store.height ||
        viewport->Width > store.width - viewport->X ||
        viewport->Height > store.height - viewport->Y || !std::isfinite(viewport->MinZ) ||
        !std::isfinite(viewport->MaxZ)) {
        return D3DERR_INVALIDCALL;
    }
    state_->viewport = *viewport;
    return S_OK;
}

HRESULT IDirect3DDevice8::GetViewport(D3DVIEWPORT8* viewport) {
    if (viewport == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *viewport = state_->viewport;
    return S_OK;
}

HRESULT IDirect3DDevice8::SetVertexShader(DWORD vertexFormat) {
    if (vertexFormat != SCREEN_VERTEX_FORMAT) {
        return D3DERR_INVALIDCALL;
    }
    state_->vertexFormat = vertexFormat;
    return S_OK;
}

HRESULT IDirect3DDevice8::SetPixelShader(DWORD handle) {
    // The device has the fixed texture stages only.
    return handle == 0 ? S_OK : D3DERR_INVALIDCALL;
}

HRESULT IDirect3DDevice8::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* vertexBuffer,
                                          UINT stride) {
    if (stream != 0 || (vertexBuffer != nullptr && stride < SCREEN_VERTEX_SIZE)) {
        return D3DERR_INVALIDCALL;
    }
    if (vertexBuffer != nullptr) {
        vertexBuffer->AddRef();
    }
    if (state_->stream != nullptr) {
        state_->stream->Release();
    }
    state_->stream = vertexBuffer;
    state_->streamStride = stride;
    return S_OK;
}

bool IDirect3DDevice8::CanDraw(D3DPRIMITIVETYPE type) const {
    return state_->inScene && !state_->recording && state_->vertexFormat == SCREEN_VERTEX_FORMAT &&
           VertexCount(type, 1) != 0 && !state_->backBuffer->store_.locked;
}

HRESULT IDirect3DDevice8::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount,
                                          const void* vertexData, UINT stride) {
    if (!CanDraw(type) || vertexData == nullptr || stride < SCREEN_VERTEX_SIZE) {
        return D3DERR_INVALIDCALL;
    }
    if (state_->rasterStale) {
        RefreshRasterState();
    }
    const BYTE* vertices = static_cast<const BYTE*>(vertexData);
    // The frame's hot path: single points with the default states, written
    // straight into the back buffer.
    if (type == D3DPT_POINTLIST && state_->raster.plain) {
        const RasterTarget& target = state_->target;
        for (UINT i = 0; i < primitiveCount; ++i) {
            const BYTE* vertex = vertices + static_cast<size_t>(i) * stride;
            float x;
            float y;
            D3DCOLOR diffuse;
            std::memcpy(&x, vertex, sizeof x);
            std::memcpy(&y, vertex + 4, sizeof y);
            std::memcpy(&diffuse, vertex + 16, sizeof diffuse);
            float px = std::floor(x + 0.5f);
            float py = std::floor(y + 0.5f);
            if (px >= 0.0f && px < static_cast<float>(target.width) && py >= 0.0f &&
                py < static_cast<float>(target.height)) {
                target.pixels[static_cast<size_t>(py) * target.pitch + static_cast<size_t>(px)] =
                    diffuse & 0x00FFFFFF;
            }
        }
        return S_OK;
    }
    DrawVertices(type, primitiveCount, vertices, stride);
    return S_OK;
}

HRESULT IDirect3DDevice8::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex,
                                        UINT primitiveCount) {
    IDirect3DVertexBuffer8* stream = state_->stream;
    if (!CanDraw(type) || stream == nullptr || stream->locked_) {
        return D3DERR_INVALIDCALL;
    }
    // Every vertex read must lie inside the buffer.
    uint64_t count = VertexCount(type, primitiveCount);
    if (count != 0 && (static_cast<uint64_t>(startVertex) + count - 1) * state_->streamStride +
                              SCREEN_VERTEX_SIZE >
                          stream->bytes_.size()) {
        return D3DERR_INVALIDCALL;
    }
    if (state_->rasterStale) {
        RefreshRasterState();
    }
    ++state_->drawPrimitiveCalls;
    state_->lastPrimitiveCount = primitiveCount;
    DrawVertices(type, primitiveCount,
                 stream->bytes_.data() + static_cast<size_t>(startVertex) * state_->streamStride,
                 state_->streamStride);
    return S_OK;
}

void IDirect3DDevice8::DrawVertices(D3DPRIMITIVETYPE type, UINT primitiveCount,
                                    const BYTE* vertices, UINT stride) {
    const RasterTarget& target = state_->target;
    const RasterState& raster = state_->raster;
    for (uint64_t i = 0; i < primitiveCount; ++i) {
        switch (type) {
        case D3DPT_POINTLIST:
            RasterPoint(target, raster, ReadVertex(vertices, stride, i));
            break;
        case D3DPT_LINELIST:
            RasterLine(target, raster, ReadVertex(vertices, stride, 2 * i),
                       ReadVertex(vertices, stride, 2 * i + 1));
            break;
        case D3DPT_TRIANGLELIST:
            RasterTriangle(target, raster, ReadVertex(vertices, stride, 3 * i),
                           ReadVertex(vertices, stride, 3 * i + 1),
                           ReadVertex(vertices, stride, 3 * i + 2));
            break;
        case D3DPT_TRIANGLEFAN:
            RasterTriangle(target, raster, ReadVertex(vertices, stride, 0),
                           ReadVertex(vertices, stride, i + 1),
                           ReadVertex(vertices, stride, i + 2));
            break;
        }
    }
}
