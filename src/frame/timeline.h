// The timeline walk: which scenes a show time draws, and each one's position in its range.
#ifndef QUENRASTILAN_FRAME_TIMELINE_H
#define QUENRASTILAN_FRAME_TIMELINE_H

#include <string>

// Show time in integer milliseconds; both ends of a range are inclusive. The ranges themselves
// are the scene table's (scenes/scene_table.h).

// The show's last drawn millisecond: it ends after the first frame whose time exceeds this.
const int SHOW_END_MS = 244999;
// The show's length in ms, and the latest show time the capture tool and the benchmark take:
// the first frame past the end (white) is drawn and shown as well.
const int SHOW_LENGTH_MS = SHOW_END_MS + 1;

// 1 when range[0] <= time <= range[1], else 0.
int testaaPos(int time, const int* range);
// The scene position: 0 at range[0], 1 at range[1], linear in between (single precision).
float laskePos(int time, const int* range);

// The titles of the scenes drawn at time, in timeline order, joined by `separator` ("Typed
// credits and Spinning Platonic solids" in an overlap); empty past the last scene.
std::string scenesAt(int time, const char* separator);

#endif
