// The OpenGL display the show is drawn on, opened through SDL 1.2: full screen at the
// display's own resolution, or a window.
#ifndef QUENRASTILAN_FRAME_WINDOW_H
#define QUENRASTILAN_FRAME_WINDOW_H

#include "render/picture.h"

struct WindowMode {
    bool fullscreen = true;
    // A window's size; full screen takes the display's current mode instead.
    int width = PICTURE_WIDTH, height = PICTURE_HEIGHT;
    // Present frames in step with the display's refresh.
    bool vsync = true;
};

class Window {
public:
    // Opens SDL's video subsystem, the mode and the GL context, hides the cursor and tells
    // the picture the drawable's size. On failure it writes one line with SDL's reason to
    // stderr and returns false (SDL is shut down again).
    bool create(const WindowMode& mode);
};

#endif
