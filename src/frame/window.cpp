// Opens the show's display: 1024x768 full screen, the desktop's colour depth, OpenGL, no cursor.
#include "frame/window.h"

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

bool Window::create(bool)
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "quenrastilan: cannot open the display: %s\n", SDL_GetError());
        return false;
    }
    if (onlyAnInvisibleDriver()) {
        std::fprintf(stderr, "quenrastilan: cannot open the display: SDL found none (is DISPLAY or WAYLAND_DISPLAY set?)\n");
        SDL_Quit();
        return false;
    }
    SDL_ShowCursor(SDL_DISABLE);
    if (SDL_SetVideoMode(1024, 768, 0, SDL_OPENGL | SDL_FULLSCREEN) == nullptr) {
        std::fprintf(stderr, "quenrastilan: cannot open a 1024x768 OpenGL display: %s\n", SDL_GetError());
        SDL_Quit();
        return false;
    }
    SDL_WM_SetCaption("Quenrastilan", nullptr);
    // Set after the mode on purpose: the context is made with SDL's defaults, which already
    // double-buffer with a 16-bit depth buffer.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    return true;
}
