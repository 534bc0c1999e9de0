// A private Xvfb on a free display number, for the benchmark's playback runs and the end-to-end
// tests.
#ifndef QUENRASTILAN_TOOLS_XVFB_H
#define QUENRASTILAN_TOOLS_XVFB_H

#include <sys/types.h>

// Starts Xvfb with one screen of width x height at 24 bits, its output discarded, and waits
// until it takes connections. Returns its display number and sets `pid`, or returns -1 when it
// cannot start. `extraOption` (e.g. "-wr") is passed on when not null. The caller stops it.
int xvfb_start(int width, int height, pid_t& pid, const char* extraOption = nullptr);

#endif
