// The scene timeline and the timeline functions every scene uses for sub-ranges and fades.
#ifndef QUENRASTILAN_FRAME_TIMELINE_H
#define QUENRASTILAN_FRAME_TIMELINE_H

// Show time in integer milliseconds; both ends of a range are inclusive.
const int TIMELINE_SCENES = 13;
extern const int timeline[TIMELINE_SCENES][2];
// The show ends after the first frame whose time exceeds this.
const int SHOW_END_MS = 244999;

// 1 when range[0] <= time <= range[1], else 0.
int testaaPos(int time, const int* range);
// The scene position: 0 at range[0], 1 at range[1], linear in between (single precision).
float laskePos(int time, const int* range);

// Position of t within [start, end], clamped to [0, 1].
float calcPosFloat(float t, float start, float end);
// A sine hump over [start, end] scaled by gain and clamped to [0, 1]: with gain > 1 it
// ramps up, holds 1 and ramps down; 0 outside the range and for gain <= 0.
float calcSaturate(float t, float start, float end, float gain);

#endif
