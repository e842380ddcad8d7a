#pragma once
// The vertex of every primitive the frame and the overlay font draw: a
// position already in back-buffer pixels, a colour and one pair of texture
// coordinates.

#include "platform/direct3d.h"

struct ScreenVertex {
    float x;   // pixels from the left edge
    float y;   // pixels from the top edge
    float z;   // depth
    float rhw; // reciprocal of the homogeneous w
    DWORD diffuse;
    float u;
    float v;
};
static_assert(sizeof(ScreenVertex) == 28, "the device reads 28-byte vertices");

// D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1
constexpr DWORD SCREEN_VERTEX_FVF = 0x144;
static_assert(SCREEN_VERTEX_FVF == (D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1));
