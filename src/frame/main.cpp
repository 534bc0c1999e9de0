// The program's entry: reads its options, opens the display, precomputes the scenes, then plays
// the show on the clock until 244999 ms have passed, Escape is pressed or the window is closed.
// Space pauses and resumes, Left and Right jump ten seconds back and forward.
#include "frame/show.h"
#include "frame/sound.h"
#include "frame/timeline.h"
#include "frame/timer.h"
#include "frame/window.h"
#include "scenes/scene_table.h"

#include <SDL.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

Window win;
Timer kello;
Sound sound;

// Build settings, fixed at build time.
int runflag = 1;
int musicflag = 1;

// The usage text, the scenes' names, first moments and titles taken from the scene table.
static std::string usage()
{
    std::string text =
        "usage: quenrastilan [--window [WxH]] [--no-vsync] [--start MS|SCENE] [--list-scenes] [--help]\n"
        "\n"
        "Plays the show full screen at the display's own resolution, the 4:3 picture centred\n"
        "with black bars, in step with the display's refresh.\n"
        "\n"
        "  --window [WxH]    play in a window, 1024x768 unless a size is given (e.g. 1440x1080)\n"
        "  --no-vsync        draw frames as fast as possible instead of with the display's refresh\n"
        "  --start MS|SCENE  start picture and music at show time MS (0 to 244999), or at the\n"
        "                    first moment of a scene, by its name or its title in any case\n"
        "                    (--start fibotree, --start \"fibonacci trees\"). The scenes:\n";
    for (const Scene& scene : SCENES) {
        char entry[96];
        int s = scene.range[0] / 1000;
        std::snprintf(entry, sizeof entry, "                      %-9s %d:%02d  %s\n", scene.name, s / 60, s % 60,
                      scene.title);
        text += entry;
    }
    text +=
        "  --list-scenes     print each scene's name, first and last ms and title, one scene a\n"
        "                    line, and exit\n"
        "  --help            this text\n"
        "\n"
        "Keys: Escape ends the show; Space pauses and resumes; Left and Right jump 10 s back and\n"
        "forward. On each key the show prints where it is, and in which scene, on stdout.\n"
        "Exit status: 0 at the show's end, on Escape or when the window is closed; 130 after\n"
        "Ctrl-C (SIGINT), 143 after a TERM signal; 1 when it cannot start; 2 for a wrong option.\n"

        "Licence: MIT; the glyphs are DejaVu Sans Bold's, under the Bitstream Vera font licence.\n";
    return text;
}

// How far Left and Right jump, and the frame rate the scenes that carry state are brought up
// to a new time at (the capture tool's video rate).
static const int JUMP_MS = 10000;
static const int CATCH_UP_FPS = 60;

struct Options {
    WindowMode mode;
    int startMs = 0;
};

// A wrong option is one line naming it, and exit status 2.
[[noreturn]] static void usageError(const std::string& message)
{
    std::fprintf(stderr, "quenrastilan: %s (see quenrastilan --help)\n", message.c_str());
    std::exit(2);
}

static bool parseNumber(const char* text, long low, long high, long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

// "1440x1080" into width and height, each 64 to 16384.
static bool parseSize(const std::string& text, int& width, int& height)
{
    size_t x = text.find('x');
    long w, h;
    if (x == std::string::npos || !parseNumber(text.substr(0, x).c_str(), 64, 16384, w) ||
        !parseNumber(text.substr(x + 1).c_str(), 64, 16384, h))
        return false;
    width = (int)w;
    height = (int)h;
    return true;
}

static Options parseOptions(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(usage().c_str(), stdout);
            std::exit(0);
        } else if (a == "--list-scenes") {
            std::fputs(scene_table_text().c_str(), stdout);
            std::exit(0);
        } else if (a == "--window") {
            o.mode.fullscreen = false;
            // The size is optional: a next argument that is not an option is the size.
            if (i + 1 < argc && argv[i + 1][0] != '-' && !parseSize(argv[++i], o.mode.width, o.mode.height))
                usageError(std::string("--window takes a size such as 1440x1080 (64 to 16384 each), not '") +
                           argv[i] + "'");
        } else if (a == "--no-vsync") {
            o.mode.vsync = false;
        } else if (a == "--start") {
            long ms;
            if (i + 1 >= argc)
                usageError("--start needs a show time in ms or a scene's name or title");
            const char* what = argv[++i];
            const Scene* scene = scene_called(what);
            if (scene)
                o.startMs = scene->range[0];
            else if (!std::strchr("0123456789+-", what[0]))
                usageError(std::string("--start: no scene is called '") + what + "'");
            else if (!parseNumber(what, 0, SHOW_END_MS, ms))
                usageError(std::string("--start takes a show time from 0 to ") + std::to_string(SHOW_END_MS) +
                           " ms, not '" + what + "'");
            else
                o.startMs = (int)ms;
        } else {
            usageError("unknown option '" + a + "'");
        }
    }
    return o;
}

// The show clock with pause and jumps: show time is `base` plus the clock's time since it was
// last started, and stands still while paused. Music and clock are always started back to back.
struct ShowClock {
    int base = 0;
    bool paused = false;
    bool music = false;
    // A jump while paused shows the new time once.
    bool redraw = false;

    int now() const
    {
        return paused ? base : base + (int)(kello.currentTime * 1000.0f);
    }
    // Starts picture and music together at show time ms (the music moved there first), and
    // says so.
    void startAt(int ms, const char* what)
    {
        base = ms;
        if (music)
            sound.seek(ms);
        report(what);
        if (music && !paused)
            sound.pause(false);
        kello.start();
    }
    // Prints where the show is on stdout, in which scene, and where the music is, read after it
    // was moved and before it plays on: a viewer or a test can follow pauses and jumps.
    void report(const char* what) const
    {
        std::string scenes = scenesAt(base, " and ");
        scenes = scenes.empty() ? "past the last scene" : "in " + scenes;
        if (music)
            std::printf("quenrastilan: %s %d ms, %s (music at %.0f ms)\n", what, base, scenes.c_str(),
                        sound.positionSeconds() * 1000.0);
        else
            std::printf("quenrastilan: %s %d ms, %s\n", what, base, scenes.c_str());
        std::fflush(stdout);
    }
};

static void togglePause(ShowClock& clock)
{
    if (!clock.paused) {
        kello.update();
        clock.base = clock.now();
        clock.paused = true;
        if (clock.music)
            sound.pause(true);
        clock.report("paused at");
        return;
    }
    clock.paused = false;
    // The music resumes exactly where the picture stands, whatever the device still held.
    clock.startAt(clock.base, "playing from");
}

static void jump(ShowClock& clock, int by)
{
    kello.update();
    int from = clock.now();
    int to = from + by;
    to = to < 0 ? 0 : to > SHOW_END_MS ? SHOW_END_MS : to;
    if (clock.music)
        sound.pause(true);
    show_bring_to(from, to, CATCH_UP_FPS);
    clock.redraw = clock.paused;
    clock.startAt(to, clock.paused ? "paused at" : "jumped to");
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
    Options options = parseOptions(argc, argv);
    if (runflag != 1)
        return 0;
    stopOnSignals();
    if (!win.create(options.mode))
        return 1;
    // Without the module or an audio device the show still runs, silently, on its clock.
    ShowClock clock;
    clock.music = musicflag == 1 && sound.init();

    show_resources_init();
    show_startup_frame();
    SDL_GL_SwapBuffers();

    show_init();
    if (options.startMs > 0) {
        show_bring_to(-1, options.startMs, CATCH_UP_FPS);
        clock.startAt(options.startMs, "playing from");
    } else {
        // Music and clock start back to back, after all precomputation.
        if (clock.music)
            sound.play();
        kello.start();
    }

    bool quit = false;
    while (!quit && !stopSignal) {
        SDL_Event event;
        if (SDL_PollEvent(&event)) {
            if ((event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) || event.type == SDL_QUIT)
                quit = true;
            else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_SPACE)
                togglePause(clock);
            else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_LEFT)
                jump(clock, -JUMP_MS);
            else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_RIGHT)
                jump(clock, JUMP_MS);
        }
        // While paused the last frame stays on screen: drawing it again would move the scenes
        // that carry state on, as if time passed.
        if (clock.paused && !clock.redraw && !quit && !stopSignal) {
            SDL_Delay(10);
            continue;
        }
        clock.redraw = false;
        show_frame_setup();
        kello.update();
        int time = clock.now();
        show_frame_scenes(time);
        show_frame_overlay(time);
        SDL_GL_SwapBuffers();
        if (time > SHOW_END_MS)
            quit = true;
    }

    show_free();
    show_resources_free();
    if (clock.music)
        sound.release();
    SDL_Quit();
    return stopSignal ? 128 + stopSignal : 0;
}

int main(int argc, char** argv)
{
    return SDL_main(argc, argv);
}
