// The capture tool's stop latency: each mode stopped with SIGINT a moment into its work.
#include "stop_latency.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The modes as a user starts them, each long enough to be stopped in: a catch-up to a late
// still at 1000 fps, frames, videos and masters in one process and in two, a sheet, the check.
static const std::vector<std::vector<std::string>> MODES = {
    {"--fps", "1000", "--at", "244000", "--out", "stills/s.png"},
    {"--from", "0", "--to", "60000", "--out", "frames/a/", "--jobs", "1"},
    {"--from", "0", "--to", "60000", "--out", "frames/a/", "--jobs", "2"},
    {"--fps", "1000", "--sheet", "sheets/sheet.png"},
    {"--check"},
    {"--video", "v/show.mp4", "--jobs", "1", "--from", "200000"},
    {"--video", "v/show.mp4", "--jobs", "2", "--from", "200000"},
    {"--master", "m/show.mkv", "--jobs", "1"},
    {"--master", "m/show.mkv", "--jobs", "2"},
};
static const double DELAYS[] = {0.3, 1.0, 3.0};

static double seconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

static void sleepFor(double s)
{
    timespec ts = {(time_t)s, (long)((s - (time_t)s) * 1e9)};
    while (nanosleep(&ts, &ts) != 0)
        continue;
}

// Whether a folder holds nothing; removes the folder and anything in it either way.
static bool emptyAndRemoved(const std::string& dir)
{
    bool empty = true;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            empty = empty && (e->d_name[0] == '.' && (!e->d_name[1] || (e->d_name[1] == '.' && !e->d_name[2])));
        closedir(d);
    }
    if (!empty)
        std::system(("rm -rf '" + dir + "'").c_str());
    else
        rmdir(dir.c_str());
    return empty;
}

static double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

static std::string loadAverage()
{
    char text[64] = "?";
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (!std::fgets(text, sizeof text, f))
            text[0] = 0;
        std::fclose(f);
    }
    std::string s = text;
    return s.substr(0, s.find(' ', s.find(' ', s.find(' ') + 1) + 1));
}

// One stop: the capture started with `args` in a new working folder, SIGINT after `delay`.
// Returns the seconds from the signal to the exit; *clean says whether it exited with 130 and
// left nothing.
static double stopOnce(const std::string& capture, const std::vector<std::string>& args, double delay, bool* clean)
{
    char work[] = "/tmp/quenrastilan-stop-XXXXXX", tmp[] = "/tmp/quenrastilan-stoptmp-XXXXXX";
    if (!mkdtemp(work) || !mkdtemp(tmp)) {
        *clean = false;
        return 0;
    }
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(work) != 0)
            _exit(126);
        setenv("TMPDIR", tmp, 1);
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        dup2(devnull, 2);
        std::vector<char*> argv = {const_cast<char*>(capture.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(capture.c_str(), argv.data());
        _exit(127);
    }
    sleepFor(delay);
    double sent = seconds();
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    double took = seconds() - sent;
    bool emptyWork = emptyAndRemoved(work), emptyTmp = emptyAndRemoved(tmp);
    *clean = WIFEXITED(status) && WEXITSTATUS(status) == 130 && emptyWork && emptyTmp;
    return took;
}

int runStopLatency(const std::string& capture, int runs)
{
    std::printf("Ctrl-C (SIGINT) to the capture tool %.1f, %.1f and %.1f s into each mode, %d time%s each;\n"
                "seconds from the signal to the exit. Load average before: %s\n\n",
                DELAYS[0], DELAYS[1], DELAYS[2], runs, runs == 1 ? "" : "s", loadAverage().c_str());
    std::printf("%-58s %8s %8s  %s\n", "mode", "median", "worst", "status 130, nothing left");
    std::vector<double> all;
    bool allClean = true;
    for (const std::vector<std::string>& args : MODES) {
        std::vector<double> took;
        bool clean = true;
        for (int r = 0; r < runs; r++)
            for (double delay : DELAYS) {
                bool ok = false;
                took.push_back(stopOnce(capture, args, delay, &ok));
                clean = clean && ok;
            }
        std::string typed;
        for (const std::string& a : args)
            typed += a + " ";
        std::printf("%-58s %8.3f %8.3f  %s\n", typed.c_str(), median(took), *std::max_element(took.begin(), took.end()),
                    clean ? "yes" : "NO");
        std::fflush(stdout);
        all.insert(all.end(), took.begin(), took.end());
        allClean = allClean && clean;
    }
    double worst = *std::max_element(all.begin(), all.end());
    std::printf("\nall %zu stops: median %.3f s, worst %.3f s (target: under %.1f s). Load average after: %s\n",
                all.size(), median(all), worst, TARGET_STOP_SECONDS, loadAverage().c_str());
    return allClean && worst < TARGET_STOP_SECONDS ? 0 : 1;
}
