// Drawing text with the overlay font: one textured quad per visible
// character, in batches of up to 50 quads per draw call, with the caller's
// device states saved before and put back after.

#include "render/screen_vertex.h"
#include "render/text_font.h"

namespace {

// A batch is flushed once it holds more vertices than this, that is when all
// 50 quads of the buffer are written.
constexpr UINT FLUSH_VERTICES = TEXT_BATCH_VERTICES - 6;
constexpr float TEXT_Z = 0.9f;

ScreenVertex TextVertex(float x, float y, DWORD colour, float u, float v) {
    return ScreenVertex{x, y, TEXT_Z, 1.0f, colour, u, v};
}

// Locks the whole buffer, discarding what it held; null when the lock fails.
ScreenVertex* LockBatch(IDirect3DVertexBuffer8* vertexBuffer) {
    BYTE* pData = nullptr;
    if (FAILED(vertexBuffer->Lock(0, 0, &pData, D3DLOCK_DISCARD))) {
        return nullptr;
    }
    return reinterpret_cast<ScreenVertex*>(pData);
}

} // namespace

HRESULT TextFont::DrawString(float x, float y, DWORD colour, const char* text) {
    if (Device == nullptr) {
        return E_FAIL;
    }
    // Without a filled atlas the glyph cells are unknown, and without a
    // vertex buffer there is nothing to write into: draw nothing.
    if (FAILED(AtlasResult)) {
        return AtlasResult;
    }
    if (FAILED(DrawResourcesResult)) {
        return DrawResourcesResult;
    }
    if (text == nullptr) {
        return E_INVALIDARG;
    }

    Device->CaptureStateBlock(CallerStateBlock);
    Device->ApplyStateBlock(FontStateBlock);
    Device->SetVertexShader(SCREEN_VERTEX_FVF);
    Device->SetPixelShader(0);
    Device->SetStreamSource(0, VertexBuffer, sizeof(ScreenVertex));

    const float startX = x;
    UINT dwNumTriangles = 0;
    ScreenVertex* pVertices = LockBatch(VertexBuffer);
    for (const char* pText = text; *pText != '\0' && pVertices != nullptr; pText++) {
        // Bytes from 128 up read as negative and are skipped with the control
        // bytes; 127 has no glyph in the atlas.
        const signed char c = static_cast<signed char>(*pText);
        if (c == '\n') {
            x = startX;
            y += (GlyphRects[0][3] - GlyphRects[0][1]) * static_cast<float>(AtlasHeight);
        }
        if (c < static_cast<signed char>(FIRST_GLYPH) || c == 127) {
            continue;
        }

        const float* rect = GlyphRects[c - FIRST_GLYPH];
        const float tx1 = rect[0];
        const float ty1 = rect[1];
        const float tx2 = rect[2];
        const float ty2 = rect[3];
        const float w = (tx2 - tx1) * static_cast<float>(AtlasWidth) / AtlasScale;
        const float h = (ty2 - ty1) * static_cast<float>(AtlasHeight) / AtlasScale;

        if (c != ' ') {
            // Two triangles, both clockwise on screen; the half-pixel offset
            // maps texels to pixels one to one.
            *pVertices++ = TextVertex(x - 0.5f, y + h - 0.5f, colour, tx1, ty2);
            *pVertices++ = TextVertex(x - 0.5f, y - 0.5f, colour, tx1, ty1);
            *pVertices++ = TextVertex(x + w - 0.5f, y + h - 0.5f, colour, tx2, ty2);
            *pVertices++ = TextVertex(x + w - 0.5f, y - 0.5f, colour, tx2, ty1);
            *pVertices++ = TextVertex(x + w - 0.5f, y + h - 0.5f, colour, tx2, ty2);
            *pVertices++ = TextVertex(x - 0.5f, y - 0.5f, colour, tx1, ty1);
            dwNumTriangles += 2;
            if (dwNumTriangles * 3 > FLUSH_VERTICES) {
                VertexBuffer->Unlock();
                Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, dwNumTriangles);
                pVertices = LockBatch(VertexBuffer);
                dwNumTriangles = 0;
            }
        }
        x += w;
    }

    if (pVertices != nullptr) {
        VertexBuffer->Unlock();
    }
    if (dwNumTriangles > 0) {
        Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, dwNumTriangles);
    }

    // The caller's 30 states come back, the stage 0 texture included.
    Device->ApplyStateBlock(CallerStateBlock);
    return S_OK;
}
