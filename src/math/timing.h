// The timing functions every scene uses to turn its position into sub-ranges and fades.
//
// Conventions of the math library (see vector.h): single precision throughout.
#ifndef QUENRASTILAN_MATH_TIMING_H
#define QUENRASTILAN_MATH_TIMING_H

// Position of t within [start, end], clamped to [0, 1].
float calcPosFloat(float t, float start, float end);
// A sine hump over [start, end] scaled by gain and clamped to [0, 1]: with gain > 1 it
// ramps up, holds 1 and ramps down; 0 outside the range and for gain <= 0.
float calcSaturate(float t, float start, float end, float gain);

#endif
