// The program's entry: reads its options, opens the display, precomputes the scenes, then plays
// the show on the clock until 244999 ms have passed, Escape is pressed or the window is closed.
// Space pauses and resumes, Left and Right jump ten seconds back and forward.
#include "frame/options.h"
#include "frame/show.h"
#include "frame/show_clock.h"
#include "frame/sound.h"
#include "frame/timeline.h"
#include "frame/timer.h"
#include "frame/window.h"

#include <SDL.h>
#include <csignal>
#include <cstdio>
#include <string>

Window win;
Timer kello;
Sound sound;

// Switches kept from the show's design. Nothing in this program sets them: they stay 1. Were
// runflag anything else, the program would end after reading its options, before the display
// opens; were musicflag, the show would play without its music.
int runflag = 1;
int musicflag = 1;

// How far Left and Right jump.
static const int JUMP_MS = 10000;

// The player's clock: SDL's ticks.
struct TicksClock : TimeSource {
    void start() override { kello.start(); }
    int elapsedMs() override
    {
        kello.update();
        return (int)(kello.currentTime * 1000.0f);
    }
};

// The player's music: SDL's audio device playing the module.
struct DeviceMusic : MusicSink {
    void seek(int ms) override { sound.seek(ms); }
    void play() override { sound.play(); }
    void pause() override { sound.pause(true); }
};

static bool withMusic = false;

// Prints where the show is on stdout, in which scene, and where the music is, read after it was
// moved and before it plays on: a viewer or a test can follow pauses and jumps.
static void report(const char* what, int ms)
{
    std::string scenes = scenesAt(ms, " and ");
    scenes = scenes.empty() ? "past the last scene" : "in " + scenes;
    if (withMusic)
        std::printf("quenrastilan: %s %d ms, %s (music at %.0f ms)\n", what, ms, scenes.c_str(),
                    sound.positionSeconds() * 1000.0);
    else
        std::printf("quenrastilan: %s %d ms, %s\n", what, ms, scenes.c_str());
    std::fflush(stdout);
}

// The signal (Ctrl-C's SIGINT or a TERM) that asked the show to end, 0 while none has. The show
// then shuts down as on Escape and exits with 128 + the signal, as a stopped program does, so a
// script can tell a stopped show from one that played to its end.
static volatile std::sig_atomic_t stopSignal = 0;

static void stopOnSignal(int signal)
{
    stopSignal = signal;
}

// Set before SDL starts: SDL leaves a handler that is already there alone, where it would
// otherwise turn these signals into a window close.
static void stopOnSignals()
{
    struct sigaction on = {};
    on.sa_handler = stopOnSignal;
    sigaction(SIGINT, &on, nullptr);
    sigaction(SIGTERM, &on, nullptr);
}

int SDL_main(int argc, char** argv)
{
    Options options = parse_options(argc, argv);
    if (runflag != 1)
        return 0;
    stopOnSignals();
    if (!win.create(options.mode))
        return 1;
    // Without the module or an audio device the show still runs, silently, on its clock.
    withMusic = musicflag == 1 && sound.init();
    TicksClock ticks;
    DeviceMusic music;
    ShowClock clock(ticks, withMusic ? &music : nullptr, catch_up_scenes, ShowClock::AtEnd::end, report);

    show_resources_init();
    show_startup_frame();
    SDL_GL_SwapBuffers();

    show_init();
    // Music and clock start back to back, after all precomputation.
    clock.start(options.startMs);

    bool quit = false;
    while (!quit && !stopSignal) {
        SDL_Event event;
        if (SDL_PollEvent(&event)) {
            if ((event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) || event.type == SDL_QUIT)
                quit = true;
            else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_SPACE)
                clock.toggle();
            else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_LEFT)
                clock.jump(-JUMP_MS);
            else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_RIGHT)
                clock.jump(JUMP_MS);
        }
        // While paused the last frame stays on screen: drawing it again would move the scenes
        // that carry state on, as if time passed.
        bool redraw = clock.takeRedraw();
        if (clock.paused() && !redraw && !quit && !stopSignal) {
            SDL_Delay(10);
            continue;
        }
        show_frame_setup();
        int time = clock.now();
        show_frame_scenes(time);
        show_frame_overlay(time);
        SDL_GL_SwapBuffers();
        if (time > SHOW_END_MS)
            quit = true;
    }

    show_free();
    show_resources_free();
    if (withMusic)
        sound.release();
    SDL_Quit();
    return stopSignal ? 128 + stopSignal : 0;
}

int main(int argc, char** argv)
{
    return SDL_main(argc, argv);
}
