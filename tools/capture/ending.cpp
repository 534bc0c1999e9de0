// How a capture run ends: the stop flag and its signals, the failure line, the undo list.
#include "ending.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

volatile std::sig_atomic_t stopped = 0;

// What a failed or stopped run undoes, newest first: the encoder's files, the frames written,
// the folders made. Each process has its own: a process started for a range begins with none.
static std::vector<std::function<void()>> undo;
// Set in a process started for a range by the capture, with the flag its siblings share.
static bool forRange = false;
static std::atomic<bool>* failureSaidInRange = nullptr;

// The folders the capture made, for stopAtOnce: a fixed table, safe to read in a signal handler.
static char madeFolders[16][4096];
static volatile sig_atomic_t madeFolderCount = 0;

static void stop(int signal)
{
    stopped = signal;
}

static void stopAtOnce(int signal)
{
    static const char message[] = "quenrastilan-capture: stopped\n";
    if (!forRange) {
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

void stopOnSignals()
{
    onSignals(stop);
}

void stopAtOnceOnSignals()
{
    onSignals(stopAtOnce);
}

void undoOnFailure(std::function<void()> step)
{
    undo.push_back(std::move(step));
}

void keepNewest()
{
    undo.pop_back();
}

void keepAll()
{
    undo.clear();
}

void undoMadeFolder(const std::string& path)
{
    undo.push_back([path] { rmdir(path.c_str()); });
    if (madeFolderCount < 16 && path.size() < sizeof madeFolders[0]) {
        std::strcpy(madeFolders[madeFolderCount], path.c_str());
        madeFolderCount = madeFolderCount + 1;
    }
}

void startedForRange(std::atomic<bool>* failureSaid)
{
    undo.clear();
    forRange = true;
    failureSaidInRange = failureSaid;
    madeFolderCount = 0;
}

void fail(const std::string& message)
{
    // A process started for a range leaves "stopped" to the capture that started it.
    bool say = stopped ? !forRange : !message.empty();
    if (say && forRange && failureSaidInRange && failureSaidInRange->exchange(true))
        say = false;
    if (say)
        std::fprintf(stderr, "quenrastilan-capture: %s\n", stopped ? "stopped" : message.c_str());
    while (!undo.empty()) {
        std::function<void()> step = undo.back();
        undo.pop_back();
        step();
    }
    std::exit(stopped ? 128 + stopped : 1);
}

void stopIfAsked()
{
    if (stopped)
        fail("stopped");
}
