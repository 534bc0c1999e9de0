// The credits writer of the opening scene and its pure parts, reachable by tests.
#ifndef QUENRASTILAN_SCENES_ALKU_H
#define QUENRASTILAN_SCENES_ALKU_H

#include "math/vector.h"

// The credit lines: seqN_1 the text, seqN_2 its filler, 32 bytes each with NULs at 30 and 31.
extern char seq1_1[32], seq1_2[32], seq2_1[32], seq2_2[32], seq3_1[32], seq3_2[32];
extern char seq4_1[32], seq4_2[32], seq5_1[32], seq5_2[32], seq6_1[32], seq6_2[32];
extern char seq7_1[32], seq7_2[32], seq8_1[32], seq8_2[32];

// The revealed fraction of a line (0 to 1) at t within its window [start, end]: nothing for
// the first 30 %, then character by character, snapping to whole from about 77 % on.
float writerReveal(float t, float start, float end);
// The 32 bytes drawn: the first `shown` from text, the rest from filler.
void writerCompose(char* line, const char* text, const char* filler, int shown);

// Draws one credit line at position in colour, fading over [start, end] and scaled by alpha.
// The third parameter has no effect.
void writer(Vector position, Vector colour, float unused, float t, float start, float end,
            float alpha, char* text, char* filler);

#endif
