// The program's entry: opens the display, precomputes the scenes, then plays the show on the
// clock until 244999 ms have passed, Escape is pressed or the window is closed.
#include "frame/show.h"
#include "frame/sound.h"
#include "frame/timeline.h"
#include "frame/timer.h"
#include "frame/window.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

Window win;
Timer kello;
Sound sound;

// Build settings, fixed at build time.
int runflag = 1;
int musicflag = 1;

// Testing aid, not a feature: QUENRASTILAN_START_MS=N (0 to 245000) starts the pictures' clock at
// N ms so a test reaches a late point of the show quickly. The music still starts from its
// beginning. Anything else in the variable is reported and ignored.
static int startOffsetMs()
{
    const char* text = std::getenv("QUENRASTILAN_START_MS");
    if (!text || !*text)
        return 0;
    char* end = nullptr;
    long ms = std::strtol(text, &end, 10);
    if (*end != '\0' || ms < 0 || ms > SHOW_END_MS + 1) {
        std::fprintf(stderr, "quenrastilan: QUENRASTILAN_START_MS=%s ignored (0 to %d)\n", text, SHOW_END_MS + 1);
        return 0;
    }
    return (int)ms;
}

int SDL_main(int, char**)
{
    if (runflag != 1)
        return 0;
    if (!win.create(false))
        return 1;
    // Without the module or an audio device the show still runs, silently, on its clock.
    bool music = musicflag == 1 && sound.init();

    show_resources_init();
    show_startup_frame();
    SDL_GL_SwapBuffers();

    show_init();
    int offset = startOffsetMs();
    if (music)
        sound.play();
    kello.start();

    bool quit = false;
    while (!quit) {
        SDL_Event event;
        if (SDL_PollEvent(&event)) {
            if ((event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) || event.type == SDL_QUIT)
                quit = true;
        }
        kello.update();
        int time = (int)(kello.currentTime * 1000.0f) + offset;
        show_frame(time);
        SDL_GL_SwapBuffers();
        if (time > SHOW_END_MS)
            quit = true;
    }

    show_free();
    show_resources_free();
    if (music)
        sound.release();
    SDL_Quit();
    return 0;
}

int main(int argc, char** argv)
{
    return SDL_main(argc, argv);
}
