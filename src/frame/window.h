// The full-screen 1024x768 OpenGL display the show is drawn on, opened through SDL 1.2.
#ifndef QUENRASTILAN_FRAME_WINDOW_H
#define QUENRASTILAN_FRAME_WINDOW_H

class Window {
public:
    // Opens SDL's video subsystem, the full-screen mode and the GL context. On failure it
    // writes one line with SDL's reason to stderr and returns false (SDL is shut down again).
    // The parameter is not used.
    bool create(bool unused);
};

#endif
