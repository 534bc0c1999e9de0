// quenrastilan-capture: renders the show headless on a simulated clock and writes stills,
// frames, a video with the soundtrack, a contact sheet, or the soundtrack alone.
//
// Frame n of a run at F frames per second is drawn at show time (int)(n * 1000 / F) ms. Some
// scenes carry state from frame to frame: before the first frame it draws, and between the
// frames it draws, the tool brings them on frame by frame of the run without drawing anything,
// as the player does for a jump, so every frame shows what a run from 0 ms would. A range in
// several processes is cut into pieces, each process bringing the scenes to the pieces it takes.
#include "capture_progress.h"
#include "capture_sheet.h"
#include "capture_video.h"
#include "frame/show.h"
#include "frame/module.h"
#include "frame/timeline.h"
#include "lib/glcontext.h"
#include "lib/png.h"
#include "lib/soundtrack.h"
#include "scenes/scene_table.h"

#include <GL/gl.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <functional>
#include <new>
#include <string>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

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

static const int SHOW_LAST_MS = 245000;
// The largest frame: 8K UHD.
static const int MAX_WIDTH = 7680, MAX_HEIGHT = 4320;

struct Options {
    int fps = -1;
    int at = -1, from = -1, to = -1, crf = 18;
    int width = 1024, height = 768;
    int jobs = 0;  // 0: not given, chosen from the range (at most the number of cores)
    std::string out, video, master, sheet, audio;
    bool quiet = false, check = false;
};

// The signal (Ctrl-C's SIGINT or a TERM) that asked the capture to stop, 0 while none has. Every
// mode looks at it before each frame and in every second of show it brings the scenes through.
static volatile sig_atomic_t stopped = 0;

static void stop(int signal)
{
    stopped = signal;
}

// Ctrl-C and TERM set `stopped` instead of ending the tool. Without SA_RESTART, so that a wait
// for the processes of a range is interrupted.
static void stopOnSignals()
{
    struct sigaction onStop = {};
    onStop.sa_handler = stop;
    sigaction(SIGINT, &onStop, nullptr);
    sigaction(SIGTERM, &onStop, nullptr);
}

// What a failed or stopped run undoes, newest first: the encoder's files, the frames written,
// the folders made. Each process has its own: a process started for a range begins with none.
static std::vector<std::function<void()>> undo;
// Set in a process started for a range by the capture.
static bool startedForRange = false;

// The folders the capture made, for stopAtOnce: a fixed table, safe to read in a signal handler.
static char madeFolders[16][4096];
static volatile sig_atomic_t madeFolderCount = 0;

// While a process opens its context and initialises the scenes (seconds on a busy machine),
// it has written nothing but folders: Ctrl-C or TERM then end it at once, the folders removed.
static void stopAtOnce(int signal)
{
    static const char message[] = "quenrastilan-capture: stopped\n";
    if (!startedForRange) {
        ssize_t said = write(2, message, sizeof message - 1);
        (void)said;  // nowhere left to say it otherwise
    }
    for (int k = madeFolderCount - 1; k >= 0; k--)
        rmdir(madeFolders[k]);
    _exit(128 + signal);
}

static void onSignals(void (*handler)(int))
{
    struct sigaction on = {};
    on.sa_handler = handler;
    sigaction(SIGINT, &on, nullptr);
    sigaction(SIGTERM, &on, nullptr);
}

// Says why the capture ends in one line, undoes what it wrote and exits: with 128 + the signal
// when it was stopped, whatever else went wrong on the way, and 1 otherwise.
[[noreturn]] static void fail(const std::string& message)
{
    // A process started for a range leaves "stopped" to the capture that started it; an empty
    // message is a failure already reported.
    if (stopped ? !startedForRange : !message.empty())
        std::fprintf(stderr, "quenrastilan-capture: %s\n", stopped ? "stopped" : message.c_str());
    while (!undo.empty()) {
        std::function<void()> step = undo.back();
        undo.pop_back();
        step();
    }
    std::exit(stopped ? 128 + stopped : 1);
}

// Fails with "stopped" once Ctrl-C or TERM has come.
static void stopIfAsked()
{
    if (stopped)
        fail("stopped");
}

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

static Options parseOptions(int argc, char** argv)
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
    bool encoded = !o.video.empty() || !o.master.empty();
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

static int frameTime(long long n, int fps)
{
    return (int)(n * 1000 / fps);
}

// The number of the first frame of a run at `fps` drawn at or after `ms`.
static long long firstFrameFrom(int ms, int fps)
{
    long long n = (long long)ms * fps / 1000;
    while (frameTime(n, fps) < ms)
        n++;
    return n;
}

// Makes `dir` and any folder above it that is missing, as mkdir -p does; the folders made are
// removed again (when empty) if the capture fails or is stopped.
static void makeFolders(const std::string& dir)
{
    std::string path;
    for (size_t at = 0; at <= dir.size(); at++) {
        if (at < dir.size() && dir[at] != '/') {
            path += dir[at];
            continue;
        }
        if (!path.empty() && path != "." && path != ".." && path.back() != '/') {
            struct stat st;
            if (stat(path.c_str(), &st) != 0) {
                bool made = mkdir(path.c_str(), 0777) == 0;
                if (!made && errno != EEXIST)
                    fail(path + ": " + std::strerror(errno));
                if (made) {
                    undo.push_back([path] { rmdir(path.c_str()); });
                    if (madeFolderCount < 16 && path.size() < sizeof madeFolders[0]) {
                        std::strcpy(madeFolders[madeFolderCount], path.c_str());
                        madeFolderCount = madeFolderCount + 1;
                    }
                }
            } else if (!S_ISDIR(st.st_mode)) {
                fail(path + ": not a folder");
            }
        }
        if (at < dir.size())
            path += '/';
    }
}

// The folder a file is written in: "." for a bare name.
static std::string folderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Refuses at once an output file that cannot be written, before any frame is rendered; makes
// the folders it goes in when they are missing.
static void prepareOutputFile(const std::string& path)
{
    if (path.empty() || path.back() == '/')
        fail((path.empty() ? "''" : path) + ": names a folder, not a file");
    makeFolders(folderOf(path));
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            fail(path + ": is a folder");
        if (access(path.c_str(), W_OK) != 0)
            fail(path + ": " + std::strerror(errno));
        return;
    }
    if (access(folderOf(path).c_str(), W_OK) != 0)
        fail(path + ": " + std::strerror(errno));
}

static void prepareOutputFolder(const std::string& dir)
{
    makeFolders(dir);
    if (access(dir.c_str(), W_OK) != 0)
        fail(dir + ": " + std::strerror(errno));
}

// The frame-by-frame run of one process: where the show stands (the time of the last frame
// drawn, -1 before the first), and the frames drawn from there.
class Run {
public:
    explicit Run(int fps) : fps_(fps) {}

    // Draws the frame at show time t (a later time than the last frame drawn), after bringing
    // the scenes that carry state through the run's frames in between.
    void draw(int t)
    {
        bringTo(t);
        stopIfAsked();
        show_frame(t);
        shown_ = t;
    }

private:
    // show_bring_to in steps of about a second of show, looking for Ctrl-C between them: a
    // step brings the scenes through the frames after `from` and before a frame b, the next
    // step from b - 1, so that frame b is brought on in the next step and no frame twice.
    void bringTo(int t)
    {
        int from = shown_;
        for (;;) {
            stopIfAsked();
            int b = frameTime(firstFrameFrom(from + 1000, fps_), fps_);
            if (b >= t)
                break;
            show_bring_to(from, b, fps_);
            from = b - 1;
        }
        show_bring_to(from, t, fps_);
    }

    int fps_, shown_ = -1;
};

static void writeFrame(const HeadlessContext& gl, const std::string& path)
{
    std::string error;
    if (!writePNG(path, gl.width(), gl.height(), gl.readRGB(), error))
        fail("cannot write " + error);
}

// The file of frame n of a range in folder: NNNNNN.png, named by its number.
static std::string numberedFrame(const std::string& folder, long long n)
{
    char name[32];
    std::snprintf(name, sizeof name, "%06lld.png", n);
    return folder + (folder.back() == '/' ? "" : "/") + name;
}

static void renderAudio(int fromMs, const std::string& path)
{
    std::string error, module = sound_find_module(error);
    std::vector<std::int16_t> pcm;
    if (module.empty() || !sound_render(module, fromMs, pcm, error, &stopped))
        fail(error);
    stopIfAsked();
    if (!sound_write_wav(path, pcm, error))
        fail(error);
}

// A file written whole just as Ctrl-C came goes again: a stopped run leaves nothing.
static void removeIfStopped(const std::string& path)
{
    if (stopped) {
        std::remove(path.c_str());
        stopIfAsked();
    }
}

static void captureStill(const HeadlessContext& gl, const Options& o)
{
    Run run(o.fps);
    run.draw(o.at);
    writeFrame(gl, o.out);
    removeIfStopped(o.out);
}

// The frames of the range: the first at or after --from, and how many up to --to.
struct Frames {
    long long first = 0, count = 0;
};
static Frames framesOf(const Options& o)
{
    Frames f;
    f.first = firstFrameFrom(o.from, o.fps);
    while (frameTime(f.first + f.count, o.fps) <= o.to)
        f.count++;
    if (f.count == 0)
        fail("no frame falls in the range at this frame rate");
    return f;
}

static double realSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// On failure or Ctrl-C, the frames of the range this run wrote go again: those changed since
// it started (a second's grace for file systems with coarse times).
static void undoFramesOnFailure(const Options& o, const Frames& f)
{
    double start = realSeconds() - 1;
    undo.push_back([o, f, start] {
        for (long long n = f.first; n < f.first + f.count; n++) {
            std::string name = numberedFrame(o.out, n);
            struct stat st;
            if (stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                st.st_mtim.tv_sec + st.st_mtim.tv_nsec * 1e-9 >= start)
                unlink(name.c_str());
        }
    });
}

static void captureFrames(const HeadlessContext& gl, const Options& o)
{
    Frames f = framesOf(o);
    undoFramesOnFailure(o, f);
    Progress progress("frames", f.count, o.quiet);
    Run run(o.fps);
    for (long long n = f.first; n < f.first + f.count; n++) {
        run.draw(frameTime(n, o.fps));
        writeFrame(gl, numberedFrame(o.out, n));
        progress.step();
    }
    stopIfAsked();
    progress.finish();
}

// The soundtrack of frames [first, first + count) as a temporary WAV file: frame n spans the
// stereo samples from n * 48000 / fps on. Rendered from the song's start as the show plays it
// and cut there, so the sound starts with the first frame to the sample; silence past the end.
// Removed again if the capture fails.
static std::string soundOf(const Frames& f, int fps)
{
    std::string error, module = sound_find_module(error);
    std::vector<std::int16_t> song;
    if (module.empty() || !sound_render(module, 0, song, error, &stopped))
        fail(error);
    long long from = f.first * SOUND_RATE / fps, to = (f.first + f.count) * SOUND_RATE / fps;
    std::vector<std::int16_t> pcm((size_t)(to - from) * 2, 0);
    for (long long i = from; i < to && 2 * i + 1 < (long long)song.size(); i++) {
        pcm[(size_t)(i - from) * 2] = song[(size_t)i * 2];
        pcm[(size_t)(i - from) * 2 + 1] = song[(size_t)i * 2 + 1];
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string wavName = std::string(tmp && *tmp ? tmp : "/tmp") + "/quenrastilan-capture-XXXXXX.wav";
    int fd = mkstemps(&wavName[0], 4);
    if (fd < 0)
        fail(wavName + ": " + std::strerror(errno));
    close(fd);
    undo.push_back([wavName] { std::remove(wavName.c_str()); });
    if (!sound_write_wav(wavName, pcm, error))
        fail(error);
    return wavName;
}

static Encoding encodingOf(const Options& o, const Frames& f)
{
    Encoding e;
    e.master = !o.master.empty();
    e.width = o.width;
    e.height = o.height;
    e.fps = o.fps;
    e.crf = o.crf;
    e.frames = f.count;
    return e;
}

static void captureEncoded(const HeadlessContext& gl, const Options& o)
{
    const std::string& path = o.master.empty() ? o.video : o.master;
    Frames f = framesOf(o);
    Encoding e = encodingOf(o, f);
    e.wavPath = soundOf(f, o.fps);
    VideoEncoder encoder;
    undo.push_back([&encoder] { encoder.abort(); });
    std::string error;
    if (!encoder.start(path, e, error))
        fail(error);
    Progress progress(o.master.empty() ? "video" : "master", f.count, o.quiet);
    Run run(o.fps);
    for (long long n = f.first; n < f.first + f.count; n++) {
        run.draw(frameTime(n, o.fps));
        if (!encoder.write(gl.readRGB(), error))
            fail(error);
        progress.step();
    }
    stopIfAsked();
    if (!encoder.finish(error))
        fail(error);
    std::remove(e.wavPath.c_str());
    undo.clear();
    progress.finish();
}

// A piece of a range: frames [first, first + count).
struct Piece {
    long long first, count;
};

// The range cut into the pieces its processes take one after another: four seconds of show
// each, shrinking towards the end to a second (or less in a short range) so that the
// processes finish close together.
static std::vector<Piece> piecesOf(const Frames& f, int jobs, int fps)
{
    long long most = 4LL * fps, least = std::max(1LL, std::min<long long>(fps, f.count / (4LL * jobs)));
    std::vector<Piece> pieces;
    for (long long next = f.first, end = f.first + f.count; next < end;) {
        long long n = std::min(end - next, std::max(least, std::min(most, (end - next) / (2LL * jobs))));
        pieces.push_back({next, n});
        next += n;
    }
    return pieces;
}

// The name of a piece's output while a range renders in several processes: a video part
// without sound, in NUT, whose time base keeps every frame's time exact when the parts are joined.
static std::string partName(const std::string& folder, size_t k)
{
    char name[32];
    std::snprintf(name, sizeof name, "/%06zu.nut", k);
    return folder + name;
}

// Makes the folder for the parts of a video rendered in several processes: beside the video, on
// the disk that is to hold it (a whole master's parts are gigabytes), or in the temporary folder
// when the video goes to a device or a pipe. Its whole path, since the parts are named to ffmpeg
// from a list elsewhere.
static std::string partsFolderFor(const std::string& path)
{
    struct stat st;
    bool special = stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = special ? std::string(tmp && *tmp ? tmp : "/tmp") + "/quenrastilan-parts-XXXXXX"
                                 : path + ".parts-XXXXXX";
    if (!mkdtemp(&folder[0]))
        fail(folder + ": " + std::strerror(errno));
    char* whole = realpath(folder.c_str(), nullptr);
    if (!whole) {
        rmdir(folder.c_str());
        fail(folder + ": " + std::strerror(errno));
    }
    folder = whole;
    std::free(whole);
    return folder;
}

// One process of a range rendered by several, in a child of the tool: it opens its own context,
// then takes the next piece nobody has taken (the counter `next` is shared by the processes)
// until none is left. Before each piece it brings the scenes that carry state to the piece's
// first frame without drawing anything, as the player does for a jump; the other scenes derive
// everything from their position. It writes the frames of its pieces to the folder (PNG files)
// or to one video part each in `parts`, one byte on `progressFd` per frame, and exits.
[[noreturn]] static void renderPieces(const Options& o, const std::vector<Piece>& pieces, std::atomic<long>* next,
                                      const std::string& parts, int progressFd)
{
    undo.clear();
    startedForRange = true;
    madeFolderCount = 0;
    onSignals(stopAtOnce);
    stopIfAsked();
    HeadlessContext gl;
    if (!gl.open(o.width, o.height))
        fail("no OpenGL context: " + gl.error());
    show_resources_init();
    show_init();
    stopOnSignals();
    bool encoded = !o.video.empty() || !o.master.empty();
    Run run(o.fps);
    std::string error;
    for (long k; (k = next->fetch_add(1)) < (long)pieces.size();) {
        const Piece& p = pieces[(size_t)k];
        VideoEncoder encoder;
        undo.push_back([&encoder] { encoder.abort(); });
        if (encoded && !encoder.start(partName(parts, (size_t)k), encodingOf(o, {p.first, p.count}), error))
            fail(error);
        for (long long n = p.first; n < p.first + p.count; n++) {
            run.draw(frameTime(n, o.fps));
            if (!encoded)
                writeFrame(gl, numberedFrame(o.out, n));
            else if (!encoder.write(gl.readRGB(), error))
                fail(error);
            if (write(progressFd, "x", 1) != 1)
                fail("the capture that started this process has gone");
        }
        stopIfAsked();
        if (encoded && !encoder.finish(error))
            fail(error);
        undo.pop_back();
    }
    show_free();
    show_resources_free();
    std::exit(0);
}

// How many processes a range is rendered in: --jobs N as given; without it up to the number of
// cores, one more for each share of the range's frames (counted at 1024x768, a larger frame as
// more) that pays for it. One process
// already keeps most of two cores busy (llvmpipe's threads, the encoder), and each further one
// costs about 3 s of CPU (its start, its catch-up, an encoder for each of its pieces, the join):
// a video or master gains only from about 500 frames on, so a process is added per 1000. PNG
// frames gain far more (their writing is each process's own) and cost no encoders: one per 300.
static int processesFor(const Options& o, const Frames& f)
{
    if (o.jobs > 0)
        return o.jobs;
    int cores = std::max(1, (int)sysconf(_SC_NPROCESSORS_ONLN));
    bool encoded = !o.video.empty() || !o.master.empty();
    double frames = (double)f.count * o.width * o.height / (1024.0 * 768.0);
    long long gained = 1 + (long long)(frames / (encoded ? 1000 : 300));
    return (int)std::min<long long>(cores, gained);
}

// A range (a folder of frames, a video or a master) in several processes: the range is cut into
// pieces, which the processes, each with its share of llvmpipe's threads, take in turn; the
// video parts are then joined (the video copied, not encoded again) with the sound.
static void captureInParts(const Options& o, const Frames& f, int jobs)
{
    bool encoded = !o.video.empty() || !o.master.empty();
    std::vector<Piece> pieces = piecesOf(f, jobs, o.fps);
    jobs = (int)std::min<size_t>((size_t)jobs, pieces.size());
    int cores = std::max(1, (int)sysconf(_SC_NPROCESSORS_ONLN));
    std::string threads = std::to_string(std::max(1, cores / jobs));

    if (!encoded)
        undoFramesOnFailure(o, f);
    std::string parts = encoded ? partsFolderFor(o.master.empty() ? o.video : o.master) : "";
    // The parts, and whatever a stopped encoder left beside them.
    auto removeParts = [parts] {
        DIR* folder = parts.empty() ? nullptr : opendir(parts.c_str());
        if (!folder)
            return;
        while (dirent* entry = readdir(folder))
            if (entry->d_name[0] != '.')
                unlink((parts + "/" + entry->d_name).c_str());
        closedir(folder);
        rmdir(parts.c_str());
    };
    undo.push_back(removeParts);
    // The number of the next piece to take, shared by the processes.
    void* shared = mmap(nullptr, sizeof(std::atomic<long>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED)
        fail(std::string("cannot share memory with the processes: ") + std::strerror(errno));
    std::atomic<long>* next = new (shared) std::atomic<long>(0);
    int progressPipe[2];
    if (pipe(progressPipe) != 0)
        fail(std::string("cannot make a pipe: ") + std::strerror(errno));
    std::vector<pid_t> children;
    // Stops the processes started so far and waits for them; whether all ended well.
    auto waitForAll = [&](bool stop) {
        if (stop)
            for (pid_t pid : children)
                kill(pid, SIGTERM);
        bool ok = true;
        for (pid_t pid : children) {
            int status = 0;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
                if (stopped)
                    kill(pid, SIGTERM);
            ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        children.clear();
        return ok;
    };
    pid_t capture = getpid();
    for (int k = 0; k < jobs; k++) {
        pid_t pid = fork();
        if (pid == 0) {
            // A capture killed outright (SIGKILL) takes its processes with it.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != capture)
                std::exit(1);
            close(progressPipe[0]);
            // Read by llvmpipe when the context is made: the processes share the cores, unless
            // the caller chose the number of threads.
            setenv("LP_NUM_THREADS", threads.c_str(), 0);
            renderPieces(o, pieces, next, parts, progressPipe[1]);
        }
        if (pid < 0) {
            int why = errno;
            waitForAll(true);
            fail(std::string("cannot start a process: ") + std::strerror(why));
        }
        children.push_back(pid);
    }
    close(progressPipe[1]);
    Progress progress(encoded ? (o.master.empty() ? "video" : "master") : "frames", f.count, o.quiet);
    // Polled, so that Ctrl-C is seen within a tenth of a second even when it comes between a
    // look at `stopped` and the read.
    char bytes[256];
    for (pollfd p = {progressPipe[0], POLLIN, 0}; !stopped;) {
        if (poll(&p, 1, 100) <= 0)
            continue;
        ssize_t n = read(progressPipe[0], bytes, sizeof bytes);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n; i++)
            progress.step();
    }
    bool ok = waitForAll(stopped);
    close(progressPipe[0]);
    munmap(shared, sizeof(std::atomic<long>));
    stopIfAsked();
    // The process that failed has said why.
    if (!ok)
        fail("");
    if (encoded) {
        std::vector<VideoPart> names;
        for (size_t k = 0; k < pieces.size(); k++)
            names.push_back({partName(parts, k), pieces[k].count});
        Encoding e = encodingOf(o, f);
        e.wavPath = soundOf(f, o.fps);
        VideoEncoder joiner;
        undo.push_back([&joiner] { joiner.abort(); });
        std::string error;
        if (!joiner.join(o.master.empty() ? o.video : o.master, names, e, error) || !joiner.finish(error))
            fail(error);
        std::remove(e.wavPath.c_str());
        undo.pop_back();
    }
    removeParts();
    undo.clear();
    progress.finish();
}

// Whether a frame shows next to nothing: under 2000 pixels (a quarter of a percent) drawn
// darker than light grey.
static bool nearlyBlank(const std::vector<unsigned char>& rgb)
{
    int drawn = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        drawn += std::min({rgb[i], rgb[i + 1], rgb[i + 2]}) < 200;
    return drawn < 2000;
}

static void captureSheet(const HeadlessContext& gl, const Options& o)
{
    // Each scene's thumbnail is the first frame of the run at or after the middle of its range.
    // Some middles fall where the scene shows next to nothing (between two credit lines, on a
    // boundary of the fractal's or the clouds' quarters): such a frame moves the thumbnail on by
    // a twentieth of the range.
    std::vector<SheetCell> cells;
    Progress progress("sheet", SCENE_COUNT, o.quiet, "thumbnails");
    Run run(o.fps);
    int target = (SCENES[0].range[0] + SCENES[0].range[1]) / 2;
    for (int next = 0; next < SCENE_COUNT;) {
        int t = frameTime(firstFrameFrom(target, o.fps), o.fps);
        run.draw(t);
        std::vector<unsigned char> frame = gl.readRGB();
        const int* range = SCENES[next].range;
        if (nearlyBlank(frame) && target + (range[1] - range[0]) / 20 < range[1]) {
            target += (range[1] - range[0]) / 20;
            continue;
        }
        char label[48];
        std::snprintf(label, sizeof label, "%s %.1f s", SCENES[next].name, t / 1000.0);
        cells.push_back({label, frame, gl.width(), gl.height()});
        progress.step();
        if (++next < SCENE_COUNT)
            target = std::max(t + 1, (SCENES[next].range[0] + SCENES[next].range[1]) / 2);
    }
    int width, height;
    std::vector<unsigned char> sheet = makeSheet(cells, "Quenrastilan", width, height);
    std::string error;
    if (!writePNG(o.sheet, width, height, sheet, error))
        fail("cannot write " + error);
    removeIfStopped(o.sheet);
    progress.finish();
}

// The scenes the timeline draws at time t, as "alku+platon".
static std::string scenesAt(int t)
{
    std::string names;
    for (const Scene& s : SCENES)
        if (testaaPos(t, s.range))
            names += (names.empty() ? "" : "+") + std::string(s.name);
    return names.empty() ? "none" : names;
}

// --check: the whole show without rasterisation, glGetError read after start-up and after
// every frame. Returns the exit status: 1 when GL reported any error.
static int checkShow(const Options& o)
{
    long long errors = 0;
    std::string first;
    // Frame -1 is the start-up.
    auto readErrors = [&](long long frame, int t) {
        for (GLenum e; (e = glGetError()) != GL_NO_ERROR;) {
            if (errors++ > 0)
                continue;
            char where[160];
            if (frame < 0)
                std::snprintf(where, sizeof where, "0x%04x at start-up", (unsigned)e);
            else
                std::snprintf(where, sizeof where, "0x%04x at frame %lld (%d ms, %s)", (unsigned)e, frame, t,
                              scenesAt(t).c_str());
            first = where;
        }
    };
    readErrors(-1, 0);
    long long frames = 0;
    Progress progress("check", (long long)SHOW_LAST_MS * o.fps / 1000 + 1, o.quiet);
    for (; frameTime(frames, o.fps) <= SHOW_LAST_MS; frames++) {
        int t = frameTime(frames, o.fps);
        stopIfAsked();
        NoRaster unseen;
        show_frame(t);
        readErrors(frames, t);
        progress.step();
    }
    progress.finish();
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("frames run: %lld (0 to %d ms at %d fps)\nGL errors: %lld%s%s\npeak resident memory: %ld MB\n",
                frames, SHOW_LAST_MS, o.fps, errors, errors ? ", the first " : "", first.c_str(),
                usage.ru_maxrss / 1024);
    return errors ? 1 : 0;
}

int main(int argc, char** argv)
{
    Options o = parseOptions(argc, argv);
    // A finished encoder or a full pipe is reported as an error, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    onSignals(stopAtOnce);

    bool encoded = !o.video.empty() || !o.master.empty();
    if (!o.audio.empty()) {
        prepareOutputFile(o.audio);
    } else if (encoded) {
        if (!ffmpegAvailable())
            fail(std::string(o.video.empty() ? "--master" : "--video") +
                 " needs ffmpeg, which is not installed (apt-get install ffmpeg)");
        prepareOutputFile(o.video.empty() ? o.master : o.video);
    } else if (!o.sheet.empty()) {
        prepareOutputFile(o.sheet);
    } else if (o.at >= 0) {
        prepareOutputFile(o.out);
    } else if (!o.check) {
        prepareOutputFolder(o.out);
    }

    if (encoded || (o.from >= 0 && !o.out.empty())) {
        Frames f = framesOf(o);
        int jobs = processesFor(o, f);
        if (jobs > 1) {
            stopOnSignals();
            captureInParts(o, f, jobs);
            return 0;
        }
    }
    if (!o.audio.empty()) {
        stopOnSignals();
        renderAudio(0, o.audio);
        removeIfStopped(o.audio);
        return 0;
    }

    HeadlessContext gl;
    if (!gl.open(o.width, o.height))
        fail("no OpenGL context: " + gl.error());
    show_resources_init();
    show_init();
    stopOnSignals();

    int status = 0;
    if (o.check)
        status = checkShow(o);
    else if (encoded)
        captureEncoded(gl, o);
    else if (!o.sheet.empty())
        captureSheet(gl, o);
    else if (o.at >= 0)
        captureStill(gl, o);
    else
        captureFrames(gl, o);
    undo.clear();

    show_free();
    show_resources_free();
    if (o.check && glGetError() != GL_NO_ERROR) {
        std::fprintf(stderr, "quenrastilan-capture: GL error at shutdown\n");
        status = 1;
    }
    return status;
}
