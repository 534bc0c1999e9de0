// Headless GL through EGL: Mesa's surfaceless platform where it exists, else the default display.
#include "lib/glcontext.h"

#include "render/picture.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <cstdio>
#include <cstring>

static std::string eglErrorText(const char* what)
{
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s failed (EGL error 0x%04x)", what, (unsigned)eglGetError());
    return buf;
}

static EGLDisplay openDisplay()
{
    auto getPlatformDisplay =
        (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    if (getPlatformDisplay) {
        EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr))
            return d;
    }
    EGLDisplay d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr))
        return d;
    return EGL_NO_DISPLAY;
}

bool HeadlessContext::open(int width, int height)
{
    width_ = width;
    height_ = height;
    EGLDisplay d = openDisplay();
    if (d == EGL_NO_DISPLAY) {
        error_ = eglErrorText("opening an EGL display");
        return false;
    }
    display_ = d;
    const EGLint configAttribs[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
        EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
        EGL_DEPTH_SIZE, 16,
        EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(d, configAttribs, &config, 1, &count) || count < 1) {
        error_ = "no EGL configuration with OpenGL, a pbuffer and a depth buffer";
        close();
        return false;
    }
    const EGLint surfaceAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface_ = eglCreatePbufferSurface(d, config, surfaceAttribs);
    if (surface_ == EGL_NO_SURFACE) {
        std::string what = "creating a " + std::to_string(width) + "x" + std::to_string(height) + " pbuffer";
        error_ = eglErrorText(what.c_str());
        close();
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error_ = eglErrorText("binding the OpenGL API");
        close();
        return false;
    }
    // No version attributes: a compatibility context, which keeps the fixed-function pipeline.
    context_ = eglCreateContext(d, config, EGL_NO_CONTEXT, nullptr);
    if (context_ == EGL_NO_CONTEXT) {
        error_ = eglErrorText("creating an OpenGL context");
        close();
        return false;
    }
    if (!eglMakeCurrent(d, surface_, surface_, context_)) {
        error_ = eglErrorText("making the OpenGL context current");
        close();
        return false;
    }
    picture_set_drawable(width, height);
    const char* extensions = (const char*)glGetString(GL_EXTENSIONS);
    packInvert_ = extensions && std::strstr(extensions, "GL_MESA_pack_invert");
    return true;
}

void HeadlessContext::close()
{
    if (!display_)
        return;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_)
        eglDestroyContext(display_, context_);
    if (surface_)
        eglDestroySurface(display_, surface_);
    // The display stays initialised: terminating it unloads Mesa's driver, and the driver's own
    // small allocations would then show up under LeakSanitizer as leaks of an unknown module.
    display_ = surface_ = context_ = nullptr;
}

HeadlessContext::~HeadlessContext()
{
    close();
}

// GL_MESA_pack_invert's switch, not in every gl.h.
static const GLenum PACK_INVERT = 0x8758;

const std::vector<unsigned char>& HeadlessContext::readRGB() const
{
    rgb_.resize((size_t)width_ * height_ * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (packInvert_) {
        glPixelStorei(PACK_INVERT, GL_TRUE);
        glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb_.data());
        glPixelStorei(PACK_INVERT, GL_FALSE);
        return rgb_;
    }
    // GL reads the bottom row first; images are stored top row first.
    bottomUp_.resize(rgb_.size());
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp_.data());
    const size_t stride = (size_t)width_ * 3;
    for (int y = 0; y < height_; y++)
        std::memcpy(&rgb_[(size_t)y * stride], &bottomUp_[(size_t)(height_ - 1 - y) * stride], stride);
    return rgb_;
}
