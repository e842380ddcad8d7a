// The Direct3D object: the desktop's display mode and device creation.

#include <new>

#include "platform/d3d_device_state.h"
#include "platform/presenter.h"
#include "platform/window_system.h"

namespace {

// Back buffers larger than this on a side are refused.
constexpr UINT MAX_BACK_BUFFER_SIZE = 8192;

// The device draws into one X8R8G8B8 back buffer, without depth buffer or
// multisampling.
bool IsSupported(const D3DPRESENT_PARAMETERS& params) {
    return params.BackBufferWidth != 0 && params.BackBufferHeight != 0 &&
           params.BackBufferWidth <= MAX_BACK_BUFFER_SIZE &&
           params.BackBufferHeight <= MAX_BACK_BUFFER_SIZE &&
           params.BackBufferFormat == D3DFMT_X8R8G8B8 && params.BackBufferCount <= 1 &&
           params.MultiSampleType == D3DMULTISAMPLE_NONE &&
           params.SwapEffect >= D3DSWAPEFFECT_DISCARD && params.SwapEffect <= D3DSWAPEFFECT_COPY &&
           params.EnableAutoDepthStencil == FALSE;
}

} // namespace

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION) {
        return nullptr;
    }
    return new (std::nothrow) IDirect3D8();
}

ULONG IDirect3D8::AddRef() {
    return ++refs_;
}

ULONG IDirect3D8::Release() {
    ULONG left = --refs_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT IDirect3D8::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
    if (adapter != D3DADAPTER_DEFAULT || mode == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    GetDesktopMode(&mode->Width, &mode->Height, &mode->RefreshRate);
    mode->Format = D3DFMT_X8R8G8B8;
    return S_OK;
}

HRESULT IDirect3D8::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD,
                                 D3DPRESENT_PARAMETERS* presentParams, IDirect3DDevice8** device) {
    if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL || presentParams == nullptr ||
        device == nullptr || !IsSupported(*presentParams)) {
        return D3DERR_INVALIDCALL;
    }
    auto* created = new (std::nothrow) IDirect3DDevice8();
    if (created == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT result = created->Initialise(*presentParams, focusWindow);
    if (FAILED(result)) {
        created->Release();
        return result;
    }
    // The device decides how its window presents: in place, or covering the display.
    HWND deviceWindow = presentParams->hDeviceWindow != nullptr ? presentParams->hDeviceWindow
                                                                : focusWindow;
    if (deviceWindow != nullptr) {
        SetFullScreenPresentation(deviceWindow, presentParams->Windowed == FALSE);
    }
    *device = created;
    return S_OK;
}
