// The web GL layer's immediate mode (gl_draw.cpp): the current vertex, and full vertices drawn.
#ifndef QUENRASTILAN_RENDER_WEB_GL_DRAW_H
#define QUENRASTILAN_RENDER_WEB_GL_DRAW_H

#include "render/web/gl_names.h"

#include <vector>

namespace qgl {

// A full vertex as the shader takes it: position, colour, texture coordinate, normal.
struct Vtx {
    float p[4], c[4], t[2], n[3];
};

// The current colour, texture coordinate and normal at position (x, y, z, w).
Vtx currentVertex(float x, float y, float z, float w);
// Draws full vertices as primitives of mode, the attributes that do not vary given as constants.
void drawVertices(GLenum mode, const std::vector<Vtx>& v);

}  // namespace qgl

#endif
