// The web GL layer's life and frames: qgl_init opens it on the current WebGL 2 context, and each
// frame is drawn into an off-screen frame buffer that is copied to the canvas at its end.
#include "render/web/gl_state.h"

namespace qgl {
namespace {

// The frame is drawn off screen with a 16-bit depth buffer, as on the desktop (a canvas's own
// depth buffer is usually 24 bits, which changes which of two near lines wins the depth test),
// and copied to the canvas at its end.
GLuint frameBuffer = 0, colourBuffer = 0, depthBuffer = 0;
int frameW = 0, frameH = 0;

}  // namespace
}  // namespace qgl

using namespace qgl;

bool qgl_init(const char** error)
{
    if (!buildFirstProgram(error))
        return false;
    makeDrawBuffers();

    GLfloat range[2] = {1, 64};
    glGetFloatv(GL_ALIASED_POINT_SIZE_RANGE, range);
    maxPointSize = range[1] - 2.0f;
    S.lights[0].diffuse[0] = S.lights[0].diffuse[1] = S.lights[0].diffuse[2] = 1.0f;
    S.lights[0].specular[0] = S.lights[0].specular[1] = S.lights[0].specular[2] = 1.0f;
    return true;
}

void qgl_begin_frame(int width, int height)
{
    flush();
    if (width != frameW || height != frameH) {
        if (frameBuffer == 0) {
            glGenFramebuffers(1, &frameBuffer);
            glGenRenderbuffers(1, &colourBuffer);
            glGenRenderbuffers(1, &depthBuffer);
        }
        glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
        frameW = width, frameH = height;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
}

void qgl_end_frame()
{
    flush();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (S.en.scissor)
        glDisable(GL_SCISSOR_TEST);
    glBlitFramebuffer(0, 0, frameW, frameH, 0, 0, frameW, frameH, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    if (S.en.scissor)
        glEnable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
}
