// The show in a web page: the same frame pass as the program, on a WebGL 2 canvas that fills the
// window, driven by the browser's animation frames. The page (web/page.js) loads the soundtrack,
// waits for the viewer's first click or key and calls web_start; from then on the show clock
// follows the music's clock. Space pauses, Left and Right jump ten seconds (web_toggle_pause,
// web_jump), picture and music together.
//
// index.html?t=MS draws the single frame at show time MS, the scenes that carry state brought
// there at 60 frames per second as the capture tool brings them, and then sets the page's title
// to "ready".
#include "frame/show.h"
#include "frame/timeline.h"
#include "render/picture.h"
#include "render/web/gl_compat.h"
#include "scenes/scene_table.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <string>

static const int CATCH_UP_FPS = 60;

// The show clock, as in the program: show time is `base` plus the music's time since it last
// started, and stands still while paused.
static int base = 0;
static bool started = false, paused = false, redraw = false;
static int drawableW = 0, drawableH = 0;

static void fail(const char* message)
{
    EM_ASM({ Module.fail(UTF8ToString($0)); }, message);
}

static int musicElapsedMs()
{
    return EM_ASM_INT({ return Module.music.elapsedMs(); });
}

static int now()
{
    return paused ? base : base + musicElapsedMs();
}

// Music and clock start back to back at show time ms.
static void startAt(int ms)
{
    base = ms;
    EM_ASM({ Module.music.start($0); }, ms);
}

// The canvas follows the window: its drawing buffer is its CSS size in the device pixels the page
// draws at (Module.pixelRatio: the screen's density, held down on a phone), and the picture the
// largest 4:3 rectangle in it.
static void fitCanvas()
{
    double cssW = 0, cssH = 0;
    emscripten_get_element_css_size("#canvas", &cssW, &cssH);
    double ratio = EM_ASM_DOUBLE({ return Module.pixelRatio($0, $1); }, cssW, cssH);
    int w = (int)(cssW * ratio + 0.5), h = (int)(cssH * ratio + 0.5);
    if (w < 1 || h < 1 || (w == drawableW && h == drawableH))
        return;
    drawableW = w, drawableH = h;
    emscripten_set_canvas_element_size("#canvas", w, h);
    picture_set_drawable(w, h);
}

// GL errors stay raised until asked for, and asking waits for the browser's GPU process to
// finish all the drawing so far, so it is done once a second while playing.
static const int ERROR_CHECK_FRAMES = 60;

static void checkErrors()
{
    unsigned error = qgl_take_error();
    if (error != 0)
        EM_ASM({ Module.glError($0); }, error);
}

static void drawFrame(int time)
{
    fitCanvas();
    qgl_begin_frame(drawableW, drawableH);
    show_frame(time);
    qgl_end_frame();
}

static void frame()
{
    if (!started || (paused && !redraw))
        return;
    redraw = false;
    int time = now();
    if (time > SHOW_END_MS) {
        // The last frame stays; Left or Space goes on from there.
        base = SHOW_END_MS;
        paused = true;
        EM_ASM({ Module.music.stop(); });
        return;
    }
    drawFrame(time);
    static int frames = 0;
    if (++frames % ERROR_CHECK_FRAMES == 0)
        checkErrors();
    EM_ASM({ Module.frameDrawn($0); }, time);
}

extern "C" {

EMSCRIPTEN_KEEPALIVE void web_start(int ms)
{
    if (started)
        return;
    started = true;
    if (ms > 0)
        show_bring_to(-1, ms, CATCH_UP_FPS);
    startAt(ms);
}

EMSCRIPTEN_KEEPALIVE void web_toggle_pause()
{
    if (!started)
        return;
    if (!paused) {
        base = now();
        paused = true;
        EM_ASM({ Module.music.stop(); });
        return;
    }
    paused = false;
    startAt(base);
}

EMSCRIPTEN_KEEPALIVE void web_jump(int by)
{
    if (!started)
        return;
    int from = now();
    int to = from + by;
    to = to < 0 ? 0 : to > SHOW_END_MS ? SHOW_END_MS : to;
    EM_ASM({ Module.music.stop(); });
    show_bring_to(from, to, CATCH_UP_FPS);
    redraw = paused;
    if (paused)
        base = to;
    else
        startAt(to);
}

// Where the show stands, for the page's status and its tests.
EMSCRIPTEN_KEEPALIVE int web_time()
{
    return started ? now() : -1;
}

// The show's last moment, in ms.
EMSCRIPTEN_KEEPALIVE int web_end()
{
    return SHOW_END_MS;
}

// Hands the frame on screen to Module.saveFrame: shown again from the frame the layer keeps, so
// that it can be read in this task, paused or not, with the picture's rectangle in it (from the
// top left) and the show time it shows.
EMSCRIPTEN_KEEPALIVE void web_save_frame()
{
    if (!started || drawableW == 0)
        return;
    qgl_end_frame();
    const Picture& p = picture();
    EM_ASM({ Module.saveFrame($0, $1, $2, $3, $4); }, p.x, drawableH - p.y - p.height, p.width, p.height, now());
}

// The scene table as text, a scene a line: "name first-ms last-ms".
EMSCRIPTEN_KEEPALIVE const char* web_scenes()
{
    static const std::string text = scene_table_text();
    return text.c_str();
}
}

int main()
{
    int stillMs = EM_ASM_INT({ return Module.stillMs; });
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = false;
    attributes.depth = true;
    attributes.antialias = false;
    attributes.premultipliedAlpha = false;
    // A still stays in the canvas for whoever reads it.
    attributes.preserveDrawingBuffer = stillMs >= 0;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context("#canvas", &attributes);
    if (context <= 0) {
        fail("This browser cannot show the demo: it has no WebGL 2.");
        return 0;
    }
    emscripten_webgl_make_context_current(context);
    const char* error = "";
    if (!qgl_init(&error)) {
        std::fprintf(stderr, "%s\n", error);
        fail("This browser cannot show the demo: its WebGL 2 did not build the shader.");
        return 0;
    }
    fitCanvas();
    show_resources_init();
    show_init();

    if (stillMs >= 0) {
        int t = stillMs > SHOW_END_MS ? SHOW_END_MS : stillMs;
        show_bring_to(-1, t, CATCH_UP_FPS);
        drawFrame(t);
        checkErrors();
        EM_ASM({ Module.stillDrawn(); });
        return 0;
    }
    EM_ASM({ Module.showReady(); });
    emscripten_set_main_loop(frame, 0, 0);
    return 0;
}
