// The web GL layer's draws (gl_batch.cpp): the draw every primitive ends in, gathered with the
// draws before it when they can be one WebGL draw.
#ifndef QUENRASTILAN_RENDER_WEB_GL_BATCH_H
#define QUENRASTILAN_RENDER_WEB_GL_BATCH_H

#include "render/web/gl_names.h"

namespace qgl {

// One attribute of a draw's vertices: `size` floats every `stride` bytes from data, or, when
// data is null, the constant `value` for every vertex.
struct Attrib {
    const unsigned char* data = nullptr;
    int size = 4, stride = 0;
    const float* value = nullptr;
};
struct Vertices {
    Attrib pos, col, tex, nrm;
    int count = 0;
};
// Draws the vertices as primitives of mode, as GL 1.x would, reading them before it returns.
void submit(GLenum mode, const Vertices& v);

}  // namespace qgl

#endif
