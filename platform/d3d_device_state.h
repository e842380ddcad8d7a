#pragma once
// What a device holds: its back buffer, frame and drawing settings, the
// render and texture-stage states, and its state blocks. Shared by the
// device's source files only.

#include <array>
#include <memory>
#include <vector>

#include "platform/d3d_rasterizer.h"
#include "platform/direct3d.h"

// The values of every state a state block can carry. Textures are held with a
// reference.
struct D3DStateValues {
    std::array<DWORD, D3DRS_STATE_COUNT> render{};
    std::array<std::array<DWORD, D3DTSS_STATE_COUNT>, D3D_TEXTURE_STAGES> stage{};
    std::array<IDirect3DTexture8*, D3D_TEXTURE_STAGES> texture{};
};

// Which states a block carries, and their values. Only the flagged values
// mean anything.
struct D3DStateBlock {
    std::array<bool, D3DRS_STATE_COUNT> renderSet{};
    std::array<std::array<bool, D3DTSS_STATE_COUNT>, D3D_TEXTURE_STAGES> stageSet{};
    std::array<bool, D3D_TEXTURE_STAGES> textureSet{};
    D3DStateValues values;
};

constexpr UINT DEFAULT_MAX_TEXTURE_SIZE = 2048;
constexpr UINT SCREEN_VERTEX_SIZE = 28;
constexpr DWORD SCREEN_VERTEX_FORMAT = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct D3DDeviceState {
    D3DPRESENT_PARAMETERS params{};
    // Where Present shows the back buffer when no window is named.
    HWND window = nullptr;
    IDirect3DSurface8* backBuffer = nullptr;
    D3DVIEWPORT8 viewport{};
    bool inScene = false;
    DWORD vertexFormat = 0;
    IDirect3DVertexBuffer8* stream = nullptr;
    UINT streamStride = 0;
    UINT maxTextureSize = DEFAULT_MAX_TEXTURE_SIZE;
    // For tests: DrawPrimitive calls that drew, and the latest one's count.
    UINT drawPrimitiveCalls = 0;
    UINT lastPrimitiveCount = 0;

    D3DStateValues current;
    // Token t names blocks[t - 1]; a deleted block leaves an empty slot.
    std::vector<std::unique_ptr<D3DStateBlock>> blocks;
    std::unique_ptr<D3DStateBlock> recording;

    // The rasteriser's view of the states, rebuilt before a draw when stale.
    RasterTarget target;
    RasterState raster;
    bool rasterStale = true;
};

// Validation and storage of single states, shared by the device's setters
// and the state blocks.
bool IsValidRenderState(D3DRENDERSTATETYPE state, DWORD value);
bool IsValidTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value);
void DefaultStateValues(D3DStateValues* values);
// Puts a texture into a slot, moving the reference from the old one.
void HoldTexture(IDirect3DTexture8** slot, IDirect3DTexture8* texture);
