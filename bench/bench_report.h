// The benchmark's figures, and the table and JSON they are reported as.
#ifndef QUENRASTILAN_BENCH_REPORT_H
#define QUENRASTILAN_BENCH_REPORT_H

#include "scenes/scene_table.h"

#include <cstdio>
#include <string>

const int BENCH_POSITIONS = 5;
const float BENCH_POSITION[BENCH_POSITIONS] = {0.1f, 0.3f, 0.5f, 0.7f, 0.9f};

// Targets on a two-core machine with llvmpipe.
const double TARGET_INIT_TOTAL_MS = 300;
const double TARGET_NOOP_FRAME_MS = 5;
const double TARGET_PEAK_MB = 150;
const double TARGET_GROWTH_RATIO = 2.5;

struct BenchResults {
    int frames = 0, starts = 0;
    double initMs[SCENE_COUNT] = {};  // median CPU time of each init, in start-up order
    double initTotalMs = 0;                       // median of the start-ups' totals
    // Per scene in timeline order and position: median CPU time of the draw call with the no-op
    // driver, and median wall time of a whole frame with llvmpipe.
    double noopMs[SCENE_COUNT][BENCH_POSITIONS] = {};
    double fullMs[SCENE_COUNT][BENCH_POSITIONS] = {};
    double fullHdMs[SCENE_COUNT][BENCH_POSITIONS] = {};  // the same at 1440x1080
    double peakMB = -1;  // peak resident memory of a whole run; negative when not measured
    double growthTestMs = 0, growthCountsMs = 0;
    bool aggregatesIdentical = false;
};

void printTable(const BenchResults& r, FILE* out);
bool writeJson(const BenchResults& r, const std::string& path, std::string& error);

#endif
