#pragma once
// One frame of the workbench: the search from the picked point to the mouse,
// then the map picture, the grid layers, the path, the panel, the borders and
// the overlay text, presented to the window.

#include "render/screen_vertex.h"

// Reused for every point and every segment the frame draws; only x, y and the
// colour change from one draw to the next.
extern ScreenVertex PointVertex;
extern ScreenVertex LineVertices[2];
// The dark quad behind the overlay text, also drawn by the reload notice.
extern ScreenVertex PanelVertices[4];

// Gives the panel quad its corners, depth and colour.
void SetPanelVertices();
// Gives the point and line records their fixed depth, w and texture fields.
void SetPointAndLineVertices();

// Searches, draws and presents one frame.
void Render();
