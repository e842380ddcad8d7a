// The overlay font's life: construction, its vertex buffer and the two state
// blocks that carry its drawing state, and their release.

#include "render/text_font.h"

#include "render/screen_vertex.h"

TextFont::TextFont(const char* faceName, UINT height) : PointSize(height) {
    // Longer names are cut so the terminator always fits.
    if (faceName != nullptr) {
        for (UINT i = 0; i + 1 < FACE_NAME_SIZE && faceName[i] != '\0'; i++) {
            FaceName[i] = faceName[i];
        }
    }
}

HRESULT TextFont::CreateDrawResources() {
    if (Device == nullptr) {
        return DrawResourcesResult = E_FAIL;
    }
    ReleaseDrawResources();

    HRESULT hr = Device->CreateVertexBuffer(TEXT_BATCH_VERTICES * sizeof(ScreenVertex),
                                            D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0,
                                            D3DPOOL_DEFAULT, &VertexBuffer);
    if (FAILED(hr)) {
        VertexBuffer = nullptr;
        return DrawResourcesResult = hr;
    }

    // Both blocks record the same states: the caller's block captures their
    // current values before a draw and puts them back after it, the font's
    // block sets the values below.
    for (DWORD* pStateBlock : {&CallerStateBlock, &FontStateBlock}) {
        Device->BeginStateBlock();
        Device->SetTexture(0, GlyphTexture);
        Device->SetRenderState(D3DRS_ZENABLE, FALSE);
        Device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        Device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        Device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        Device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        Device->SetRenderState(D3DRS_ALPHAREF, 0x08);
        Device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        Device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
        Device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
        Device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
        Device->SetRenderState(D3DRS_CLIPPING, TRUE);
        Device->SetRenderState(D3DRS_EDGEANTIALIAS, FALSE);
        Device->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
        Device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
        Device->SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE);
        Device->SetRenderState(D3DRS_FOGENABLE, FALSE);
        Device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        Device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        Device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        Device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        Device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        Device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        Device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
        Device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
        Device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
        Device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        Device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
        Device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
        Device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        Device->EndStateBlock(pStateBlock);
    }
    return DrawResourcesResult = S_OK;
}

void TextFont::ReleaseDrawResources() {
    if (VertexBuffer != nullptr) {
        VertexBuffer->Release();
        VertexBuffer = nullptr;
    }
    for (DWORD* pStateBlock : {&CallerStateBlock, &FontStateBlock}) {
        if (*pStateBlock != 0) {
            Device->DeleteStateBlock(*pStateBlock);
            *pStateBlock = 0;
        }
    }
    DrawResourcesResult = E_FAIL;
}

void TextFont::ReleaseDeviceObjects() {
    if (Device != nullptr) {
        ReleaseDrawResources();
    }
    if (GlyphTexture != nullptr) {
        GlyphTexture->Release();
        GlyphTexture = nullptr;
    }
    AtlasResult = E_FAIL;
}
