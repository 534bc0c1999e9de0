// Opens the show's display: full screen at the display's own mode or a window, the desktop's
// colour depth, OpenGL, no cursor.
#include "frame/window.h"

#include "frame/library_noise.h"
#include "render/picture.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// SDL falls back to a driver that draws into nothing when it finds no display; the show would
// then play unseen. Those count as no display unless asked for by name in SDL_VIDEODRIVER.
static bool onlyAnInvisibleDriver()
{
    char name[32];
    if (!SDL_VideoDriverName(name, sizeof name))
        return false;
    if (std::strcmp(name, "offscreen") != 0 && std::strcmp(name, "dummy") != 0)
        return false;
    const char* wanted = std::getenv("SDL_VIDEODRIVER");
    return !(wanted && std::strcmp(wanted, name) == 0);
}

bool Window::create(const WindowMode& mode)
{
    bool initialised;
    {
        // Without a display libwayland prints a line of its own while SDL looks for one.
        LibraryNoiseMuted quiet;
        initialised = SDL_Init(SDL_INIT_VIDEO) == 0;
    }
    if (!initialised) {
        std::fprintf(stderr, "quenrastilan: cannot open the display: %s\n", SDL_GetError());
        return false;
    }
    if (onlyAnInvisibleDriver()) {
        std::fprintf(stderr, "quenrastilan: cannot open the display: SDL found none (is DISPLAY or WAYLAND_DISPLAY set?)\n");
        SDL_Quit();
        return false;
    }
    // Full screen takes the display's current mode, read before any mode is set: the picture
    // is then drawn at the display's own resolution, not stretched from a smaller mode.
    int width = mode.width, height = mode.height;
    Uint32 flags = SDL_OPENGL;
    if (mode.fullscreen) {
        const SDL_VideoInfo* display = SDL_GetVideoInfo();
        if (display && display->current_w > 0 && display->current_h > 0) {
            width = display->current_w;
            height = display->current_h;
        }
        flags |= SDL_FULLSCREEN;
    }
    SDL_ShowCursor(mode.fullscreen ? SDL_DISABLE : SDL_ENABLE);
    // The swap interval is taken from this attribute only when it is set before the mode.
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, mode.vsync ? 1 : 0);
    SDL_Surface* screen = SDL_SetVideoMode(width, height, 0, flags);
    if (screen == nullptr) {
        std::fprintf(stderr, "quenrastilan: cannot open a %dx%d OpenGL display: %s\n", width, height, SDL_GetError());
        SDL_Quit();
        return false;
    }
    SDL_WM_SetCaption("Quenrastilan", nullptr);
    // Set after the mode on purpose: the context is made with SDL's defaults, which already
    // double-buffer with a 16-bit depth buffer.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    picture_set_drawable(screen->w, screen->h);
    return true;
}
