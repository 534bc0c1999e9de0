// The web GL layer's server state: enables, blending, depth, viewport, the queries, and the
// errors the layer raises beside WebGL's. WebGL's own part of it is kept too, to be set again
// on a new context after the old one was lost.
#include "render/web/gl_state.h"
#include "render/web/gl_list.h"
#include "render/web/gl_matrix.h"
#include "render/web/gl_queue.h"
#include "render/picture.h"

#include <cstring>
#include <map>

namespace qgl {

ServerState S;
// Until the show sets its viewport, the picture at its design size.
int viewportW = PICTURE_WIDTH, viewportH = PICTURE_HEIGHT;
float maxPointSize = 64.0f;

namespace {

GLenum layerError = GL_NO_ERROR;

// WebGL's state as the show last set it, beside what ServerState keeps.
struct WebState {
    std::map<GLenum, bool> caps;  // the capabilities passed through, as last enabled or not
    GLenum depthFunc = GL_LESS, cullFace = GL_BACK;
    float clearColor[4] = {0, 0, 0, 0};
    GLint viewport[4] = {}, scissor[4] = {};
    bool viewportSet = false, scissorSet = false;
} web;

bool passThroughCap(GLenum cap)
{
    return cap == GL_BLEND || cap == GL_DEPTH_TEST || cap == GL_SCISSOR_TEST || cap == GL_CULL_FACE ||
           cap == GL_POLYGON_OFFSET_FILL || cap == GL_DITHER || cap == GL_STENCIL_TEST;
}

bool* enableFlag(GLenum cap)
{
    switch (cap) {
    case GL_BLEND: return &S.en.blend;
    case GL_DEPTH_TEST: return &S.en.depth;
    case GL_SCISSOR_TEST: return &S.en.scissor;
    case GL_CULL_FACE: return &S.en.cull;
    case GL_TEXTURE_2D: return &S.en.texture;
    case GL_FOG: return &S.en.fog;
    case GL_LIGHTING: return &S.en.lighting;
    case GL_NORMALIZE: return &S.en.normalize;
    case GL_LINE_SMOOTH: return &S.en.lineSmooth;
    case GL_POINT_SMOOTH: return &S.en.pointSmooth;
    default:
        if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + MAX_LIGHTS)
            return &S.en.light[cap - GL_LIGHT0];
        return nullptr;
    }
}

}  // namespace

void raise(GLenum e)
{
    if (layerError == GL_NO_ERROR)
        layerError = e;
}

void setEnabled(GLenum cap, bool on)
{
    if (bool* f = enableFlag(cap))
        *f = on;
    if (passThroughCap(cap)) {
        web.caps[cap] = on;
        queueEnable(cap, on);
    }
}

void applyEnables(const Enables& e)
{
    setEnabled(GL_BLEND, e.blend);
    setEnabled(GL_DEPTH_TEST, e.depth);
    setEnabled(GL_SCISSOR_TEST, e.scissor);
    setEnabled(GL_CULL_FACE, e.cull);
    S.en = e;
}

namespace {

// WebGL's state as a frame began.
WebState frameStart;
GLenum frameStartBlend[2] = {GL_ONE, GL_ZERO};
bool frameStartDepthMask = true;

void setWebState(const WebState& w, GLenum blendSrc, GLenum blendDst, bool depthMask)
{
    for (auto& c : w.caps)
        c.second ? glEnable(c.first) : glDisable(c.first);
    glBlendFunc(blendSrc, blendDst);
    glDepthMask(depthMask);
    glDepthFunc(w.depthFunc);
    glCullFace(w.cullFace);
    glClearColor(w.clearColor[0], w.clearColor[1], w.clearColor[2], w.clearColor[3]);
    if (w.viewportSet)
        glViewport(w.viewport[0], w.viewport[1], w.viewport[2], w.viewport[3]);
    if (w.scissorSet)
        glScissor(w.scissor[0], w.scissor[1], w.scissor[2], w.scissor[3]);
}

}  // namespace

void restoreWebState()
{
    setWebState(web, S.blendSrc, S.blendDst, S.depthMask);
}

void rememberFrameStart()
{
    frameStart = web;
    frameStartBlend[0] = S.blendSrc, frameStartBlend[1] = S.blendDst;
    frameStartDepthMask = S.depthMask;
}

void setFrameStart()
{
    setWebState(frameStart, frameStartBlend[0], frameStartBlend[1], frameStartDepthMask);
}

}  // namespace qgl

using namespace qgl;

unsigned qgl_take_error()
{
    flush();
    GLenum e = glGetError();
    if (e == GL_NO_ERROR)
        e = layerError;
    layerError = GL_NO_ERROR;
    return e;
}

void qgl_Enable(GLenum cap)
{
    RECORD(qgl_Enable(cap));
    setEnabled(cap, true);
}

void qgl_Disable(GLenum cap)
{
    RECORD(qgl_Disable(cap));
    setEnabled(cap, false);
}

GLboolean qgl_IsEnabled(GLenum cap)
{
    bool* f = enableFlag(cap);
    return f && *f ? GL_TRUE : GL_FALSE;
}

void qgl_Hint(GLenum, GLenum) {}

void qgl_BlendFunc(GLenum s, GLenum d)
{
    RECORD(qgl_BlendFunc(s, d));
    S.blendSrc = s, S.blendDst = d;
    queueBlendFunc(s, d);
}

void qgl_DepthMask(GLboolean flag)
{
    S.depthMask = flag;
    queueDepthMask(flag);
}

// WebGL's own state: queued, and made in order with the draws (gl_queue.cpp).
void qgl_DepthFunc(GLenum func)
{
    web.depthFunc = func;
    queueDepthFunc(func);
}

void qgl_CullFace(GLenum mode)
{
    web.cullFace = mode;
    queueCullFace(mode);
}

void qgl_ShadeModel(GLenum) {}
void qgl_Clear(GLbitfield mask)
{
    queueClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT));
}

void qgl_ClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    web.clearColor[0] = r, web.clearColor[1] = g, web.clearColor[2] = b, web.clearColor[3] = a;
    queueClearColor(r, g, b, a);
}

void qgl_Viewport(GLint x, GLint y, GLsizei w, GLsizei h)
{
    viewportW = w, viewportH = h;
    web.viewport[0] = x, web.viewport[1] = y, web.viewport[2] = w, web.viewport[3] = h;
    web.viewportSet = true;
    queueViewport(x, y, w, h);
}

void qgl_Scissor(GLint x, GLint y, GLsizei w, GLsizei h)
{
    web.scissor[0] = x, web.scissor[1] = y, web.scissor[2] = w, web.scissor[3] = h;
    web.scissorSet = true;
    queueScissor(x, y, w, h);
}

void qgl_Flush()
{
    flush();
    glFlush();
}

void qgl_Finish()
{
    flush();
    glFinish();
}

GLenum qgl_GetError()
{
    return qgl_take_error();
}

void qgl_GetFloatv(GLenum pname, GLfloat* params)
{
    switch (pname) {
    case GL_SMOOTH_POINT_SIZE_RANGE: params[0] = 1.0f, params[1] = maxPointSize; return;
    case GL_SMOOTH_LINE_WIDTH_RANGE: params[0] = 1.0f, params[1] = 255.0f; return;
    case GL_MODELVIEW_MATRIX: std::memcpy(params, modelview.back().m, 64); return;
    case GL_PROJECTION_MATRIX: std::memcpy(params, projection.back().m, 64); return;
    case GL_CURRENT_COLOR: std::memcpy(params, S.color, 16); return;
    case GL_POINT_SIZE: params[0] = S.pointSize; return;
    case GL_LINE_WIDTH: params[0] = S.lineWidth; return;
    default:
        flush();
        glGetFloatv(pname, params);
    }
}

void qgl_GetIntegerv(GLenum pname, GLint* params)
{
    flush();
    glGetIntegerv(pname, params);
}
