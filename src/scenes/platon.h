// The Platonic solids scene's solids, reachable by tests without a GL context.
#ifndef QUENRASTILAN_SCENES_PLATON_H
#define QUENRASTILAN_SCENES_PLATON_H

#include "math/list.h"
#include "math/vector.h"

const int PLATON_COUNT = 250;

// One solid of the loop. Kept in a Lista, which frees it without running a destructor: the
// type holds plain values only.
struct platonStruct {
    Vector position;       // centre in world space
    Vector rotationStart;  // turns about x, y and z at t = 0, each in [0, 1]
    Vector rotationEnd;    // turns at t = 1, each in [0, 2]
    int type;              // 0 tetrahedron, 1 octahedron, 2 cube, 3 icosahedron, 4 dodecahedron

    // Draws the solid at scene position t, turned and scaled to circumradius 0.04.
    void draw(float t);
};

// The 250 solids in creation order; built by platon_init, released by platon_free.
extern Lista* platonstructs;

#endif
