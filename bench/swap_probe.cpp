// A probe loaded into the real player with LD_PRELOAD: it notes every SDL_GL_SwapBuffers, so
// that playback is timed as a viewer sees it, by the unchanged program. Each swap appends one
// line to the file named by QUENRASTILAN_SWAP_LOG:
//   swap <monotonic ns> <minor page faults so far> <the SDL_GetTicks value the frame was timed by>
//        <CPU time of all the player's threads so far, microseconds>
// and the file starts with "load <monotonic ns>", the moment the player was loaded. The show
// reads its clock once per frame just before drawing, so the last SDL_GetTicks before a swap is
// that frame's clock.
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

static int logFd = -1;
static Uint32 lastTicks = 0;

static long long monotonicNs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

static void writeLine(const char* line, int length)
{
    if (logFd >= 0 && length > 0 && write(logFd, line, (size_t)length) != length) {
        close(logFd);
        logFd = -1;
    }
}

__attribute__((constructor)) static void probeLoaded()
{
    const char* path = std::getenv("QUENRASTILAN_SWAP_LOG");
    if (!path || !*path)
        return;
    logFd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    char line[64];
    writeLine(line, std::snprintf(line, sizeof line, "load %lld\n", monotonicNs()));
}

extern "C" Uint32 SDL_GetTicks(void)
{
    static Uint32 (*real)(void) = (Uint32(*)(void))dlsym(RTLD_NEXT, "SDL_GetTicks");
    lastTicks = real();
    return lastTicks;
}

extern "C" void SDL_GL_SwapBuffers(void)
{
    static void (*real)(void) = (void (*)(void))dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers");
    Uint32 ticks = lastTicks;
    real();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    long long cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL + usage.ru_utime.tv_usec +
                    usage.ru_stime.tv_usec;
    char line[128];
    writeLine(line, std::snprintf(line, sizeof line, "swap %lld %ld %u %lld\n", monotonicNs(), usage.ru_minflt,
                                  (unsigned)ticks, cpu));
}
