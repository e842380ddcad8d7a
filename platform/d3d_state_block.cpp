// State blocks: a block remembers which states were set while it was
// recorded. Capturing reads the device's current values of exactly those
// states into it; applying sets them on the device, stage textures included.

#include "platform/d3d_device_state.h"

namespace {

// Copies the flagged states from one set of values to another.
void CopyFlagged(const D3DStateBlock& flags, const D3DStateValues& from, D3DStateValues* to) {
    for (DWORD state = 0; state < D3DRS_STATE_COUNT; ++state) {
        if (flags.renderSet[state]) {
            to->render[state] = from.render[state];
        }
    }
    for (DWORD stage = 0; stage < D3D_TEXTURE_STAGES; ++stage) {
        for (DWORD state = 0; state < D3DTSS_STATE_COUNT; ++state) {
            if (flags.stageSet[stage][state]) {
                to->stage[stage][state] = from.stage[stage][state];
            }
        }
        if (flags.textureSet[stage]) {
            HoldTexture(&to->texture[stage], from.texture[stage]);
        }
    }
}

D3DStateBlock* FindBlock(D3DDeviceState* state, DWORD token) {
    if (token == 0 || token > state->blocks.size()) {
        return nullptr;
    }
    return state->blocks[token - 1].get();
}

} // namespace

HRESULT IDirect3DDevice8::BeginStateBlock() {
    if (state_->recording) {
        return D3DERR_INVALIDCALL;
    }
    state_->recording = std::make_unique<D3DStateBlock>();
    return S_OK;
}

HRESULT IDirect3DDevice8::EndStateBlock(DWORD* token) {
    if (!state_->recording || token == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    state_->blocks.push_back(std::move(state_->recording));
    *token = static_cast<DWORD>(state_->blocks.size());
    return S_OK;
}

HRESULT IDirect3DDevice8::CaptureStateBlock(DWORD token) {
    D3DStateBlock* block = FindBlock(state_, token);
    if (block == nullptr || state_->recording) {
        return D3DERR_INVALIDCALL;
    }
    CopyFlagged(*block, state_->current, &block->values);
    return S_OK;
}

HRESULT IDirect3DDevice8::ApplyStateBlock(DWORD token) {
    D3DStateBlock* block = FindBlock(state_, token);
    if (block == nullptr || state_->recording) {
        return D3DERR_INVALIDCALL;
    }
    CopyFlagged(*block, block->values, &state_->current);
    state_->rasterStale = true;
    return S_OK;
}

HRESULT IDirect3DDevice8::DeleteStateBlock(DWORD token) {
    D3DStateBlock* block = FindBlock(state_, token);
    if (block == nullptr || state_->recording) {
        return D3DERR_INVALIDCALL;
    }
    for (IDirect3DTexture8*& texture : block->values.texture) {
        HoldTexture(&texture, nullptr);
    }
    state_->blocks[token - 1].reset();
    return S_OK;
}
