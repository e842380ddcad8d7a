#pragma once
// The device's rasteriser: draws pre-transformed points, lines and triangles
// into a 32-bit X8R8G8B8 back buffer. Its rules:
//
// - Positions are back-buffer pixels; pixel centres lie at integer
//   coordinates. Everything is clipped to the back buffer. There is no depth
//   buffer: z and rhw are carried and ignored, and attributes are interpolated
//   linearly in screen space. A primitive with a position that is not finite
//   or lies beyond GUARD_BAND pixels from the origin is dropped whole.
// - A point sets one pixel: the one nearest its position, floor(x + 0.5),
//   floor(y + 0.5) (halves round toward +infinity).
// - A line runs from its first end toward its second. Both ends go to their
//   nearest pixels as points do; the line steps one pixel at a time along its
//   major axis (the longer of |dx|, |dy|; x when equal), the minor coordinate
//   rounded to nearest, halves up. The first end's pixel is drawn and the
//   second end's pixel is left out, so chained segments and closed outlines
//   draw every shared corner once; a segment whose ends share a pixel draws
//   nothing. Colour and texture coordinates go linearly from the first end
//   (step 0) toward the second (step n, not drawn); colour channels round to
//   nearest.
// - A triangle covers the pixel centres inside it, with the top-left rule for
//   centres exactly on an edge: a centre on a top edge (horizontal, interior
//   below) or a left edge is covered, one on a right or bottom edge is not, so
//   triangles sharing an edge cover each pixel along it exactly once.
//   Vertices are snapped to 1/16 pixel first, and coverage is decided in exact
//   integer arithmetic. Degenerate triangles draw nothing. Culling: with
//   D3DCULL_CCW (the default) triangles that wind counter-clockwise on screen
//   (y down) are dropped, with D3DCULL_CW clockwise ones, with D3DCULL_NONE
//   none. Colour is interpolated with barycentric weights, each channel
//   rounded to nearest; texture coordinates likewise, unrounded.
// - Texturing (stage 0 with a texture and a colour operation other than
//   D3DTOP_DISABLE): the texel is point sampled, texel (floor(u' x width),
//   floor(v' x height)) where u', v' are u, v wrapped into [0, 1). The colour
//   is texel x diffuse per channel, (t x d + 127) / 255; the alpha likewise
//   when the alpha operation is D3DTOP_MODULATE, else the diffuse alpha.
//   Without a texture the diffuse colour passes unchanged. A quad placed with
//   the -0.5 offset maps texels to pixels one to one.
// - Alpha test (D3DRS_ALPHATESTENABLE): the pixel is drawn only when its
//   alpha compares true against the low byte of D3DRS_ALPHAREF by
//   D3DRS_ALPHAFUNC.
// - Blending (D3DRS_ALPHABLENDENABLE): each channel becomes
//   min(255, (src x F + dst x G + 127) / 255) for the factors F (D3DRS_SRCBLEND)
//   and G (D3DRS_DESTBLEND): ZERO 0, ONE 255, SRCALPHA a, INVSRCALPHA 255 - a,
//   where a is the source alpha.
// - The written pixel is 0x00RRGGBB: the X byte is always 0.

#include <cstdint>

#include "platform/direct3d.h"

// The layout of a vertex of format D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1.
struct RasterVertex {
    float x;
    float y;
    float z;
    float rhw;
    D3DCOLOR diffuse;
    float u;
    float v;
};
static_assert(sizeof(RasterVertex) == 28);

constexpr float GUARD_BAND = 1048576.0f;

struct RasterTarget {
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0; // in pixels
};

// The device states the rasteriser reads, gathered once when they change.
struct RasterState {
    const uint32_t* texels = nullptr; // 0xAARRGGBB, row-major; null: untextured
    int textureWidth = 0;
    int textureHeight = 0;
    bool modulateAlpha = false;
    bool alphaTest = false;
    DWORD alphaFunc = D3DCMP_ALWAYS;
    uint32_t alphaRef = 0;
    bool blend = false;
    DWORD srcBlend = D3DBLEND_ONE;
    DWORD destBlend = D3DBLEND_ZERO;
    DWORD cullMode = D3DCULL_CCW;
    // Untextured, no alpha test, no blending: the diffuse colour is written as is.
    bool plain = true;
};

void RasterPoint(const RasterTarget& target, const RasterState& state, const RasterVertex& p);
void RasterLine(const RasterTarget& target, const RasterState& state, const RasterVertex& a,
                const RasterVertex& b);
void RasterTriangle(const RasterTarget& target, const RasterState& state, const RasterVertex& a,
                    const RasterVertex& b, const RasterVertex& c);
