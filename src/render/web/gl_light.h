// The web GL layer's fog, lights and material (gl_light.cpp): the values the shader reads at
// each draw. Fog and the lights are part of the state glPushAttrib saves (gl_state.h).
#ifndef QUENRASTILAN_RENDER_WEB_GL_LIGHT_H
#define QUENRASTILAN_RENDER_WEB_GL_LIGHT_H

#include "render/web/gl_names.h"

namespace qgl {

const int MAX_LIGHTS = 8;

struct Light {
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};
    float specular[4] = {0, 0, 0, 1};
    float position[4] = {0, 0, 1, 0};  // eye space
};

struct Fog {
    GLenum mode = GL_EXP;
    float density = 1.0f, start = 0.0f, end = 1.0f;
    float color[4] = {0, 0, 0, 0};
};

struct Material {
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    float specular[4] = {0, 0, 0, 1};
    float emission[4] = {0, 0, 0, 1};
    float shininess = 0.0f;
};

// The front and back material (one, as the show sets it).
extern Material material;

}  // namespace qgl

#endif
