// The web GL layer's shaders' text (gl_shader_text.cpp): what the desktop pipeline does for the
// show (the modelview and projection, lights on the material, texture modulation, fog, wide
// smooth lines and smooth points with the driver's coverage), in GLSL ES 3.00, with only the
// work each variant of the state asks for. The programs built from it are gl_shader.cpp's.
#ifndef QUENRASTILAN_RENDER_WEB_GL_SHADER_TEXT_H
#define QUENRASTILAN_RENDER_WEB_GL_SHADER_TEXT_H

#include "render/web/gl_names.h"

#include <string>

namespace qgl {

// The variant's bits: the kind of primitive (0 triangles, 1 points, 2 lines) and the state.
const int KIND_MASK = 3, SMOOTH = 1 << 2, TEXTURE = 1 << 3, TEX_ALPHA = 1 << 4, FOG_SHIFT = 5,
          LIGHTING = 1 << 7, DEPTH16 = 1 << 8, LINE_W = 1 << 9;

// The text of a variant's vertex (GL_VERTEX_SHADER) or fragment (GL_FRAGMENT_SHADER) shader.
std::string shaderSource(int variant, GLenum stage);

}  // namespace qgl

#endif
