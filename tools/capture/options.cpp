// The capture tool's options and its --help text.
#include "options.h"

#include "undo.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iterator>

static const char* const USAGE =
    "usage: quenrastilan-capture [--fps N] [--size WxH] --at MS --out FILE.png\n"
    "       quenrastilan-capture [--fps N] [--size WxH] [--jobs N] --from MS --to MS --out DIR\n"
    "       quenrastilan-capture --video FILE.mp4 [--fps N] [--size WxH] [--jobs N] [--from MS]\n"
    "                            [--to MS] [--crf N]\n"
    "       quenrastilan-capture --master FILE.mkv [--fps N] [--size WxH] [--jobs N] [--from MS]\n"
    "                            [--to MS]\n"
    "       quenrastilan-capture --sheet FILE.png [--fps N] [--size WxH]\n"
    "       quenrastilan-capture --audio FILE.wav\n"
    "       quenrastilan-capture --check [--fps N]\n"
    "\n"
    "Renders the show headless on a simulated clock: frame n is drawn at (int)(n * 1000 / fps)\n"
    "ms, each as a run from 0 ms would show it (the scenes are brought on through the frames\n"
    "before it without drawing them). Times are show milliseconds, 0 to 245000. Paths may be\n"
    "relative; folders they name are made when missing. Ctrl-C stops any capture within a\n"
    "second with exit status 130 (143 for TERM) and removes what it wrote.\n"
    "\n"
    "  --size WxH     the frames' size (default 1024x768), drawn natively at that size: the\n"
    "                 4:3 picture fills it, or is centred between black bars in another shape\n"
    "                 e.g. quenrastilan-capture --video show.mp4 --size 1440x1080\n"
    "  --jobs N       render a range (frames, --video, --master) in N processes at once,\n"
    "                 which take its pieces in turn. Without it, up to the number of cores:\n"
    "                 a process for every 1000 frames of 1024x768 (every 300 PNG frames), so\n"
    "                 a short range runs in one process. Frames and masters are the same as\n"
    "                 from one process; a video's pieces are encoded apart, so its frames\n"
    "                 differ from one process's within the encoder's loss\n"
    "  --fps N        frames per second of the simulated clock (default 30; 60 with --video,\n"
    "                 --master and --check)\n"
    "  --at MS        bring the scenes through the frames before MS, then draw one frame at\n"
    "                 exactly MS, and write it\n"
    "                 e.g. quenrastilan-capture --fps 30 --at 5220 --out still.png\n"
    "  --from MS      first time of a range of frames (with --video: default 0)\n"
    "  --to MS        last time of the range (with --video: default 245000); without --video\n"
    "                 each frame is written to DIR as NNNNNN.png, named by frame number\n"
    "                 e.g. quenrastilan-capture --fps 30 --from 3000 --to 6000 --out frames/\n"
    "  --out PATH     the PNG file (--at) or the folder (--from/--to)\n"
    "  --video FILE   an H.264 + AAC MP4 of the range with the soundtrack from the range's\n"
    "                 first frame, encoded by ffmpeg while the frames render; BT.709, tagged\n"
    "                 so, ready to upload\n"
    "                 e.g. quenrastilan-capture --video show.mp4\n"
    "                      quenrastilan-capture --video newton.mp4 --from 66000 --to 94000\n"
    "  --crf N        H.264 quality for --video, 0 (lossless) to 51 (default 18)\n"
    "  --master FILE  a lossless master of the range to keep: FFV1 video in full RGB and the\n"
    "                 soundtrack in FLAC, in Matroska; frame n spans the samples from\n"
    "                 n * 48000 / fps on, and the frames decode to exactly the PNG frames\n"
    "                 e.g. quenrastilan-capture --master show.mkv\n"
    "  --sheet FILE   a contact sheet: one thumbnail per scene at the middle of its range\n"
    "                 (or a little later where the scene shows next to nothing), labelled\n"
    "                 with the scene's name and time\n"
    "                 e.g. quenrastilan-capture --sheet sheet.png\n"
    "  --audio FILE   render the soundtrack (music.xm, looked up as the show does: the working\n"
    "                 directory, then beside this program) from 0 ms to its end as a 48000 Hz\n"
    "                 stereo 16-bit WAV file with the show's own engine, and exit; no display\n"
    "                 e.g. quenrastilan-capture --audio show.wav\n"
    "  --check        run the whole show, 0 to 245000 ms, without rasterising, reading\n"
    "                 glGetError after start-up and every frame; print the frames run, the GL\n"
    "                 errors (the first with its frame, time and scenes) and the peak resident\n"
    "                 memory; exit 1 on any GL error. A soak test, best in the sanitizer build\n"
    "                 e.g. quenrastilan-capture --check --fps 60\n"
    "  --quiet        no progress lines (otherwise shown for runs longer than a few seconds:\n"
    "                 the frames asked for done and the time left at their average rate)\n"
    "  --help         this text\n";

// The largest frame: 8K UHD.
static const int MAX_WIDTH = 7680, MAX_HEIGHT = 4320;

static int parseInt(const std::string& option, const char* text, int low, int high)
{
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno || end == text || *end != '\0' || v < low || v > high)
        fail(option + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
             ", not '" + text + "'");
    return (int)v;
}

Options parseOptions(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(USAGE, stdout);
            std::exit(0);
        }
        if (a == "--quiet" || a == "--check") {
            (a == "--quiet" ? o.quiet : o.check) = true;
            continue;
        }
        static const char* const valued[] = {"--fps", "--at", "--from", "--to", "--out", "--audio",
                                             "--video", "--sheet", "--crf", "--size", "--master", "--jobs"};
        if (std::find(std::begin(valued), std::end(valued), a) == std::end(valued))
            fail("unknown option '" + a + "' (see --help)");
        if (i + 1 >= argc)
            fail(a + " needs a value (see --help)");
        const char* v = argv[++i];
        if (a == "--fps")
            o.fps = parseInt(a, v, 1, 1000);
        else if (a == "--at")
            o.at = parseInt(a, v, 0, SHOW_LAST_MS);
        else if (a == "--from")
            o.from = parseInt(a, v, 0, SHOW_LAST_MS);
        else if (a == "--to")
            o.to = parseInt(a, v, 0, SHOW_LAST_MS);
        else if (a == "--crf")
            o.crf = parseInt(a, v, 0, 51);
        else if (a == "--out")
            o.out = v;
        else if (a == "--audio")
            o.audio = v;
        else if (a == "--video")
            o.video = v;
        else if (a == "--master")
            o.master = v;
        else if (a == "--jobs")
            o.jobs = parseInt(a, v, 1, 64);
        else if (a == "--size") {
            std::string text = v;
            size_t x = text.find('x');
            if (x == std::string::npos)
                fail("--size takes WxH, e.g. 1440x1080, not '" + text + "'");
            o.width = parseInt("the width of --size", text.substr(0, x).c_str(), 16, MAX_WIDTH);
            o.height = parseInt("the height of --size", text.substr(x + 1).c_str(), 16, MAX_HEIGHT);
        } else
            o.sheet = v;
    }
    bool encoded = o.encoded();
    std::string modes;
    int count = 0;
    auto mode = [&](bool given, const char* name) {
        if (given)
            modes += std::string(count++ ? " and " : "") + name;
    };
    mode(o.at >= 0, "--at");
    mode(!encoded && (o.from >= 0 || o.to >= 0), "--from/--to");
    mode(!o.video.empty(), "--video");
    mode(!o.master.empty(), "--master");
    mode(!o.sheet.empty(), "--sheet");
    mode(!o.audio.empty(), "--audio");
    mode(o.check, "--check");
    static const char* const ONE_OF = "one of --at, --from/--to, --video, --master, --sheet, --audio or --check";
    if (count == 0)
        fail(std::string("give ") + ONE_OF + " (see --help)");
    if (count > 1)
        fail(modes + " do not go together: give only " + ONE_OF + " (see --help)");
    // H.264 in 4:2:0 halves the colour planes in both directions.
    if (!o.video.empty() && (o.width % 2 || o.height % 2))
        fail("--video needs an even width and height, not " + std::to_string(o.width) + "x" +
             std::to_string(o.height));
    if (encoded) {
        if (o.from < 0)
            o.from = 0;
        if (o.to < 0)
            o.to = SHOW_LAST_MS;
    } else if (o.from >= 0 || o.to >= 0) {
        if (o.from < 0 || o.to < 0)
            fail("a range needs both --from and --to");
        if (o.out.empty())
            fail("--out is missing (see --help)");
    } else if (o.at >= 0 && o.out.empty()) {
        fail("--out is missing (see --help)");
    }
    if (o.from > o.to)
        fail("--from " + std::to_string(o.from) + " is after --to " + std::to_string(o.to));
    if (o.fps < 0)
        o.fps = encoded || o.check ? 60 : 30;
    return o;
}
