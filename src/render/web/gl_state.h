// The web GL layer's shared state (gl_state.cpp): the server state glPushAttrib saves (enables,
// the current vertex's attributes, sizes, fog, lights, blending), the viewport, the errors the
// layer raises, and WebGL's state kept for a new context. Each other part of the GL state has a
// header of its own: gl_matrix.h, gl_list.h (display lists), gl_array.h (client arrays),
// gl_texture.h, gl_light.h (fog, lights, material), gl_shader.h (the programs), gl_draw.h
// (immediate mode), gl_batch.h (the draws), gl_queue.h (a frame's WebGL work). Included by the
// layer's own sources only.
#ifndef QUENRASTILAN_RENDER_WEB_GL_STATE_H
#define QUENRASTILAN_RENDER_WEB_GL_STATE_H

#include "render/web/gl_light.h"

namespace qgl {

struct Enables {
    bool blend = false, depth = false, scissor = false, cull = false;
    bool texture = false, fog = false, lighting = false, normalize = false;
    bool lineSmooth = false, pointSmooth = false;
    bool light[MAX_LIGHTS] = {};
};

// Everything glPushAttrib saves; glPopAttrib restores the groups its mask named.
struct ServerState {
    Enables en;
    float color[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    float texcoord[2] = {0, 0};
    float pointSize = 1.0f, lineWidth = 1.0f;
    Fog fog;
    Light lights[MAX_LIGHTS];
    float sceneAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    GLuint listBase = 0;
    GLenum blendSrc = GL_ONE, blendDst = GL_ZERO;
    bool depthMask = true;
};

// The server state glPushAttrib saves, the viewport, the first error raised.
extern ServerState S;
extern int viewportW, viewportH;
extern float maxPointSize;
// Keeps the first error the layer raises until it is taken.
void raise(GLenum e);
// Sets an enable flag and, for the capabilities WebGL has, WebGL's own.
void setEnabled(GLenum cap, bool on);
void applyEnables(const Enables& e);
// Sets WebGL's state as the show last set it: on a new context, and after a frame made again.
void restoreWebState();
// Keeps WebGL's state as a frame begins, and sets it so again to make the frame again.
void rememberFrameStart();
void setFrameStart();

}  // namespace qgl

// The layer's own GL calls that glPopAttrib makes again (gl_compat.h declares them all, beside
// the GL 1.x names the layer itself must not see).
void qgl_BlendFunc(GLenum s, GLenum d);
void qgl_DepthMask(GLboolean flag);

#endif
