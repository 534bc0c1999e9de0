// quenrastilan-capture: renders the show headless on a simulated clock and writes frames as PNG.
//
// Frame n of a run at F frames per second is drawn at show time (int)(n * 1000 / F) ms. Every
// frame from 0 ms is drawn in order, because some scenes carry state from frame to frame; the
// frames before the requested ones are drawn with an empty scissor box, which skips their
// rasterisation and changes no state the later frames see (no scene uses the scissor test;
// GL_RASTERIZER_DISCARD would do the same, but llvmpipe then loses the next frames' drawing).
#include "frame/show.h"
#include "frame/sound.h"
#include "render/glcontext.h"
#include "render/png.h"

#include <GL/gl.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

static const char* const USAGE =
    "usage: quenrastilan-capture [--fps N] --at MS --out FILE.png\n"
    "       quenrastilan-capture [--fps N] --from MS --to MS --out DIR\n"
    "       quenrastilan-capture --audio FILE.wav\n"
    "\n"
    "Renders the show headless at 1024x768 on a simulated clock: frame n is drawn at\n"
    "(int)(n * 1000 / fps) ms, every frame from 0 ms in order.\n"
    "\n"
    "  --fps N        frames per second of the simulated clock (default 30)\n"
    "  --at MS        draw the frames before MS, then one frame at exactly MS, and write it\n"
    "                 e.g. quenrastilan-capture --fps 30 --at 5220 --out still.png\n"
    "  --from MS      first time of a range of frames to write\n"
    "  --to MS        last time of the range; each frame is written to DIR as NNNNNN.png,\n"
    "                 named by frame number\n"
    "                 e.g. quenrastilan-capture --fps 30 --from 3000 --to 6000 --out frames/\n"
    "  --out PATH     the PNG file (--at) or the folder (--from/--to), made if missing\n"
    "  --audio FILE   render the soundtrack (music.xm, looked up as the show does: the working\n"
    "                 directory, then beside this program) from 0 ms to its end as a 48000 Hz\n"
    "                 stereo 16-bit WAV file with the show's own engine, and exit; no display\n"
    "                 e.g. quenrastilan-capture --audio show.wav\n"
    "  --help         this text\n";

static const int SHOW_LAST_MS = 245000;

struct Options {
    int fps = 30;
    int at = -1;
    int from = -1;
    int to = -1;
    std::string out;
    std::string audio;
};

static void fail(const std::string& message)
{
    std::fprintf(stderr, "quenrastilan-capture: %s\n", message.c_str());
    std::exit(1);
}

static int parseInt(const char* option, const char* text, int low, int high)
{
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno || end == text || *end != '\0' || v < low || v > high)
        fail(std::string(option) + " takes a whole number from " + std::to_string(low) + " to " +
             std::to_string(high) + ", not '" + text + "'");
    return (int)v;
}

static Options parseOptions(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(USAGE, stdout);
            std::exit(0);
        }
        bool takesValue = a == "--fps" || a == "--at" || a == "--from" || a == "--to" || a == "--out" ||
                          a == "--audio";
        if (!takesValue)
            fail("unknown option '" + a + "' (see --help)");
        if (i + 1 >= argc)
            fail(a + " needs a value (see --help)");
        const char* v = argv[++i];
        if (a == "--fps")
            o.fps = parseInt("--fps", v, 1, 1000);
        else if (a == "--at")
            o.at = parseInt("--at", v, 0, SHOW_LAST_MS);
        else if (a == "--from")
            o.from = parseInt("--from", v, 0, SHOW_LAST_MS);
        else if (a == "--to")
            o.to = parseInt("--to", v, 0, SHOW_LAST_MS);
        else if (a == "--audio")
            o.audio = v;
        else
            o.out = v;
    }
    if (!o.audio.empty())
        return o;
    bool still = o.at >= 0, range = o.from >= 0 || o.to >= 0;
    if (still == range)
        fail("give either --at MS or --from MS --to MS (see --help)");
    if (range && (o.from < 0 || o.to < 0))
        fail("a range needs both --from and --to");
    if (range && o.from > o.to)
        fail("--from " + std::to_string(o.from) + " is after --to " + std::to_string(o.to));
    if (o.out.empty())
        fail("--out is missing (see --help)");
    return o;
}

static int frameTime(long long n, int fps)
{
    return (int)(n * 1000 / fps);
}

static void makeFolder(const std::string& dir)
{
    if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST)
        fail(dir + ": " + std::strerror(errno));
    struct stat st;
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        fail(dir + ": not a folder");
}

static void drawFrame(int time, bool keep)
{
    if (!keep) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 0, 0);
    }
    show_frame(time);
    if (!keep)
        glDisable(GL_SCISSOR_TEST);
}

static void writeFrame(const HeadlessContext& gl, const std::string& path)
{
    std::string error;
    if (!writePNG(path, HeadlessContext::WIDTH, HeadlessContext::HEIGHT, gl.readRGB(), error))
        fail("cannot write " + error);
}

int main(int argc, char** argv)
{
    Options o = parseOptions(argc, argv);
    if (!o.audio.empty()) {
        std::string error, module = sound_find_module(error);
        std::vector<std::int16_t> pcm;
        if (module.empty() || !sound_render(module, 0, pcm, error) || !sound_write_wav(o.audio, pcm, error))
            fail(error);
        return 0;
    }
    if (o.at < 0)
        makeFolder(o.out);

    HeadlessContext gl;
    if (!gl.open())
        fail("no OpenGL context: " + gl.error());
    show_resources_init();
    show_init();

    if (o.at >= 0) {
        for (long long n = 0; frameTime(n, o.fps) < o.at; n++)
            drawFrame(frameTime(n, o.fps), false);
        drawFrame(o.at, true);
        writeFrame(gl, o.out);
    } else {
        std::string dir = o.out;
        if (dir.back() != '/')
            dir += '/';
        for (long long n = 0; frameTime(n, o.fps) <= o.to; n++) {
            int t = frameTime(n, o.fps);
            bool keep = t >= o.from;
            drawFrame(t, keep);
            if (keep) {
                char name[32];
                std::snprintf(name, sizeof name, "%06lld.png", n);
                writeFrame(gl, dir + name);
            }
        }
    }

    show_free();
    show_resources_free();
    return 0;
}
