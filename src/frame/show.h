// The show without its window: start-up, one frame at a given time, shutdown. The program
// drives it from the SDL clock; the capture tool, benchmarks and tests from a simulated one.
#ifndef QUENRASTILAN_FRAME_SHOW_H
#define QUENRASTILAN_FRAME_SHOW_H

#include "math/vector.h"

#include <csignal>

// The terms of the projection's aspect ratio: the picture's design size, PICTURE_WIDTH x
// PICTURE_HEIGHT (render/picture.h).
extern const int OPENGL_XRES;
extern const int OPENGL_YRES;
// Every frame is cleared to this colour with alpha 1; white once the resources are built.
extern Vector clearcolor;
// Non-zero would draw the time overlay on every frame. A switch kept from the show's design:
// nothing in the player, the page or the tools sets it, so it stays 0.
extern int debugflag;

// Textures and font, then the clear colour. Needs a current GL context.
void show_resources_init();
// Draws the "please wait..." frame into the back buffer; the caller presents it.
void show_startup_frame();
// The scene inits, in the table's start-up order.
void show_init();

// A frame pass in its three steps, between reading the clock and presenting:
// the fixed GL state the loop resets each frame, the clear, the viewport and the projection;
void show_frame_setup();
// every scene whose range holds time, in timeline order, at its position;
void show_frame_scenes(int time);
// and the time overlay when debugflag is set.
void show_frame_overlay(int time);
// The three in order: one whole frame of show time `time`.
void show_frame(int time);

// The one way to run frames without rasterising them: while a NoRaster lives, every GL call is
// made and every scene carries its state on, but an empty scissor box keeps every pixel as it
// was. The capture tool runs the frames before its range this way, the benchmark its catch-up
// frames, and the tests whatever they only need the state of. No scene uses the scissor test;
// GL_RASTERIZER_DISCARD would do the same, but llvmpipe then loses the next frames' drawing.
class NoRaster {
public:
    NoRaster();
    ~NoRaster();
    NoRaster(const NoRaster&) = delete;
    NoRaster& operator=(const NoRaster&) = delete;
};

// Frees and initialises every scene again, the random generators back at their start-up state:
// the scenes are then as they were before the show's first frame.
void show_restart();

// Brings the scenes that carry state from show time fromMs, where the show stands (its frame
// there drawn), to just before toMs, so that the frame at toMs shows them as a run at `fps`
// frames per second would: every frame of that rate after fromMs and before toMs is advanced
// (each such scene whose range holds it has its state changed as its draw would, nothing
// drawn), in frame order, since the scenes share the random generators. Going back restarts
// the scenes first. The other scenes derive everything from their position and need nothing.
// A non-zero *stop (set by a signal handler), looked at before every frame, ends the catch-up
// there with false: the scenes then stand part of the way, fit only to be freed. Otherwise true.
bool show_bring_to(int fromMs, int toMs, int fps, const volatile std::sig_atomic_t* stop = nullptr);

// The scene frees, in the table's shutdown order.
void show_free();
// Textures and font.
void show_resources_free();

#endif
