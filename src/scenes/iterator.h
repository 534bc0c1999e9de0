// The iterated maps scene's point clouds and quarter rule, reachable by tests without GL.
#ifndef QUENRASTILAN_SCENES_ITERATOR_H
#define QUENRASTILAN_SCENES_ITERATOR_H

// Steps of every chaos game, one point each (the start point (0, 0) is not a point).
const int ITERATOR_STEPS = 50000;

// Which quarter of the scene is drawn at scene position t: 1 to 4, or 0 for none (near the
// quarter boundaries and at t = 1).
int iteratorQuarter(float t);

// The clouds at position p in their quarter, as the vertices drawn: xy[2i], xy[2i + 1] for
// step i, room for 2 ITERATOR_STEPS doubles. The random draws are made here.
// Four maps in polar form, chosen by rand (reseeded from p).
void iterator1Points(float p, double* xy);
// Three similarity maps, chosen by randFloat (rand is reseeded from p but not drawn from).
void iterator2Points(float p, double* xy);
// Three Mobius maps, chosen by rand (reseeded from p).
void iterator3Points(float p, double* xy);
// The inverse quadratic Julia map with a biased root, chosen by rand (not reseeded). The
// vertices are sent as floats.
void iterator4Points(float p, double* xy);

// Draw one cloud each, at position p in its quarter: iterator2 in the first quarter, then
// iterator3, iterator4 and iterator1.
void iterator1(float p);
void iterator2(float p);
void iterator3(float p);
void iterator4(float p);

#endif
