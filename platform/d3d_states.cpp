// Render states, texture-stage states and stage textures: their defaults, the
// values the device accepts, and the device calls that set and read them.
// While a state block is being recorded the setters write into it instead.

#include "platform/d3d_device_state.h"

namespace {

bool IsBoolean(DWORD value) {
    return value == FALSE || value == TRUE;
}

bool IsBlendFactor(DWORD value) {
    return value == D3DBLEND_ZERO || value == D3DBLEND_ONE || value == D3DBLEND_SRCALPHA ||
           value == D3DBLEND_INVSRCALPHA;
}

} // namespace

// The values drawing relies on are checked; the states the device has no
// use for (depth, fog, stencil, clipping and vertex-blend settings: vertices
// come transformed and there is no depth or stencil buffer) are stored as
// given.
bool IsValidRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    switch (state) {
    case D3DRS_ZENABLE:
    case D3DRS_ZWRITEENABLE:
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_FOGENABLE:
    case D3DRS_STENCILENABLE:
    case D3DRS_CLIPPING:
    case D3DRS_EDGEANTIALIAS:
    case D3DRS_INDEXEDVERTEXBLENDENABLE:
        return IsBoolean(value);
    case D3DRS_FILLMODE:
        return value == D3DFILL_SOLID;
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
        return IsBlendFactor(value);
    case D3DRS_CULLMODE:
        return value == D3DCULL_NONE || value == D3DCULL_CW || value == D3DCULL_CCW;
    case D3DRS_ALPHAREF:
        return value <= 0xFF;
    case D3DRS_ALPHAFUNC:
        return value >= D3DCMP_NEVER && value <= D3DCMP_ALWAYS;
    case D3DRS_CLIPPLANEENABLE:
    case D3DRS_VERTEXBLEND:
        return true;
    default:
        return false;
    }
}

// Only stage 0 draws, and it always combines texture and diffuse colour; the
// arguments and later stages are stored for state blocks to carry.
bool IsValidTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) {
    if (stage >= D3D_TEXTURE_STAGES) {
        return false;
    }
    switch (state) {
    case D3DTSS_COLOROP:
    case D3DTSS_ALPHAOP:
        return value == D3DTOP_DISABLE || value == D3DTOP_MODULATE;
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2:
        return value == D3DTA_DIFFUSE || value == D3DTA_TEXTURE;
    case D3DTSS_MINFILTER:
    case D3DTSS_MAGFILTER:
    case D3DTSS_MIPFILTER:
        return value == D3DTEXF_NONE || value == D3DTEXF_POINT;
    case D3DTSS_TEXCOORDINDEX:
        return value < D3D_TEXTURE_STAGES;
    case D3DTSS_TEXTURETRANSFORMFLAGS:
        return value == D3DTTFF_DISABLE;
    default:
        return false;
    }
}

// A fresh device: no blending, no alpha test, counter-clockwise culling,
// stage 0 modulating (so untextured primitives show their diffuse colour),
// later stages off, point sampling.
void DefaultStateValues(D3DStateValues* values) {
    values->render.fill(FALSE);
    values->render[D3DRS_FILLMODE] = D3DFILL_SOLID;
    values->render[D3DRS_ZWRITEENABLE] = TRUE;
    values->render[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    values->render[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    values->render[D3DRS_CULLMODE] = D3DCULL_CCW;
    values->render[D3DRS_ALPHAREF] = 0;
    values->render[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    values->render[D3DRS_CLIPPING] = TRUE;
    values->render[D3DRS_VERTEXBLEND] = D3DVBF_DISABLE;
    for (DWORD stage = 0; stage < D3D_TEXTURE_STAGES; ++stage) {
        auto& s = values->stage[stage];
        s[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        s[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        s[D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
        s[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        s[D3DTSS_ALPHAARG2] = D3DTA_DIFFUSE;
        s[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        s[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        s[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        s[D3DTSS_TEXCOORDINDEX] = stage;
        s[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
    }
}

void HoldTexture(IDirect3DTexture8** slot, IDirect3DTexture8* texture) {
    if (texture != nullptr) {
        texture->AddRef();
    }
    if (*slot != nullptr) {
        (*slot)->Release();
    }
    *slot = texture;
}

HRESULT IDirect3DDevice8::SetTexture(DWORD stage, IDirect3DTexture8* texture) {
    if (stage >= D3D_TEXTURE_STAGES) {
        return D3DERR_INVALIDCALL;
    }
    if (state_->recording) {
        state_->recording->textureSet[stage] = true;
        HoldTexture(&state_->recording->values.texture[stage], texture);
        return S_OK;
    }
    HoldTexture(&state_->current.texture[stage], texture);
    state_->rasterStale = true;
    return S_OK;
}

HRESULT IDirect3DDevice8::GetTexture(DWORD stage, IDirect3DTexture8** texture) {
    if (stage >= D3D_TEXTURE_STAGES || texture == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *texture = state_->current.texture[stage];
    if (*texture != nullptr) {
        (*texture)->AddRef();
    }
    return S_OK;
}

HRESULT IDirect3DDevice8::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (!IsValidRenderState(state, value)) {
        return D3DERR_INVALIDCALL;
    }
    if (state_->recording) {
        state_->recording->renderSet[state] = true;
        state_->recording->values.render[state] = value;
        return S_OK;
    }
    state_->current.render[state] = value;
    state_->rasterStale = true;
    return S_OK;
}

HRESULT IDirect3DDevice8::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (state >= D3DRS_STATE_COUNT || value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *value = state_->current.render[state];
    return S_OK;
}

HRESULT IDirect3DDevice8::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                               DWORD value) {
    if (!IsValidTextureStageState(stage, state, value)) {
        return D3DERR_INVALIDCALL;
    }
    if (state_->recording) {
        state_->recording->stageSet[stage][state] = true;
        state_->recording->values.stage[stage][state] = value;
        return S_OK;
    }
    state_->current.stage[stage][state] = value;
    state_->rasterStale = true;
    return S_OK;
}

HRESULT IDirect3DDevice8::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                               DWORD* value) {
    if (stage >= D3D_TEXTURE_STAGES || state >= D3DTSS_STATE_COUNT || value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *value = state_->current.stage[stage][state];
    return S_OK;
}

void IDirect3DDevice8::RefreshRasterState() {
    const D3DStateValues& current = state_->current;
    RasterState& raster = state_->raster;
    IDirect3DTexture8* texture = current.texture[0];
    bool textured = texture != nullptr && current.stage[0][D3DTSS_COLOROP] != D3DTOP_DISABLE;
    raster.texels = textured ? texture->argb_.data() : nullptr;
    raster.textureWidth = textured ? static_cast<int>(texture->store_.width) : 0;
    raster.textureHeight = textured ? static_cast<int>(texture->store_.height) : 0;
    raster.modulateAlpha = textured && current.stage[0][D3DTSS_ALPHAOP] == D3DTOP_MODULATE;
    raster.alphaTest = current.render[D3DRS_ALPHATESTENABLE] == TRUE;
    raster.alphaFunc = current.render[D3DRS_ALPHAFUNC];
    raster.alphaRef = current.render[D3DRS_ALPHAREF];
    raster.blend = current.render[D3DRS_ALPHABLENDENABLE] == TRUE;
    raster.srcBlend = current.render[D3DRS_SRCBLEND];
    raster.destBlend = current.render[D3DRS_DESTBLEND];
    raster.cullMode = current.render[D3DRS_CULLMODE];
    raster.plain = !textured && !raster.alphaTest && !raster.blend;
    state_->rasterStale = false;
}
