#pragma once
// The overlay font: the printable ASCII characters of a GDI font rendered once
// into a texture, the glyph atlas, and drawn from it as textured quads.

#include "platform/direct3d.h"

// Vertices of one batch of text: 50 character quads of six vertices each.
constexpr UINT TEXT_BATCH_VERTICES = 300;
// Character codes with an entry in GlyphRects: 32 to 127.
constexpr UINT FIRST_GLYPH = 32;
constexpr UINT GLYPH_COUNT = 96;
constexpr UINT FACE_NAME_SIZE = 80;

class TextFont {
  public:
    // Stores the face name (cut to 79 characters) and the height in points;
    // makes no GDI or device call.
    TextFont(const char* faceName, UINT height);
    TextFont(const TextFont&) = delete;
    TextFont& operator=(const TextFont&) = delete;

    // Renders characters 32 to 126 into the glyph atlas. S_OK, the failing
    // result of CreateTexture, or E_FAIL when the GDI font cannot be made.
    HRESULT CreateGlyphAtlas(IDirect3DDevice8* device);
    // Makes the vertex buffer and records the two state blocks. S_OK, the
    // failing result of CreateVertexBuffer, or E_FAIL before CreateGlyphAtlas.
    HRESULT CreateDrawResources();
    // Draws text with the top-left corner of its first character cell at
    // (x, y). Must be called inside a scene. A font whose atlas or vertex
    // buffer could not be made draws nothing and returns that error.
    HRESULT DrawString(float x, float y, DWORD colour, const char* text);
    // Releases the atlas and the vertex buffer and deletes both state blocks;
    // called before the device goes. The destructor leaves the device alone.
    void ReleaseDeviceObjects();

    char FaceName[FACE_NAME_SIZE] = {};
    UINT PointSize = 0;
    IDirect3DDevice8* Device = nullptr; // not referenced
    IDirect3DTexture8* GlyphTexture = nullptr;
    IDirect3DVertexBuffer8* VertexBuffer = nullptr;
    UINT AtlasWidth = 0;
    UINT AtlasHeight = 0;
    // How much smaller the glyphs are in the atlas than on screen: 1.0, or
    // less when the device cannot hold an atlas of the chosen size.
    float AtlasScale = 1.0f;
    // Left, top, right, bottom of each character's cell in texture
    // coordinates, for codes 32 to 127 (127 is never drawn).
    float GlyphRects[GLYPH_COUNT][4] = {};
    DWORD CallerStateBlock = 0;
    DWORD FontStateBlock = 0;
    // What the last CreateGlyphAtlas and CreateDrawResources returned: the
    // font draws only when both succeeded.
    HRESULT AtlasResult = E_FAIL;
    HRESULT DrawResourcesResult = E_FAIL;

  private:
    // The vertex buffer and state blocks, released before they are made
    // again and at shutdown.
    void ReleaseDrawResources();
};
