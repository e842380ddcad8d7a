// Surfaces, textures and vertex buffers: their memory, locking and reference
// counts, and the device calls that make them and copy between surfaces.

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/d3d_device_state.h"
#include "platform/d3d_formats.h"

namespace {

// Surfaces and textures larger than this on a side are refused.
constexpr UINT MAX_SURFACE_SIZE = 8192;
// Rows start on this boundary, so a row can be longer than its pixels.
constexpr UINT ROW_ALIGNMENT = 16;
// Vertex buffers larger than this are refused.
constexpr UINT MAX_VERTEX_BUFFER_BYTES = 64u << 20;

HRESULT MakeStore(D3DPixelStore* store, UINT width, UINT height, D3DFORMAT format) {
    D3DFormatLayout layout{};
    if (!GetFormatLayout(format, &layout) || width == 0 || height == 0 ||
        width > MAX_SURFACE_SIZE || height > MAX_SURFACE_SIZE) {
        return D3DERR_INVALIDCALL;
    }
    UINT pitch = (width * layout.bytesPerPixel + ROW_ALIGNMENT - 1) / ROW_ALIGNMENT * ROW_ALIGNMENT;
    try {
        store->bytes.assign(static_cast<size_t>(pitch) * height, 0);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    store->format = format;
    store->width = width;
    store->height = height;
    store->bytesPerPixel = layout.bytesPerPixel;
    store->pitch = pitch;
    return S_OK;
}

HRESULT LockStore(D3DPixelStore* store, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
    if (lockedRect == nullptr || store->locked ||
        (flags & ~(D3DLOCK_READONLY | D3DLOCK_DISCARD)) != 0 ||
        flags == (D3DLOCK_READONLY | D3DLOCK_DISCARD)) {
        return D3DERR_INVALIDCALL;
    }
    RECT area{0, 0, static_cast<LONG>(store->width), static_cast<LONG>(store->height)};
    if (rect != nullptr) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
            rect->top >= rect->bottom || rect->right > area.right || rect->bottom > area.bottom) {
            return D3DERR_INVALIDCALL;
        }
        area = *rect;
    }
    lockedRect->Pitch = static_cast<INT>(store->pitch);
    lockedRect->pBits = store->bytes.data() + static_cast<size_t>(area.top) * store->pitch +
                        static_cast<size_t>(area.left) * store->bytesPerPixel;
    store->locked = true;
    store->lockedReadOnly = (flags & D3DLOCK_READONLY) != 0;
    return S_OK;
}

HRESULT UnlockStore(D3DPixelStore* store) {
    if (!store->locked) {
        return D3DERR_INVALIDCALL;
    }
    store->locked = false;
    return S_OK;
}

// One rectangle of a copy, worked out from the caller's rectangle and point:
// the part of the source that exists, and where it lands in the destination
// (clipped to it). False when nothing of it can be copied.
struct CopyPart {
    LONG srcX, srcY, dstX, dstY, width, height;
};

bool PlanCopy(const D3DPixelStore& src, const D3DPixelStore& dst, const RECT& rect,
              const POINT* point, CopyPart* part) {
    if (rect.left >= rect.right || rect.top >= rect.bottom) {
        return false;
    }
    LONG x0 = std::max<LONG>(rect.left, 0);
    LONG y0 = std::max<LONG>(rect.top, 0);
    LONG x1 = std::min<LONG>(rect.right, static_cast<LONG>(src.width));
    LONG y1 = std::min<LONG>(rect.bottom, static_cast<LONG>(src.height));
    if (x0 >= x1 || y0 >= y1) {
        return false;
    }
    // Where the existing part lands, in 64 bits so far-off points cannot wrap.
    int64_t dx = (point != nullptr ? point->x : rect.left) + static_cast<int64_t>(x0 - rect.left);
    int64_t dy = (point != nullptr ? point->y : rect.top) + static_cast<int64_t>(y0 - rect.top);
    int64_t cx0 = std::max<int64_t>(dx, 0);
    int64_t cy0 = std::max<int64_t>(dy, 0);
    int64_t cx1 = std::min<int64_t>(dx + (x1 - x0), dst.width);
    int64_t cy1 = std::min<int64_t>(dy + (y1 - y0), dst.height);
    if (cx0 >= cx1 || cy0 >= cy1) {
        return false;
    }
    part->srcX = static_cast<LONG>(x0 + (cx0 - dx));
    part->srcY = static_cast<LONG>(y0 + (cy0 - dy));
    part->dstX = static_cast<LONG>(cx0);
    part->dstY = static_cast<LONG>(cy0);
    part->width = static_cast<LONG>(cx1 - cx0);
    part->height = static_cast<LONG>(cy1 - cy0);
    return true;
}

void CopyStorePart(const D3DPixelStore& src, D3DPixelStore* dst, const CopyPart& part) {
    size_t rowBytes = static_cast<size_t>(part.width) * src.bytesPerPixel;
    const BYTE* from = src.bytes.data() + static_cast<size_t>(part.srcY) * src.pitch +
                       static_cast<size_t>(part.srcX) * src.bytesPerPixel;
    BYTE* to = dst->bytes.data() + static_cast<size_t>(part.dstY) * dst->pitch +
               static_cast<size_t>(part.dstX) * dst->bytesPerPixel;
    if (src.pitch == dst->pitch && rowBytes == src.pitch) {
        std::memcpy(to, from, rowBytes * part.height);
        return;
    }
    for (LONG row = 0; row < part.height; ++row) {
        std::memcpy(to, from, rowBytes);
        from += src.pitch;
        to += dst->pitch;
    }
}

void FillDesc(const D3DPixelStore& store, D3DSURFACE_DESC* desc) {
    desc->Format = store.format;
    desc->Width = store.width;
    desc->Height = store.height;
}

} // namespace

// Surfaces.

ULONG IDirect3DSurface8::AddRef() {
    return ++refs_;
}

ULONG IDirect3DSurface8::Release() {
    ULONG left = --refs_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT IDirect3DSurface8::GetDesc(D3DSURFACE_DESC* desc) {
    if (desc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    FillDesc(store_, desc);
    return S_OK;
}

HRESULT IDirect3DSurface8::LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
    return LockStore(&store_, lockedRect, rect, flags);
}

HRESULT IDirect3DSurface8::UnlockRect() {
    return UnlockStore(&store_);
}

// Textures.

ULONG IDirect3DTexture8::AddRef() {
    return ++refs_;
}

ULONG IDirect3DTexture8::Release() {
    ULONG left = --refs_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT IDirect3DTexture8::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (level != 0 || desc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    FillDesc(store_, desc);
    return S_OK;
}

HRESULT IDirect3DTexture8::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                                    DWORD flags) {
    if (level != 0) {
        return D3DERR_INVALIDCALL;
    }
    return LockStore(&store_, lockedRect, rect, flags);
}

HRESULT IDirect3DTexture8::UnlockRect(UINT level) {
    if (level != 0 || !store_.locked) {
        return D3DERR_INVALIDCALL;
    }
    // The sampler reads decoded texels; bring them up to date with what was written.
    if (!store_.lockedReadOnly) {
        for (UINT y = 0; y < store_.height; ++y) {
            const BYTE* row = store_.bytes.data() + static_cast<size_t>(y) * store_.pitch;
            uint32_t* out = argb_.data() + static_cast<size_t>(y) * store_.width;
            for (UINT x = 0; x < store_.width; ++x) {
                out[x] = DecodePixel(store_.format, row + x * store_.bytesPerPixel);
            }
        }
    }
    return UnlockStore(&store_);
}

// Vertex buffers.

ULONG IDirect3DVertexBuffer8::AddRef() {
    return ++refs_;
}

ULONG IDirect3DVertexBuffer8::Release() {
    ULONG left = --refs_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT IDirect3DVertexBuffer8::Lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
    size_t length = bytes_.size();
    if (data == nullptr || locked_ || (flags & ~(D3DLOCK_READONLY | D3DLOCK_DISCARD)) != 0 ||
        offset >= length || size > length - offset) {
        return D3DERR_INVALIDCALL;
    }
    *data = bytes_.data() + offset;
    locked_ = true;
    return S_OK;
}

HRESULT IDirect3DVertexBuffer8::Unlock() {
    if (!locked_) {
        return D3DERR_INVALIDCALL;
    }
    locked_ = false;
    return S_OK;
}

// The device's resource calls.

HRESULT IDirect3DDevice8::CreateVertexBuffer(UINT length, DWORD usage, DWORD vertexFormat,
                                             D3DPOOL pool, IDirect3DVertexBuffer8** vertexBuffer) {
    if (vertexBuffer == nullptr || length == 0 || length > MAX_VERTEX_BUFFER_BYTES ||
        (usage & ~(D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC)) != 0 ||
        (vertexFormat != 0 && vertexFormat != SCREEN_VERTEX_FORMAT) ||
        (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED)) {
        return D3DERR_INVALIDCALL;
    }
    auto* created = new (std::nothrow) IDirect3DVertexBuffer8();
    if (created == nullptr) {
        return E_OUTOFMEMORY;
    }
    try {
        created->bytes_.assign(length, 0);
    } catch (const std::bad_alloc&) {
        created->Release();
        return E_OUTOFMEMORY;
    }
    *vertexBuffer = created;
    return S_OK;
}

HRESULT IDirect3DDevice8::CreateImageSurface(UINT width, UINT height, D3DFORMAT format,
                                             IDirect3DSurface8** surface) {
    if (surface == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    auto* created = new (std::nothrow) IDirect3DSurface8();
    if (created == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT result = MakeStore(&created->store_, width, height, format);
    if (FAILED(result)) {
        created->Release();
        return result;
    }
    *surface = created;
    return S_OK;
}

HRESULT IDirect3DDevice8::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                        D3DFORMAT format, D3DPOOL pool,
                                        IDirect3DTexture8** texture) {
    if (texture == nullptr || levels != 1 || (usage & ~D3DUSAGE_DYNAMIC) != 0 ||
        (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED) || width > state_->maxTextureSize ||
        height > state_->maxTextureSize) {
        return D3DERR_INVALIDCALL;
    }
    auto* created = new (std::nothrow) IDirect3DTexture8();
    if (created == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT result = MakeStore(&created->store_, width, height, format);
    if (SUCCEEDED(result)) {
        try {
            created->argb_.assign(static_cast<size_t>(width) * height,
                                  DecodePixel(format, created->store_.bytes.data()));
        } catch (const std::bad_alloc&) {
            result = E_OUTOFMEMORY;
        }
    }
    if (FAILED(result)) {
        created->Release();
        return result;
    }
    *texture = created;
    return S_OK;
}

HRESULT IDirect3DDevice8::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type,
                                        IDirect3DSurface8** surface) {
    if (index != 0 || type != D3DBACKBUFFER_TYPE_MONO || surface == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    state_->backBuffer->AddRef();
    *surface = state_->backBuffer;
    return S_OK;
}

HRESULT IDirect3DDevice8::CopyRects(IDirect3DSurface8* source, const RECT* rects, UINT count,
                                    IDirect3DSurface8* dest, const POINT* points) {
    if (source == nullptr || dest == nullptr || source == dest ||
        source->store_.format != dest->store_.format || source->store_.locked ||
        dest->store_.locked || (rects == nullptr && count != 0)) {
        return D3DERR_INVALIDCALL;
    }
    const D3DPixelStore& src = source->store_;
    RECT whole{0, 0, static_cast<LONG>(src.width), static_cast<LONG>(src.height)};
    UINT parts = rects == nullptr ? 1 : count;
    auto rectAt = [&](UINT i) -> const RECT& { return rects == nullptr ? whole : rects[i]; };
    auto pointAt = [&](UINT i) { return points == nullptr ? nullptr : &points[i]; };
    // Every rectangle is checked before anything is copied, so a bad one
    // leaves the destination as it was.
    CopyPart part{};
    for (UINT i = 0; i < parts; ++i) {
        if (!PlanCopy(src, dest->store_, rectAt(i), pointAt(i), &part)) {
            return D3DERR_INVALIDCALL;
        }
    }
    for (UINT i = 0; i < parts; ++i) {
        PlanCopy(src, dest->store_, rectAt(i), pointAt(i), &part);
        CopyStorePart(src, &dest->store_, part);
    }
    return S_OK;
}
