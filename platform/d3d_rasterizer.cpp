#include "platform/d3d_rasterizer.h"

#include <algorithm>
#include <cmath>

namespace {

bool InGuardBand(const RasterVertex& p) {
    return std::fabs(p.x) <= GUARD_BAND && std::fabs(p.y) <= GUARD_BAND;
}

// The pixel nearest a coordinate; only called inside the guard band.
int64_t NearestPixel(float coordinate) {
    return static_cast<int64_t>(std::floor(coordinate + 0.5f));
}

// Floor of a / b for b > 0.
int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

int TexelIndex(float coordinate, int size) {
    if (!std::isfinite(coordinate)) {
        return 0;
    }
    float wrapped = coordinate - std::floor(coordinate);
    int index = static_cast<int>(wrapped * static_cast<float>(size));
    return std::clamp(index, 0, size - 1);
}

uint32_t Channel(uint32_t colour, int shift) {
    return (colour >> shift) & 0xFF;
}

uint32_t Modulate(uint32_t a, uint32_t b) {
    return (a * b + 127) / 255;
}

bool AlphaPasses(uint32_t alpha, uint32_t ref, DWORD func) {
    switch (func) {
    case D3DCMP_NEVER:
        return false;
    case D3DCMP_LESS:
        return alpha < ref;
    case D3DCMP_EQUAL:
        return alpha == ref;
    case D3DCMP_LESSEQUAL:
        return alpha <= ref;
    case D3DCMP_GREATER:
        return alpha > ref;
    case D3DCMP_NOTEQUAL:
        return alpha != ref;
    case D3DCMP_GREATEREQUAL:
        return alpha >= ref;
    default:
        return true;
    }
}

uint32_t BlendFactor(DWORD factor, uint32_t alpha) {
    switch (factor) {
    case D3DBLEND_ZERO:
        return 0;
    case D3DBLEND_SRCALPHA:
        return alpha;
    case D3DBLEND_INVSRCALPHA:
        return 255 - alpha;
    default:
        return 255;
    }
}

// The pixel pipeline after coverage: texture, alpha test, blending, write.
void ShadePixel(uint32_t* pixel, const RasterState& state, uint32_t diffuse, float u, float v) {
    if (state.plain) {
        *pixel = diffuse & 0x00FFFFFF;
        return;
    }
    uint32_t colour = diffuse;
    if (state.texels != nullptr) {
        int tx = TexelIndex(u, state.textureWidth);
        int ty = TexelIndex(v, state.textureHeight);
        uint32_t texel = state.texels[static_cast<size_t>(ty) * state.textureWidth + tx];
        uint32_t alpha = state.modulateAlpha ? Modulate(Channel(texel, 24), Channel(diffuse, 24))
                                             : Channel(diffuse, 24);
        colour = (alpha << 24) | (Modulate(Channel(texel, 16), Channel(diffuse, 16)) << 16) |
                 (Modulate(Channel(texel, 8), Channel(diffuse, 8)) << 8) |
                 Modulate(Channel(texel, 0), Channel(diffuse, 0));
    }
    uint32_t alpha = Channel(colour, 24);
    if (state.alphaTest && !AlphaPasses(alpha, state.alphaRef, state.alphaFunc)) {
        return;
    }
    if (state.blend) {
        uint32_t f = BlendFactor(state.srcBlend, alpha);
        uint32_t g = BlendFactor(state.destBlend, alpha);
        uint32_t dest = *pixel;
        uint32_t blended = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            uint32_t value = (Channel(colour, shift) * f + Channel(dest, shift) * g + 127) / 255;
            blended |= std::min<uint32_t>(value, 255) << shift;
        }
        colour = blended;
    }
    *pixel = colour & 0x00FFFFFF;
}

// Channel-wise (c0 x w0 + c1 x w1 + c2 x w2) / total, rounded to nearest; the
// weights are non-negative and sum to total.
uint32_t WeightedColour(const D3DCOLOR* colours, const int64_t* weights, int count, int64_t total) {
    uint32_t result = 0;
    for (int shift = 0; shift <= 24; shift += 8) {
        int64_t sum = 0;
        for (int i = 0; i < count; ++i) {
            sum += static_cast<int64_t>(Channel(colours[i], shift)) * weights[i];
        }
        result |= static_cast<uint32_t>((sum + total / 2) / total) << shift;
    }
    return result;
}

} // namespace

void RasterPoint(const RasterTarget& target, const RasterState& state, const RasterVertex& p) {
    float px = std::floor(p.x + 0.5f);
    float py = std::floor(p.y + 0.5f);
    // Written so that NaN fails too.
    if (!(px >= 0.0f && px < static_cast<float>(target.width) && py >= 0.0f &&
          py < static_cast<float>(target.height))) {
        return;
    }
    uint32_t* pixel =
        target.pixels + static_cast<size_t>(py) * target.pitch + static_cast<size_t>(px);
    ShadePixel(pixel, state, p.diffuse, p.u, p.v);
}

void RasterLine(const RasterTarget& target, const RasterState& state, const RasterVertex& a,
                const RasterVertex& b) {
    if (!InGuardBand(a) || !InGuardBand(b)) {
        return;
    }
    int64_t x0 = NearestPixel(a.x);
    int64_t y0 = NearestPixel(a.y);
    int64_t dx = NearestPixel(b.x) - x0;
    int64_t dy = NearestPixel(b.y) - y0;
    bool xMajor = std::llabs(dx) >= std::llabs(dy);
    int64_t steps = xMajor ? std::llabs(dx) : std::llabs(dy);
    if (steps == 0) {
        return;
    }
    // Step 1: the steps whose major coordinate lies inside the target.
    int64_t major0 = xMajor ? x0 : y0;
    int64_t majorSize = xMajor ? target.width : target.height;
    int64_t majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    int64_t minor0 = xMajor ? y0 : x0;
    int64_t minorDelta = xMajor ? dy : dx;
    int64_t minorSize = xMajor ? target.height : target.width;
    int64_t first = 0;
    int64_t last = steps; // exclusive: the second end is not drawn
    if (majorStep > 0) {
        first = std::max<int64_t>(first, -major0);
        last = std::min<int64_t>(last, majorSize - major0);
    } else {
        first = std::max<int64_t>(first, major0 - majorSize + 1);
        last = std::min<int64_t>(last, major0 + 1);
    }
    // Step 2: walk them, rounding the minor coordinate and interpolating.
    const D3DCOLOR colours[2] = {a.diffuse, b.diffuse};
    bool flat = a.diffuse == b.diffuse;
    float n = static_cast<float>(steps);
    for (int64_t i = first; i < last; ++i) {
        int64_t minor = minor0 + FloorDiv(2 * i * minorDelta + steps, 2 * steps);
        if (minor < 0 || minor >= minorSize) {
            continue;
        }
        int64_t major = major0 + i * majorStep;
        int64_t x = xMajor ? major : minor;
        int64_t y = xMajor ? minor : major;
        const int64_t weights[2] = {steps - i, i};
        uint32_t colour = flat ? a.diffuse : WeightedColour(colours, weights, 2, steps);
        float t = static_cast<float>(i) / n;
        ShadePixel(target.pixels + y * target.pitch + x, state, colour, a.u + (b.u - a.u) * t,
                   a.v + (b.v - a.v) * t);
    }
}

void RasterTriangle(const RasterTarget& target, const RasterState& state, const RasterVertex& a,
                    const RasterVertex& b, const RasterVertex& c) {
    if (!InGuardBand(a) || !InGuardBand(b) || !InGuardBand(c)) {
        return;
    }
    // Step 1: snap to 1/16 pixel, find the winding, cull.
    const RasterVertex* v[3] = {&a, &b, &c};
    int64_t x[3];
    int64_t y[3];
    for (int i = 0; i < 3; ++i) {
        x[i] = std::llround(v[i]->x * 16.0f);
        y[i] = std::llround(v[i]->y * 16.0f);
    }
    int64_t area = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
    if (area == 0) {
        return;
    }
    // With y down, a positive area winds clockwise on screen.
    if ((area < 0 && state.cullMode == D3DCULL_CCW) || (area > 0 && state.cullMode == D3DCULL_CW)) {
        return;
    }
    if (area < 0) {
        std::swap(v[1], v[2]);
        std::swap(x[1], x[2]);
        std::swap(y[1], y[2]);
        area = -area;
    }
    // Step 2: the pixel box, clipped to the target.
    int64_t minX = std::max<int64_t>(0, -FloorDiv(-std::min({x[0], x[1], x[2]}), 16));
    int64_t minY = std::max<int64_t>(0, -FloorDiv(-std::min({y[0], y[1], y[2]}), 16));
    int64_t maxX = std::min<int64_t>(target.width - 1, FloorDiv(std::max({x[0], x[1], x[2]}), 16));
    int64_t maxY = std::min<int64_t>(target.height - 1, FloorDiv(std::max({y[0], y[1], y[2]}), 16));
    if (minX > maxX || minY > maxY) {
        return;
    }
    // Step 3: edge functions at the first pixel centre. Edge i runs between
    // the other two vertices and weighs vertex i; a centre on the edge counts
    // only for a top or left edge (bias 0), else the bias -1 leaves it out.
    int64_t edge[3];
    int64_t stepX[3];
    int64_t stepY[3];
    int64_t bias[3];
    for (int i = 0; i < 3; ++i) {
        int from = (i + 1) % 3;
        int to = (i + 2) % 3;
        int64_t ex = x[to] - x[from];
        int64_t ey = y[to] - y[from];
        edge[i] = ex * (minY * 16 - y[from]) - ey * (minX * 16 - x[from]);
        stepX[i] = -ey * 16;
        stepY[i] = ex * 16;
        bool top = ey == 0 && ex > 0;
        bool left = ey < 0;
        bias[i] = (top || left) ? 0 : -1;
    }
    // Step 4: walk the box.
    const D3DCOLOR colours[3] = {v[0]->diffuse, v[1]->diffuse, v[2]->diffuse};
    bool flat = colours[0] == colours[1] && colours[1] == colours[2];
    bool needUv = state.texels != nullptr;
    // Texture coordinates as planes in the edge values: u = (u0 e0 + u1 e1 + u2 e2) / area.
    const double inverseArea = 1.0 / static_cast<double>(area);
    for (int64_t py = minY; py <= maxY; ++py) {
        int64_t e0 = edge[0];
        int64_t e1 = edge[1];
        int64_t e2 = edge[2];
        uint32_t* row = target.pixels + py * target.pitch;
        for (int64_t px = minX; px <= maxX; ++px) {
            if (((e0 + bias[0]) | (e1 + bias[1]) | (e2 + bias[2])) >= 0) {
                const int64_t weights[3] = {e0, e1, e2};
                uint32_t colour = flat ? colours[0] : WeightedColour(colours, weights, 3, area);
                float u = 0.0f;
                float tv = 0.0f;
                if (needUv) {
                    double w0 = static_cast<double>(e0) * inverseArea;
                    double w1 = static_cast<double>(e1) * inverseArea;
                    double w2 = static_cast<double>(e2) * inverseArea;
                    u = static_cast<float>(v[0]->u * w0 + v[1]->u * w1 + v[2]->u * w2);
                    tv = static_cast<float>(v[0]->v * w0 + v[1]->v * w1 + v[2]->v * w2);
                }
                ShadePixel(row + px, state, colour, u, tv);
            }
            e0 += stepX[0];
            e1 += stepX[1];
            e2 += stepX[2];
        }
        edge[0] += stepY[0];
        edge[1] += stepY[1];
        edge[2] += stepY[2];
    }
}
