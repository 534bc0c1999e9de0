// The show without its window: start-up, one frame at a given time, shutdown. The program
// drives it from the SDL clock; the capture tool, benchmarks and tests from a simulated one.
#ifndef QUENRASTILAN_FRAME_SHOW_H
#define QUENRASTILAN_FRAME_SHOW_H

#include "math/vector.h"

extern const int OPENGL_XRES;   // 1024
extern const int OPENGL_YRES;   // 768
// Every frame is cleared to this colour with alpha 1; white once the resources are built.
extern Vector clearcolor;
// Non-zero draws the time overlay each frame. Fixed when the program is built.
extern int debugflag;

// Textures and font, then the clear colour. Needs a current GL context.
void show_resources_init();
// Draws the "please wait..." frame into the back buffer; the caller presents it.
void show_startup_frame();
// The thirteen scene initialisations, in the order their shared random draws depend on.
void show_init();
// Everything a frame pass does between reading the clock and presenting: the fixed GL
// state, the projection, every scene whose range holds time, and the debug overlay.
void show_frame(int time);
// The thirteen scene frees.
void show_free();
// Textures and font.
void show_resources_free();

#endif
