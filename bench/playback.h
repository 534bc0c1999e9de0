// Playback as a viewer sees it: the real player under a private Xvfb, every swap timestamped by
// a probe loaded with LD_PRELOAD, figures per scene.
#ifndef QUENRASTILAN_BENCH_PLAYBACK_H
#define QUENRASTILAN_BENCH_PLAYBACK_H

#include "frame/timeline.h"

#include <string>
#include <vector>

// One swap of the player as the probe noted it.
struct Swap {
    double ms;            // monotonic time after the swap returned
    long faults;          // the process's minor page faults so far
    unsigned ticks;       // the SDL_GetTicks value the frame was timed by
    double cpuMs;         // CPU time of all the process's threads so far
};

// What one run of the player shows, per scene of the timeline: its frames' times from swap to
// swap. A frame belongs to every scene drawn in it (scenes overlap for a moment where they meet).
struct SceneFigures {
    int frames = 0;
    double meanFps = 0;
    double slowestFivePercentMs = 0;  // 95th percentile of the frame times
    double worstMs = 0;
    double faultsPerFrame = 0;
    // CPU time of all the player's threads, a frame: what the frame costs on an otherwise idle
    // machine of two cores is about max(this / 2, the time it spends on one core).
    double cpuMsPerFrame = 0;
};

struct PlaybackRun {
    std::string name;          // "window 1024x768" or "full screen 1920x1080"
    int fromMs = 0, toMs = 0;  // the show times played
    double firstFrameMs = 0;   // from the player's start to its first frame of the show
    double firstFrameCpuMs = 0;  // the CPU time the player had used by then
    std::vector<SceneFigures> scenes;  // in timeline order; frames == 0 where none was drawn
    SceneFigures whole;                // every frame of the run
};

// Turns the probe's log of one run into figures: the first swap is the start-up frame, the
// second the first frame of the show at `fromMs`; each later frame's time is the time since the
// swap before it. False when the log holds no first frame; a run whose second frame falls at or
// after `toMs` has a first frame and no frames to time.
bool playbackFigures(double loadMs, const std::vector<Swap>& swaps, int fromMs, int toMs, PlaybackRun& run);

struct PlaybackOptions {
    std::string player, probe, json;
    int fromMs = 0, toMs = SHOW_LENGTH_MS;
    bool window = true, full = true;
};

// Runs the player in each mode asked for and prints a table (and JSON when asked); returns the
// process's exit status.
int runPlayback(const PlaybackOptions& options);

#endif
