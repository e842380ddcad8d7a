#pragma once
// Our software stand-in for the Direct3D 8 runtime: the object, the device and
// its resources under the names the program calls, as plain C++ classes whose
// Release counts references. The back buffer, image surfaces, textures and
// vertex buffers live in ordinary memory and a small rasteriser draws into the
// back buffer (its rules are in platform/d3d_rasterizer.h). Present hands the
// back buffer to the presenter of the device window (platform/presenter.h);
// with none registered nothing is shown, so the device works with no window
// and no video at all.
//
// Every call checks its arguments: an invalid call returns D3DERR_INVALIDCALL
// and changes nothing.

#include <cstddef>
#include <vector>

#include "platform/win_types.h"

using D3DCOLOR = DWORD;

constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x88760100u);

constexpr UINT D3D_SDK_VERSION = 220;
constexpr UINT D3DADAPTER_DEFAULT = 0;

enum D3DFORMAT : DWORD {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_X1R5G5B5 = 24,
    D3DFMT_A1R5G5B5 = 25,
    D3DFMT_A4R4G4B4 = 26,
    D3DFMT_R3G3B2 = 27,
    D3DFMT_A8 = 28,
    D3DFMT_A8R3G3B2 = 29,
    D3DFMT_X4R4G4B4 = 30,
    D3DFMT_L8 = 50,
};

enum D3DDEVTYPE : DWORD { D3DDEVTYPE_HAL = 1 };
enum D3DMULTISAMPLE_TYPE : DWORD { D3DMULTISAMPLE_NONE = 0 };
enum D3DSWAPEFFECT : DWORD {
    D3DSWAPEFFECT_DISCARD = 1,
    D3DSWAPEFFECT_FLIP = 2,
    D3DSWAPEFFECT_COPY = 3
};
enum D3DBACKBUFFER_TYPE : DWORD { D3DBACKBUFFER_TYPE_MONO = 0 };
enum D3DPOOL : DWORD { D3DPOOL_DEFAULT = 0, D3DPOOL_MANAGED = 1 };

enum D3DPRIMITIVETYPE : DWORD {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLEFAN = 6,
};

constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr UINT D3DPRESENT_RATE_DEFAULT = 0;
constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0;

// The one vertex format the device draws: x, y, z, rhw as floats, a diffuse
// colour 0xAARRGGBB and one pair of texture coordinates, 28 bytes.
constexpr DWORD D3DFVF_XYZRHW = 0x004;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_TEX1 = 0x100;

constexpr DWORD D3DUSAGE_WRITEONLY = 0x008;
constexpr DWORD D3DUSAGE_DYNAMIC = 0x200;

constexpr DWORD D3DLOCK_READONLY = 0x010;
constexpr DWORD D3DLOCK_DISCARD = 0x2000;

constexpr DWORD D3DCLEAR_TARGET = 0x1;

// Render states. The values are indices into the device's state table.
enum D3DRENDERSTATETYPE : DWORD {
    D3DRS_ZENABLE = 0,
    D3DRS_FILLMODE,
    D3DRS_ZWRITEENABLE,
    D3DRS_ALPHATESTENABLE,
    D3DRS_SRCBLEND,
    D3DRS_DESTBLEND,
    D3DRS_CULLMODE,
    D3DRS_ALPHAREF,
    D3DRS_ALPHAFUNC,
    D3DRS_ALPHABLENDENABLE,
    D3DRS_FOGENABLE,
    D3DRS_STENCILENABLE,
    D3DRS_CLIPPING,
    D3DRS_EDGEANTIALIAS,
    D3DRS_CLIPPLANEENABLE,
    D3DRS_VERTEXBLEND,
    D3DRS_INDEXEDVERTEXBLENDENABLE,
    D3DRS_STATE_COUNT, // not a state: the size of the table
};

// Texture stage states, per stage. The values are indices into a stage's table.
enum D3DTEXTURESTAGESTATETYPE : DWORD {
    D3DTSS_COLOROP = 0,
    D3DTSS_COLORARG1,
    D3DTSS_COLORARG2,
    D3DTSS_ALPHAOP,
    D3DTSS_ALPHAARG1,
    D3DTSS_ALPHAARG2,
    D3DTSS_MINFILTER,
    D3DTSS_MAGFILTER,
    D3DTSS_MIPFILTER,
    D3DTSS_TEXCOORDINDEX,
    D3DTSS_TEXTURETRANSFORMFLAGS,
    D3DTSS_STATE_COUNT, // not a state: the size of a stage's table
};

constexpr DWORD D3D_TEXTURE_STAGES = 8;

enum D3DTEXTUREOP : DWORD { D3DTOP_DISABLE = 1, D3DTOP_MODULATE = 4 };
constexpr DWORD D3DTA_DIFFUSE = 0;
constexpr DWORD D3DTA_TEXTURE = 2;
enum D3DTEXTUREFILTERTYPE : DWORD { D3DTEXF_NONE = 0, D3DTEXF_POINT = 1 };
enum D3DBLEND : DWORD {
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE = 2,
    D3DBLEND_SRCALPHA = 5,
    D3DBLEND_INVSRCALPHA = 6
};
enum D3DCMPFUNC : DWORD {
    D3DCMP_NEVER = 1,
    D3DCMP_LESS = 2,
    D3DCMP_EQUAL = 3,
    D3DCMP_LESSEQUAL = 4,
    D3DCMP_GREATER = 5,
    D3DCMP_NOTEQUAL = 6,
    D3DCMP_GREATEREQUAL = 7,
    D3DCMP_ALWAYS = 8,
};
enum D3DCULL : DWORD { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum D3DFILLMODE : DWORD { D3DFILL_SOLID = 3 };
enum D3DVERTEXBLENDFLAGS : DWORD { D3DVBF_DISABLE = 0 };
enum D3DTEXTURETRANSFORMFLAGS : DWORD { D3DTTFF_DISABLE = 0 };

struct D3DDISPLAYMODE {
    UINT Width;
    UINT Height;
    UINT RefreshRate;
    D3DFORMAT Format;
};

struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth;
    UINT BackBufferHeight;
    D3DFORMAT BackBufferFormat;
    UINT BackBufferCount;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    D3DSWAPEFFECT SwapEffect;
    HWND hDeviceWindow;
    BOOL Windowed;
    BOOL EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    DWORD Flags;
    UINT FullScreen_RefreshRateInHz;
    UINT FullScreen_PresentationInterval;
};

struct D3DVIEWPORT8 {
    DWORD X;
    DWORD Y;
    DWORD Width;
    DWORD Height;
    float MinZ;
    float MaxZ;
};

struct D3DCAPS8 {
    D3DDEVTYPE DeviceType;
    UINT AdapterOrdinal;
    DWORD MaxTextureWidth;
    DWORD MaxTextureHeight;
};

struct D3DLOCKED_RECT {
    INT Pitch;
    void* pBits;
};

// A rectangle to clear: x1, y1 inclusive, x2, y2 exclusive.
struct D3DRECT {
    LONG x1;
    LONG y1;
    LONG x2;
    LONG y2;
};

struct D3DSURFACE_DESC {
    D3DFORMAT Format;
    UINT Width;
    UINT Height;
};

class IDirect3DDevice8;

// Pixels in memory: the storage of a surface or of a texture's one level.
// Rows are Pitch bytes apart; Pitch is rounded up to 16 bytes, so it can
// exceed Width x bytes per pixel.
struct D3DPixelStore {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    UINT width = 0;
    UINT height = 0;
    UINT bytesPerPixel = 0;
    UINT pitch = 0;
    std::vector<BYTE> bytes;
    bool locked = false;
    bool lockedReadOnly = false;
};

class IDirect3DSurface8 {
  public:
    ULONG AddRef();
    ULONG Release();
    HRESULT GetDesc(D3DSURFACE_DESC* desc);
    // rect null locks the whole surface; pBits then points at its top-left
    // pixel, else at the rectangle's.
    HRESULT LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags);
    HRESULT UnlockRect();

  private:
    friend class IDirect3DDevice8;
    IDirect3DSurface8() = default;
    ~IDirect3DSurface8() = default;
    ULONG refs_ = 1;
    D3DPixelStore store_;
};

class IDirect3DTexture8 {
  public:
    ULONG AddRef();
    ULONG Release();
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc);
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags);
    HRESULT UnlockRect(UINT level);

  private:
    friend class IDirect3DDevice8;
    IDirect3DTexture8() = default;
    ~IDirect3DTexture8() = default;
    ULONG refs_ = 1;
    D3DPixelStore store_;
    // The level as 0xAARRGGBB texels, brought up to date at every unlock, so
    // sampling is one load whatever the format.
    std::vector<uint32_t> argb_;
};

class IDirect3DVertexBuffer8 {
  public:
    ULONG AddRef();
    ULONG Release();
    // offset 0 and size 0 lock the whole buffer.
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags);
    HRESULT Unlock();

  private:
    friend class IDirect3DDevice8;
    IDirect3DVertexBuffer8() = default;
    ~IDirect3DVertexBuffer8() = default;
    ULONG refs_ = 1;
    std::vector<BYTE> bytes_;
    bool locked_ = false;
};

struct D3DDeviceState;

class IDirect3DDevice8 {
  public:
    ULONG AddRef();
    ULONG Release();

    HRESULT GetDeviceCaps(D3DCAPS8* caps);

    // Frame.
    HRESULT BeginScene();
    HRESULT EndScene();
    // rects: count D3DRECTs, or null with count 0 for the whole back buffer.
    HRESULT Clear(DWORD count, const void* rects, DWORD flags, D3DCOLOR colour, float z,
                  DWORD stencil);
    // No source, destination or dirty region is supported; window null means
    // the device window.
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow,
                    const void* dirtyRegion);
    HRESULT SetViewport(const D3DVIEWPORT8* viewport);
    HRESULT GetViewport(D3DVIEWPORT8* viewport);

    // Drawing.
    HRESULT SetVertexShader(DWORD vertexFormat);
    HRESULT SetPixelShader(DWORD handle);
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                            UINT stride);
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* vertexBuffer, UINT stride);
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount);

    // Resources.
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD vertexFormat, D3DPOOL pool,
                               IDirect3DVertexBuffer8** vertexBuffer);
    HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format,
                               IDirect3DSurface8** surface);
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture8** texture);
    // The back buffer, with a reference the caller releases.
    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface);
    // Copies rectangles between surfaces of one format; rects null copies the
    // whole source; points null puts each rectangle at its own position.
    HRESULT CopyRects(IDirect3DSurface8* source, const RECT* rects, UINT count,
                      IDirect3DSurface8* dest, const POINT* points);

    // States.
    HRESULT SetTexture(DWORD stage, IDirect3DTexture8* texture);
    // The texture of a stage, with a reference the caller releases (null when none).
    HRESULT GetTexture(DWORD stage, IDirect3DTexture8** texture);
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value);
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value);
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value);

    // State blocks: between BeginStateBlock and EndStateBlock, SetTexture,
    // SetRenderState and SetTextureStageState are recorded into the new block
    // instead of changing the device.
    HRESULT BeginStateBlock();
    HRESULT EndStateBlock(DWORD* token);
    HRESULT CaptureStateBlock(DWORD token);
    HRESULT ApplyStateBlock(DWORD token);
    HRESULT DeleteStateBlock(DWORD token);

    // Not part of the platform's device: lowers the largest texture size the
    // device reports and accepts, so tests can stand in for a smaller device.
    HRESULT LimitMaxTextureSize(UINT size);
    // Not part of the platform's device: the number of DrawPrimitive calls
    // that drew, and the primitive count of the latest, so tests can see how
    // a caller batches its drawing.
    HRESULT GetDrawPrimitiveCounts(UINT* calls, UINT* lastPrimitiveCount);

  private:
    friend class IDirect3D8;
    IDirect3DDevice8();
    ~IDirect3DDevice8();
    HRESULT Initialise(const D3DPRESENT_PARAMETERS& params, HWND focusWindow);
    bool CanDraw(D3DPRIMITIVETYPE type) const;
    void DrawVertices(D3DPRIMITIVETYPE type, UINT primitiveCount, const BYTE* vertices,
                      UINT stride);
    void RefreshRasterState();
    ULONG refs_ = 1;
    D3DDeviceState* state_;
};

class IDirect3D8 {
  public:
    ULONG AddRef();
    ULONG Release();
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode);
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                         DWORD behaviourFlags, D3DPRESENT_PARAMETERS* presentParams,
                         IDirect3DDevice8** device);

  private:
    friend IDirect3D8* Direct3DCreate8(UINT sdkVersion);
    IDirect3D8() = default;
    ~IDirect3D8() = default;
    ULONG refs_ = 1;
};

// The Direct3D object, or null when sdkVersion is not D3D_SDK_VERSION.
IDirect3D8* Direct3DCreate8(UINT sdkVersion);
