// quenrastilan-bench: what every scene costs. The start-up's thirteen inits, each scene's
// per-frame CPU cost in front of any graphics card (Mesa's no-op driver) and its full frame with
// llvmpipe at five positions, the peak memory of a whole run, and the aggregate's two growths;
// or (--playback) the real player's frames as a viewer sees them, in playback.cpp; or
// (--stop-latency) how promptly the capture tool stops on Ctrl-C, in stop_latency.cpp.
//
// The frame measurements run in child processes of this program (--child noop|llvmpipe), because
// the no-op driver is chosen by GALLIUM_NOOP in the environment before any GL context exists.
#include "bench_report.h"
#include "playback.h"
#include "stop_latency.h"
#include "frame/show.h"
#include "frame/timeline.h"
#include "lib/glcontext.h"
#include "math/random.h"
#include "render/picture.h"
#include "scenes/dla.h"
#include "scenes/scene_table.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

static const char* const USAGE =
    "usage: quenrastilan-bench [--json FILE] [--frames N] [--starts N] [--no-memory]\n"
    "\n"
    "Measures the thirteen scene inits (median of --starts start-ups, default 5), each scene's\n"
    "median frame cost at positions 0.1 0.3 0.5 0.7 0.9 over --frames frames at 60 fps (default 15),\n"
    "once with Mesa's no-op driver (CPU time of the scene's draw call: its computation and GL\n"
    "submission) and once with llvmpipe (wall time of a whole 1024x768 frame, glFinish included),\n"
    "the peak resident memory of a whole-show capture at 60 fps (--no-memory skips it), and the\n"
    "aggregate's growth with the 26-neighbour test against the neighbour-count lattice.\n"
    "Prints a table; --json FILE writes the same figures as JSON.\n"
    "\n"
    "For profiling one scene's frames in this process (no table):\n"
    "  GALLIUM_NOOP=1 quenrastilan-bench --child noop --only pot2d --frames 60\n"
    "prints 'scene position median-ms' lines (--child llvmpipe: whole frames, at --size WxH,\n"
    "default 1024x768).\n"
    "\n"
    "Playback as a viewer sees it (no other figures):\n"
    "  quenrastilan-bench --playback window|full|both [--from MS] [--to MS] [--player PATH]\n"
    "                     [--json FILE]\n"
    "runs the real player under a private Xvfb (1920x1080) in a 1024x768 window with --no-vsync\n"
    "and/or full screen, from --from to --to ms of the show (default all of it), with a probe that\n"
    "timestamps every swap; prints per scene the frames, mean fps, the frame time 95% of frames\n"
    "beat, the worst frame, the page faults and the CPU time of all its threads per frame, and\n"
    "the time to the first frame.\n"
    "\n"
    "The capture tool's stop on Ctrl-C (no other figures):\n"
    "  quenrastilan-bench --stop-latency [--runs N] [--capture PATH]\n"
    "starts each mode of the capture tool (still, frames, sheet, check, video and master in one\n"
    "process and in two) N times (default 1) at each of three delays, 0.3, 1 and 3 s, sends\n"
    "SIGINT, and prints per mode the median and worst seconds from the signal to the exit, and\n"
    "whether each ended with status 130 leaving nothing behind. Exits 1 when one did not or any\n"
    "stop took a second or more.\n"
    "\n"
    "Exit status 2 when the command line is refused, 1 when a measurement fails.\n";

static double nowMs(clockid_t clock)
{
    timespec t;
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

[[noreturn]] static void fail(const std::string& message)
{
    std::fprintf(stderr, "quenrastilan-bench: %s\n", message.c_str());
    std::exit(1);
}

// A command line refused: status 2, as the player and the capture tool exit with.
[[noreturn]] static void refuse(const std::string& message)
{
    std::fprintf(stderr, "quenrastilan-bench: %s\n", message.c_str());
    std::exit(2);
}

// ---------------------------------------------------------------------------------------------
// Inits: each start-up in a fresh process of its own, so that every run starts from the same
// random state and the same empty heap. The inits need no GL context.

static void measureInits(int starts, BenchResults& r)
{
    std::vector<double> each[SCENE_COUNT], totals;
    for (int s = 0; s < starts; s++) {
        int fds[2];
        if (pipe(fds) != 0)
            fail(std::string("pipe: ") + std::strerror(errno));
        pid_t pid = fork();
        if (pid < 0)
            fail(std::string("fork: ") + std::strerror(errno));
        if (pid == 0) {
            close(fds[0]);
            double ms[SCENE_COUNT];
            for (int i = 0; i < SCENE_COUNT; i++) {
                double start = nowMs(CLOCK_THREAD_CPUTIME_ID);
                SCENE_INIT_ORDER[i]->init();
                ms[i] = nowMs(CLOCK_THREAD_CPUTIME_ID) - start;
            }
            ssize_t w = write(fds[1], ms, sizeof ms);
            _exit(w == (ssize_t)sizeof ms ? 0 : 1);
        }
        close(fds[1]);
        double ms[SCENE_COUNT];
        size_t got = 0;
        while (got < sizeof ms) {
            ssize_t n = read(fds[0], (char*)ms + got, sizeof ms - got);
            if (n <= 0)
                break;
            got += (size_t)n;
        }
        close(fds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        if (got != sizeof ms || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            fail("a start-up run failed");
        double total = 0;
        for (int i = 0; i < SCENE_COUNT; i++) {
            each[i].push_back(ms[i]);
            total += ms[i];
        }
        totals.push_back(total);
    }
    for (int i = 0; i < SCENE_COUNT; i++)
        r.initMs[i] = median(each[i]);
    r.initTotalMs = median(totals);
}

// ---------------------------------------------------------------------------------------------
// Frames (in a child process)

static bool noopDriver;

// The frame pass of show_frame with one scene in it; a frame that is only simulated changes the
// scene's state as drawing it would, without GL, as the player does for a jump.
static double sceneFrame(const Scene& scene, int time, bool measured)
{
    if (!measured) {
        scene.advance(laskePos(time, scene.range));
        return 0;
    }
    double wall = nowMs(CLOCK_MONOTONIC);
    show_frame_setup();
    double cpu = nowMs(CLOCK_THREAD_CPUTIME_ID);
    scene.draw(laskePos(time, scene.range));
    cpu = nowMs(CLOCK_THREAD_CPUTIME_ID) - cpu;
    if (noopDriver)
        return cpu;
    glFinish();
    return nowMs(CLOCK_MONOTONIC) - wall;
}

// Every scene at every position: `frames` consecutive frames at 60 fps from the position's time.
// The scenes that carry state from frame to frame are drawn at 60 fps from their start.
static int childFrames(int frames, const std::string& only, int width, int height)
{
    HeadlessContext gl;
    if (!gl.open(width, height))
        fail(gl.error());
    show_resources_init();
    show_init();
    glFinish();
    for (int s = 0; s < SCENE_COUNT; s++) {
        const Scene& scene = SCENES[s];
        if (!only.empty() && only != scene.name)
            continue;
        const int start = scene.range[0], end = scene.range[1];
        long long next = 0;  // the next frame of the scene's own 60 fps clock
        auto frameTime = [&](long long n) { return start + (int)(n * 1000 / 60); };
        for (int p = 0; p < BENCH_POSITIONS; p++) {
            int target = start + (int)(BENCH_POSITION[p] * (end - start));
            long long first = 0;
            while (frameTime(first) < target)
                first++;
            if (scene.carriesState())
                for (; next < first; next++)
                    sceneFrame(scene, frameTime(next), false);
            std::vector<double> ms;
            for (long long n = first; n < first + frames; n++)
                ms.push_back(sceneFrame(scene, frameTime(n), true));
            next = first + frames;
            std::printf("%d %d %.4f\n", s, p, median(ms));
            std::fflush(stdout);
        }
    }
    show_free();
    show_resources_free();
    return 0;
}

// Runs this program as a child with the given driver and frame size and reads its figures
// into `into`.
static void measureFrames(bool noop, int frames, int height, double into[][BENCH_POSITIONS])
{
    int fds[2];
    if (pipe(fds) != 0)
        fail(std::string("pipe: ") + std::strerror(errno));
    pid_t pid = fork();
    if (pid < 0)
        fail(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        if (noop)
            setenv("GALLIUM_NOOP", "1", 1);
        else
            unsetenv("GALLIUM_NOOP");
        std::string n = std::to_string(frames);
        std::string size = std::to_string(height * 4 / 3) + "x" + std::to_string(height);
        execl("/proc/self/exe", "quenrastilan-bench", "--child", noop ? "noop" : "llvmpipe",
              "--frames", n.c_str(), "--size", size.c_str(), (char*)nullptr);
        std::fprintf(stderr, "quenrastilan-bench: cannot run itself: %s\n", std::strerror(errno));
        _exit(127);
    }
    close(fds[1]);
    FILE* in = fdopen(fds[0], "r");
    int s, p, got = 0;
    double ms;
    while (in && std::fscanf(in, "%d %d %lf", &s, &p, &ms) == 3)
        if (s >= 0 && s < SCENE_COUNT && p >= 0 && p < BENCH_POSITIONS) {
            into[s][p] = ms;
            got++;
        }
    if (in)
        fclose(in);
    int status = 0;
    waitpid(pid, &status, 0);
    if (got != SCENE_COUNT * BENCH_POSITIONS || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(std::string("the ") + (noop ? "no-op driver" : "llvmpipe") + " frame run failed");
}

// ---------------------------------------------------------------------------------------------
// Peak memory of a whole run: the capture tool draws every frame of the show at 60 fps.

static double measurePeakMemory()
{
    char dir[] = "/tmp/quenrastilan-bench-XXXXXX";
    if (!mkdtemp(dir))
        fail(std::string("mkdtemp: ") + std::strerror(errno));
    std::string out = std::string(dir) + "/last.png", atEnd = std::to_string(SHOW_LENGTH_MS);
    pid_t pid = fork();
    if (pid < 0)
        fail(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        unsetenv("GALLIUM_NOOP");
        execl(QUENRASTILAN_CAPTURE, "quenrastilan-capture", "--quiet", "--fps", "60", "--at", atEnd.c_str(),
              "--out", out.c_str(), (char*)nullptr);
        std::fprintf(stderr, "quenrastilan-bench: cannot run %s: %s\n", QUENRASTILAN_CAPTURE,
                     std::strerror(errno));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    unlink(out.c_str());
    rmdir(dir);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail("the whole-show capture failed");
    return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

// ---------------------------------------------------------------------------------------------
// The aggregate's growth, both ways from the show's seeds, alternating runs.

static bool sameAggregate(const DLASystem& a, const DLASystem& b)
{
    size_t v = sizeof(Vector) * (size_t)a.count;
    return a.count == b.count && !std::memcmp(a.positions, b.positions, v) &&
           !std::memcmp(a.previous, b.previous, v) && !std::memcmp(a.colors, b.colors, v) &&
           !std::memcmp(a.alphas, b.alphas, sizeof(float) * (size_t)a.count);
}

static void measureGrowth(BenchResults& r)
{
    const int RUNS = 5, WALKERS = 25000;
    std::vector<double> ms[2];
    r.aggregatesIdentical = true;
    for (int run = 0; run < RUNS; run++) {
        DLASystem* grown[2];
        const DLAGrowth growth[2] = {DLA_NEIGHBOUR_TEST, DLA_NEIGHBOUR_COUNTS};
        for (int g = 0; g < 2; g++) {
            srand(6501);
            setSeed(16981);
            double start = nowMs(CLOCK_THREAD_CPUTIME_ID);
            grown[g] = new DLASystem(WALKERS, growth[g]);
            ms[g].push_back(nowMs(CLOCK_THREAD_CPUTIME_ID) - start);
        }
        r.aggregatesIdentical = r.aggregatesIdentical && sameAggregate(*grown[0], *grown[1]);
        delete grown[0];
        delete grown[1];
    }
    r.growthTestMs = median(ms[0]);
    r.growthCountsMs = median(ms[1]);
}

// ---------------------------------------------------------------------------------------------

int main(int argc, char** argv)
{
    std::string json, child, only, capture = QUENRASTILAN_CAPTURE;
    int width = PICTURE_WIDTH, height = PICTURE_HEIGHT;
    int frames = 15, starts = 5, runs = 1;
    bool memory = true, stopLatency = false;
    std::string playback;
    PlaybackOptions play;
    play.player = QUENRASTILAN_PLAYER;
    play.probe = QUENRASTILAN_SWAP_PROBE;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (a == "--no-memory") {
            memory = false;
            continue;
        }
        if (a == "--stop-latency") {
            stopLatency = true;
            continue;
        }
        if (a != "--json" && a != "--frames" && a != "--starts" && a != "--child" && a != "--only" &&
            a != "--size" && a != "--playback" && a != "--from" && a != "--to" && a != "--player" &&
            a != "--runs" && a != "--capture")
            refuse("unknown option '" + a + "' (see --help)");
        if (i + 1 >= argc)
            refuse(a + " needs a value (see --help)");
        std::string v = argv[++i];
        if (a == "--json")
            json = v;
        else if (a == "--child")
            child = v;
        else if (a == "--only")
            only = v;
        else if (a == "--playback") {
            if (v != "window" && v != "full" && v != "both")
                refuse("--playback takes window, full or both");
            playback = v;
        } else if (a == "--player")
            play.player = v;
        else if (a == "--capture")
            capture = v;
        else if (a == "--from" || a == "--to") {
            char* end = nullptr;
            long ms = std::strtol(v.c_str(), &end, 10);
            if (end == v.c_str() || *end || ms < 0 || ms > SHOW_LENGTH_MS)
                refuse(a + " takes a show time from 0 to " + std::to_string(SHOW_LENGTH_MS) + " ms");
            (a == "--from" ? play.fromMs : play.toMs) = (int)ms;
        }
        else if (a == "--size") {
            if (std::sscanf(v.c_str(), "%dx%d", &width, &height) != 2 || width < 64 || height < 64 ||
                width > 8192 || height > 8192)
                refuse("--size takes WxH, e.g. 1440x1080");
        } else {
            int n = std::atoi(v.c_str());
            if (n < 1 || n > 1000)
                refuse(a + " takes a number from 1 to 1000");
            (a == "--frames" ? frames : a == "--runs" ? runs : starts) = n;
        }
    }
    if (stopLatency)
        return runStopLatency(capture, runs);
    if (!playback.empty()) {
        if (play.fromMs >= play.toMs)
            refuse("--from must come before --to");
        play.window = playback != "full";
        play.full = playback != "window";
        play.json = json;
        return runPlayback(play);
    }
    if (!child.empty()) {
        noopDriver = child == "noop";
        return childFrames(frames, only, width, height);
    }

    BenchResults r;
    r.frames = frames;
    r.starts = starts;
    std::fprintf(stderr, "inits...\n");
    measureInits(starts, r);
    std::fprintf(stderr, "frames with the no-op driver...\n");
    measureFrames(true, frames, PICTURE_HEIGHT, r.noopMs);
    std::fprintf(stderr, "frames with llvmpipe at 1024x768...\n");
    measureFrames(false, frames, PICTURE_HEIGHT, r.fullMs);
    std::fprintf(stderr, "frames with llvmpipe at 1440x1080...\n");
    measureFrames(false, frames, 1080, r.fullHdMs);
    if (memory) {
        std::fprintf(stderr, "a whole show at 60 fps for its peak memory (a few minutes)...\n");
        r.peakMB = measurePeakMemory();
    }
    std::fprintf(stderr, "the aggregate's growth...\n");
    measureGrowth(r);

    printTable(r, stdout);
    if (!json.empty()) {
        std::string error;
        if (!writeJson(r, json, error))
            fail(error);
    }
    return r.aggregatesIdentical ? 0 : 1;
}
