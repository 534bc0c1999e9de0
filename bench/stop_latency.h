// How promptly the capture tool stops on Ctrl-C: each of its modes started, interrupted part of
// the way into its work, and timed from the signal to its exit.
#ifndef QUENRASTILAN_BENCH_STOP_LATENCY_H
#define QUENRASTILAN_BENCH_STOP_LATENCY_H

#include <string>

// Runs every mode of the capture at `capture` `runs` times at each of three delays (0.3 s: the
// start-up, 1 s, 3 s), sends SIGINT and waits for the exit; prints per mode the median and the
// worst time from the signal to the exit, and whether every run ended with status 130 leaving
// nothing in its working folder or its TMPDIR. Returns 0 when all did and none took over the
// target.
int runStopLatency(const std::string& capture, int runs);

// A stop of every mode is meant to take under a second on a busy two-core machine.
const double TARGET_STOP_SECONDS = 1.0;

#endif
