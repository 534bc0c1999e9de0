// A range (a folder of frames, a video or a master) rendered in several processes at once.
#ifndef QUENRASTILAN_CAPTURE_PIECES_H
#define QUENRASTILAN_CAPTURE_PIECES_H

#include "options.h"
#include "run.h"

// How many processes the range f of the options is rendered in: --jobs N as given; without it
// up to the number of cores, as many as the range's length pays for.
int processesFor(const Options& o, const Frames& f);

// Renders the range f in `jobs` processes, which take its pieces in turn, and joins a video's
// parts with the sound. Fails with one line (and undoes everything) on any error or Ctrl-C.
void captureInParts(const Options& o, const Frames& f, int jobs);

#endif
