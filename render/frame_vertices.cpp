// The vertex records the frame draws from, and their fixed fields.

#include "render/render.h"

ScreenVertex PointVertex;
ScreenVertex LineVertices[2];
ScreenVertex PanelVertices[4];

namespace {

constexpr DWORD PANEL_COLOUR = 0x64000000;
constexpr float PANEL_WIDTH = 130.0f;
constexpr float PANEL_HEIGHT = 155.0f;

void SetFixedFields(ScreenVertex& vertex) {
    vertex.z = 1.0f;
    vertex.rhw = 1.0f;
    vertex.u = 0.0f;
    vertex.v = 0.0f;
}

} // namespace

void SetPanelVertices() {
    // Top-left, top-right, bottom-right, bottom-left: as a fan both triangles
    // wind clockwise on screen, so the default culling keeps them.
    const float corners[4][2] = {
        {0.0f, 0.0f}, {PANEL_WIDTH, 0.0f}, {PANEL_WIDTH, PANEL_HEIGHT}, {0.0f, PANEL_HEIGHT}};
    for (int i = 0; i < 4; i++) {
        PanelVertices[i].x = corners[i][0];
        PanelVertices[i].y = corners[i][1];
        SetFixedFields(PanelVertices[i]);
        PanelVertices[i].diffuse = PANEL_COLOUR;
    }
}

void SetPointAndLineVertices() {
    SetFixedFields(PointVertex);
    SetFixedFields(LineVertices[0]);
    SetFixedFields(LineVertices[1]);
}
