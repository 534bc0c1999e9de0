// The web GL layer's client arrays (gl_array.cpp): the array state glPushClientAttrib saves.
#ifndef QUENRASTILAN_RENDER_WEB_GL_ARRAY_H
#define QUENRASTILAN_RENDER_WEB_GL_ARRAY_H

#include "render/web/gl_names.h"

namespace qgl {

struct ClientArray {
    bool enabled = false;
    int size = 4;
    GLenum type = GL_FLOAT;
    int stride = 0;
    const void* pointer = nullptr;
    GLuint buffer = 0;
};

struct ClientState {
    ClientArray vertex, color, texcoord, normal;
    GLuint arrayBuffer = 0, elementBuffer = 0;
};

extern ClientState client;

}  // namespace qgl

#endif
