// The show in a web page: the same frame pass as the program, on a WebGL 2 canvas that fills the
// window, driven by the browser's animation frames. The page (web/main.js) loads the soundtrack,
// waits for the viewer's first click or key and calls web_start; from then on the show clock
// runs on the page's music clock (web/music.js, Module.clock). The page's controls pause and
// jump (web_toggle_pause, web_jump), picture and music together.
//
// index.html?t=MS draws the single frame at show time MS, the scenes that carry state brought
// there at 60 frames per second as the capture tool brings them, and then the page says it is
// "ready"; it draws the same moment again at the new size when the window's size changes.
//
// A lost WebGL context stops the picture and the music; when the browser gives it back, the
// layer makes again what it had on it, and the show goes on from the same moment.
#include "frame/show.h"
#include "frame/show_clock.h"
#include "frame/timeline.h"
#include "render/picture.h"
#include "render/web/gl_compat.h"
#include "scenes/scene_table.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <string>

// The page's music clock is the time source and the music alike: its start(ms) starts the
// soundtrack at show time ms and its time from there, stop() holds both.
struct PageClock : TimeSource {
    // The clock starts with the music (PageMusic::play).
    void start() override {}
    int elapsedMs() override { return EM_ASM_INT({ return Module.clock.elapsedMs(); }); }
};

struct PageMusic : MusicSink {
    int at = 0;
    void seek(int ms) override { at = ms; }
    void play() override { EM_ASM({ Module.clock.start($0); }, at); }
    void pause() override { EM_ASM({ Module.clock.stop(); }); }
};

static PageClock pageClock;
static PageMusic pageMusic;
static ShowClock showClock(pageClock, &pageMusic, catch_up_scenes, ShowClock::AtEnd::hold);
static int drawableW = 0, drawableH = 0;
// The still's time, or -1 for the show.
static int stillMs = -1;
static EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
// While the context is lost nothing is drawn; the show is held, and goes on when it is back if
// it was playing when it was lost (or Space asked for it meanwhile).
static bool contextLost = false, resumeWhenRestored = false;
static bool redrawPending = false;

static void fail(const char* message)
{
    EM_ASM({ Module.fail(UTF8ToString($0)); }, message);
}

// The canvas follows the window: its drawing buffer is its CSS size in the device pixels the page
// draws at (Module.pixelRatio: the screen's density, held down on a phone), and the picture the
// largest 4:3 rectangle in it. True when the size changed.
static bool fitCanvas()
{
    double cssW = 0, cssH = 0;
    emscripten_get_element_css_size("#canvas", &cssW, &cssH);
    double ratio = EM_ASM_DOUBLE({ return Module.pixelRatio($0, $1); }, cssW, cssH);
    int w = (int)(cssW * ratio + 0.5), h = (int)(cssH * ratio + 0.5);
    if (w < 1 || h < 1 || (w == drawableW && h == drawableH))
        return false;
    drawableW = w, drawableH = h;
    emscripten_set_canvas_element_size("#canvas", w, h);
    picture_set_drawable(w, h);
    return true;
}

// GL errors stay raised until asked for, and asking waits for the browser's GPU process to
// finish all the drawing so far, so it is done once a second while playing.
static const int ERROR_CHECK_FRAMES = 60;
// WebGL's error for a context lost: the browser tells the page so a moment later, and the page
// then waits for the context to come back; it is no fault of the drawing.
static const unsigned CONTEXT_LOST_WEBGL = 0x9242;

static void checkErrors()
{
    unsigned error = qgl_take_error();
    if (error != 0 && error != CONTEXT_LOST_WEBGL)
        EM_ASM({ Module.glError($0); }, error);
}

static void drawFrame(int time)
{
    fitCanvas();
    qgl_begin_frame();
    show_frame(time);
    qgl_end_frame();
}

// The frame at `time` drawn again: the scenes that carry state are started afresh and brought
// to it, as a still's are, so that it is the frame it was whatever was drawn since.
static void drawMomentAgain(int time)
{
    show_restart();
    catch_up_scenes(-1, time);
    drawFrame(time);
    checkErrors();
    if (stillMs >= 0)
        EM_ASM({ Module.stillDrawn(); });
}

// A still, or the show while paused, is drawn again when the window's size has changed; the
// playing show follows it frame by frame anyway.
static EM_BOOL redrawAtNewSize(double, void*)
{
    redrawPending = false;
    if (contextLost || (stillMs < 0 && !(showClock.started() && showClock.paused())) || !fitCanvas())
        return EM_FALSE;
    drawMomentAgain(stillMs >= 0 ? stillMs : showClock.now());
    // Drawn: a jump's pending frame with it.
    showClock.takeRedraw();
    return EM_FALSE;
}

static EM_BOOL onResize(int, const EmscriptenUiEvent*, void*)
{
    if (!redrawPending) {
        redrawPending = true;
        emscripten_request_animation_frame(redrawAtNewSize, nullptr);
    }
    return EM_FALSE;
}

static EM_BOOL onContextLost(int, const void*, void*)
{
    contextLost = true;
    qgl_context_lost();
    if (showClock.started() && !showClock.paused()) {
        showClock.pause();
        resumeWhenRestored = true;
    }
    // Handled: the browser may give the context back.
    return EM_TRUE;
}

static EM_BOOL onContextRestored(int, const void*, void*)
{
    emscripten_webgl_make_context_current(context);
    const char* error = "";
    if (!qgl_restore(&error)) {
        std::fprintf(stderr, "%s\n", error);
        fail("The demo stopped: its WebGL 2 did not build the shader again.");
        return EM_TRUE;
    }
    contextLost = false;
    if (resumeWhenRestored) {
        resumeWhenRestored = false;
        showClock.playOn();
    } else if (stillMs >= 0 || showClock.started()) {
        drawMomentAgain(stillMs >= 0 ? stillMs : showClock.now());
        showClock.takeRedraw();
    }
    return EM_TRUE;
}

static void frame()
{
    if (!showClock.started() || contextLost)
        return;
    bool redraw = showClock.takeRedraw();
    if (showClock.paused() && !redraw)
        return;
    int time = showClock.now();
    // Past the end the show stands at its last moment, drawn (a start there has drawn nothing
    // yet); Left goes back from there, Space starts again from the beginning.
    bool atEnd = time > SHOW_END_MS;
    if (atEnd)
        time = SHOW_END_MS;
    drawFrame(time);
    static int frames = 0;
    if (++frames % ERROR_CHECK_FRAMES == 0)
        checkErrors();
    EM_ASM({ Module.frameDrawn($0); }, time);
    if (atEnd)
        showClock.holdAtEnd();
}

extern "C" {

EMSCRIPTEN_KEEPALIVE void web_start(int ms)
{
    showClock.start(ms);
}

EMSCRIPTEN_KEEPALIVE void web_toggle_pause()
{
    if (!showClock.started())
        return;
    if (contextLost)
        resumeWhenRestored = !resumeWhenRestored;
    else
        showClock.toggle();
}

EMSCRIPTEN_KEEPALIVE void web_jump(int by)
{
    if (showClock.started())
        showClock.jump(by);
}

// Whether show time runs: started, and neither paused nor held (a lost context holds it).
EMSCRIPTEN_KEEPALIVE int web_playing()
{
    return showClock.started() && !showClock.paused();
}

// Where the show stands, for the page's status and its tests.
EMSCRIPTEN_KEEPALIVE int web_time()
{
    return showClock.started() ? showClock.now() : -1;
}

// The show's last moment, in ms.
EMSCRIPTEN_KEEPALIVE int web_end()
{
    return SHOW_END_MS;
}

// Hands the frame on screen to Module.saveFrame: drawn again by the layer from the frame's work
// it keeps, so that it can be read in this task, paused or not, with the picture's rectangle in
// it (from the top left) and the show time it shows.
EMSCRIPTEN_KEEPALIVE void web_save_frame()
{
    if (!showClock.started() || drawableW == 0 || contextLost || !qgl_show_frame_again())
        return;
    const Picture& p = picture();
    EM_ASM({ Module.saveFrame($0, $1, $2, $3, $4); }, p.x, drawableH - p.y - p.height, p.width, p.height, showClock.now());
}

// The scene table as text, a scene a line: "name first-ms last-ms title".
EMSCRIPTEN_KEEPALIVE const char* web_scenes()
{
    static const std::string text = scene_table_text();
    return text.c_str();
}
}

int main()
{
    stillMs = EM_ASM_INT({ return Module.stillMs; });
    if (stillMs > SHOW_END_MS)
        stillMs = SHOW_END_MS;
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
    context = emscripten_webgl_create_context("#canvas", &attributes);
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
    emscripten_set_webglcontextlost_callback("#canvas", nullptr, EM_FALSE, onContextLost);
    emscripten_set_webglcontextrestored_callback("#canvas", nullptr, EM_FALSE, onContextRestored);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onResize);
    fitCanvas();
    show_resources_init();
    show_init();

    if (stillMs >= 0) {
        catch_up_scenes(-1, stillMs);
        drawFrame(stillMs);
        checkErrors();
        EM_ASM({ Module.stillDrawn(); });
        return 0;
    }
    EM_ASM({ Module.showReady(); });
    emscripten_set_main_loop(frame, 0, 0);
    return 0;
}
