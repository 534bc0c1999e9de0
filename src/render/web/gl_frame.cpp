// The web GL layer's life and frames: qgl_init opens it on the current WebGL 2 context, each
// frame is drawn straight into the canvas, its queued WebGL work made at its end (and kept, to be
// made again), and a lost context is made again as it was.
#include "render/web/gl_queue.h"
#include "render/web/gl_state.h"
#include "render/web/gl_texture.h"

using namespace qgl;

bool qgl_init(const char** error)
{
    makeDrawBuffers();
    GLfloat range[2] = {1, 64};
    glGetFloatv(GL_ALIASED_POINT_SIZE_RANGE, range);
    maxPointSize = range[1] - 2.0f;
    S.lights[0].diffuse[0] = S.lights[0].diffuse[1] = S.lights[0].diffuse[2] = 1.0f;
    S.lights[0].specular[0] = S.lights[0].specular[1] = S.lights[0].specular[2] = 1.0f;
    // Last, so that no question asked of WebGL waits for the programs it then builds.
    return buildPrograms(error);
}

void qgl_begin_frame()
{
    startFrame();
}

void qgl_end_frame()
{
    flush();
}

bool qgl_show_frame_again()
{
    return makeFrameAgain();
}

void qgl_context_lost()
{
    dropQueue();
}

bool qgl_restore(const char** error)
{
    // The loss is reported once by the new context's first error check; it is no error of ours.
    for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; i++) {
    }
    forgetPrograms();
    makeDrawBuffers();
    restoreTextures();
    restoreWebState();
    return buildPrograms(error);
}
