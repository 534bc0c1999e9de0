// Playback as a viewer sees it: the real player, run under a private Xvfb with the swap probe
// preloaded, in a 1024x768 window without waiting for the display's refresh and full screen on a
// 1920x1080 display, and its frames read back from the probe's log.
#include "playback.h"

#include "frame/timeline.h"
#include "lib/xvfb.h"
#include "scenes/scene_table.h"

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

static double nowMs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static SceneFigures figuresOf(std::vector<double> ms, long faults, double cpuMs)
{
    SceneFigures f;
    f.frames = (int)ms.size();
    if (ms.empty())
        return f;
    double total = 0;
    for (double m : ms)
        total += m;
    std::sort(ms.begin(), ms.end());
    f.meanFps = total > 0 ? 1000.0 * ms.size() / total : 0;
    // The frame time that 95% of the frames beat: the nearest rank.
    size_t rank = (size_t)std::max(1.0, std::ceil(0.95 * ms.size()));
    f.slowestFivePercentMs = ms[rank - 1];
    f.worstMs = ms.back();
    f.faultsPerFrame = (double)faults / ms.size();
    f.cpuMsPerFrame = cpuMs / ms.size();
    return f;
}

bool playbackFigures(double loadMs, const std::vector<Swap>& swaps, int fromMs, int toMs, PlaybackRun& run)
{
    if (swaps.size() < 2)
        return false;
    run.fromMs = fromMs;
    run.toMs = toMs;
    run.firstFrameMs = swaps[1].ms - loadMs;
    run.firstFrameCpuMs = swaps[1].cpuMs;
    std::vector<double> ms[SCENE_COUNT], all;
    long faults[SCENE_COUNT] = {}, allFaults = 0;
    double cpu[SCENE_COUNT] = {}, allCpu = 0;
    for (size_t i = 2; i < swaps.size(); i++) {
        int time = fromMs + (int)(swaps[i].ticks - swaps[1].ticks);
        if (time >= toMs)
            break;
        double frame = swaps[i].ms - swaps[i - 1].ms;
        long faulted = swaps[i].faults - swaps[i - 1].faults;
        double used = swaps[i].cpuMs - swaps[i - 1].cpuMs;
        all.push_back(frame);
        allFaults += faulted;
        allCpu += used;
        for (int s = 0; s < SCENE_COUNT; s++)
            if (testaaPos(time, SCENES[s].range)) {
                ms[s].push_back(frame);
                faults[s] += faulted;
                cpu[s] += used;
            }
    }
    run.scenes.clear();
    for (int s = 0; s < SCENE_COUNT; s++)
        run.scenes.push_back(figuresOf(ms[s], faults[s], cpu[s]));
    run.whole = figuresOf(all, allFaults, allCpu);
    return true;
}

// ---------------------------------------------------------------------------------------------

[[noreturn]] static void fail(const std::string& message)
{
    std::fprintf(stderr, "quenrastilan-bench: %s\n", message.c_str());
    std::exit(1);
}

// A private Xvfb of 1920x1080 at 24 bits on a free display number, stopped when destroyed.
struct Xvfb {
    pid_t pid = -1;
    std::string display;

    Xvfb()
    {
        int number = xvfb_start(1920, 1080, pid);
        if (number < 0)
            fail("cannot start Xvfb (is it installed?)");
        display = ":" + std::to_string(number);
    }
    ~Xvfb()
    {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
};

static bool readLog(const std::string& path, double& loadMs, std::vector<Swap>& swaps)
{
    std::ifstream in(path);
    std::string word;
    swaps.clear();
    long long ns;
    if (!(in >> word >> ns) || word != "load")
        return false;
    loadMs = ns / 1e6;
    Swap s;
    long long cpuUs;
    while (in >> word >> ns >> s.faults >> s.ticks >> cpuUs && word == "swap") {
        s.ms = ns / 1e6;
        s.cpuMs = cpuUs / 1e3;
        swaps.push_back(s);
    }
    return true;
}

// Plays from options.fromMs until a frame at or after options.toMs has been shown (or the show
// ends), then asks the player to quit as a window manager would.
static PlaybackRun play(const PlaybackOptions& o, const Xvfb& x, bool window)
{
    char logPath[] = "/tmp/quenrastilan-swaps-XXXXXX";
    int fd = mkstemp(logPath);
    if (fd < 0)
        fail(std::string("mkstemp: ") + std::strerror(errno));
    close(fd);
    std::string start = std::to_string(o.fromMs);
    pid_t pid = fork();
    if (pid < 0)
        fail(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        setenv("DISPLAY", x.display.c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("SDL_VIDEODRIVER");
        // A device that takes the music at its pace: the player decodes and mixes it as it would
        // for a sound card.
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("LD_PRELOAD", o.probe.c_str(), 1);
        setenv("QUENRASTILAN_SWAP_LOG", logPath, 1);
        if (window)
            execl(o.player.c_str(), "quenrastilan", "--window", "1024x768", "--no-vsync", "--start", start.c_str(),
                  (char*)nullptr);
        else
            execl(o.player.c_str(), "quenrastilan", "--start", start.c_str(), (char*)nullptr);
        std::fprintf(stderr, "quenrastilan-bench: cannot run %s: %s\n", o.player.c_str(), std::strerror(errno));
        _exit(127);
    }
    // The run may take the show's length and its start-up; a player that hangs is stopped.
    double deadline = nowMs() + (o.toMs - o.fromMs) + 120000.0;
    int status = 0;
    bool exited = false, asked = false;
    double loadMs = 0;
    std::vector<Swap> swaps;
    while (!exited) {
        usleep(100000);
        exited = waitpid(pid, &status, WNOHANG) == pid;
        if (exited || asked)
            continue;
        if (readLog(logPath, loadMs, swaps) && swaps.size() >= 2 &&
            o.fromMs + (int)(swaps.back().ticks - swaps[1].ticks) >= o.toMs) {
            kill(pid, SIGTERM);  // SDL turns it into a quit event: the player ends as on a close
            asked = true;
        } else if (nowMs() > deadline) {
            kill(pid, SIGKILL);
            asked = true;
        }
    }
    bool read = readLog(logPath, loadMs, swaps);
    unlink(logPath);
    if (!WIFEXITED(status) && !(asked && WIFSIGNALED(status)))
        fail("the player died");
    PlaybackRun run;
    run.name = window ? "window 1024x768" : "full screen 1920x1080";
    if (!read || !playbackFigures(loadMs, swaps, o.fromMs, o.toMs, run))
        fail("the player showed no frame of the show under the probe (" + run.name + ")");
    return run;
}

static void printRun(const PlaybackRun& r, FILE* out)
{
    std::fprintf(out, "%s, show time %d to %d ms, first frame %.1f s after the start (%.1f s of CPU)\n",
                 r.name.c_str(), r.fromMs, r.toMs, r.firstFrameMs / 1000, r.firstFrameCpuMs / 1000);
    std::fprintf(out, "%-9s %7s %9s %13s %10s %13s %10s\n", "scene", "frames", "mean fps", "slowest 5% ms",
                 "worst ms", "faults/frame", "CPU ms/frame");
    auto row = [&](const char* name, const SceneFigures& f) {
        std::fprintf(out, "%-9s %7d %9.1f %13.1f %10.1f %13.0f %10.1f\n", name, f.frames, f.meanFps,
                     f.slowestFivePercentMs, f.worstMs, f.faultsPerFrame, f.cpuMsPerFrame);
    };
    for (int s = 0; s < SCENE_COUNT; s++)
        if (r.scenes[s].frames > 0)
            row(SCENES[s].name, r.scenes[s]);
    row("all", r.whole);
    std::fprintf(out, "\n");
}

static std::string figuresJson(const SceneFigures& f)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "{\"frames\": %d, \"mean_fps\": %.2f, \"slowest_5_percent_ms\": %.2f, \"worst_ms\": %.2f, "
                  "\"faults_per_frame\": %.1f, \"cpu_ms_per_frame\": %.2f}",
                  f.frames, f.meanFps, f.slowestFivePercentMs, f.worstMs, f.faultsPerFrame, f.cpuMsPerFrame);
    return text;
}

static bool writeJson(const std::vector<PlaybackRun>& runs, const std::string& path)
{
    std::ostringstream j;
    j << "{\"playback\": [";
    for (size_t i = 0; i < runs.size(); i++) {
        const PlaybackRun& r = runs[i];
        j << (i ? ",\n" : "\n") << "  {\"run\": \"" << r.name << "\", \"from_ms\": " << r.fromMs
          << ", \"to_ms\": " << r.toMs << ", \"first_frame_ms\": " << (long)r.firstFrameMs
          << ", \"first_frame_cpu_ms\": " << (long)r.firstFrameCpuMs
          << ",\n   \"all\": " << figuresJson(r.whole) << ",\n   \"scenes\": {";
        bool first = true;
        for (int s = 0; s < SCENE_COUNT; s++)
            if (r.scenes[s].frames > 0) {
                j << (first ? "\n" : ",\n") << "    \"" << SCENES[s].name << "\": " << figuresJson(r.scenes[s]);
                first = false;
            }
        j << "}}";
    }
    j << "\n]}\n";
    std::ofstream out(path);
    out << j.str();
    return (bool)out.flush();
}

int runPlayback(const PlaybackOptions& o)
{
    if (access(o.player.c_str(), X_OK) != 0)
        fail("no player at " + o.player);
    if (access(o.probe.c_str(), R_OK) != 0)
        fail("no swap probe at " + o.probe);
    Xvfb x;
    std::vector<PlaybackRun> runs;
    if (o.window) {
        std::fprintf(stderr, "the player in a 1024x768 window...\n");
        runs.push_back(play(o, x, true));
    }
    if (o.full) {
        std::fprintf(stderr, "the player full screen at 1920x1080...\n");
        runs.push_back(play(o, x, false));
    }
    for (const PlaybackRun& r : runs)
        printRun(r, stdout);
    if (!o.json.empty() && !writeJson(runs, o.json))
        fail("cannot write " + o.json);
    return 0;
}
