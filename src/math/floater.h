// Floater: the particle of the two flow scenes, carried by the scene's vector field, leaving a
// short red streak and living for a random time that runs out five times faster outside a cube.
//
// Conventions of the math library (see vector.h): single precision throughout.
// A Floater owns no other memory, so the Lista holding it may free it without its destructor.
#ifndef QUENRASTILAN_MATH_FLOATER_H
#define QUENRASTILAN_MATH_FLOATER_H

#include "math/vector.h"

class Floater {
public:
    Vector position;  // where the particle is now
    Vector previous;  // where it was before the last move
    float life;       // remaining life, in the units of update's dt (scene position)
    float maxlife;    // the life it was born with

    // Draws from randFloat, in order: the life u 0.3 + life 0.7, then a uniform point in the
    // cube of half-edge radius (threeD) or in the square of half-edge radius in the plane y = 0.
    Floater(bool threeD, float life, float radius);

    // Moves the particle by velocity dt and ages it by dt, or by 5 dt while any coordinate lies
    // outside [-bound, bound]; dt is raised to at least 0.0015. Returns false once life <= 0,
    // in which case the particle has not moved (previous has been set to position already).
    bool update(float dt, float bound, Vector velocity);

    // The streak from position to previous, red with alpha times a fade over the life.
    // The caller has opened glBegin(GL_LINES).
    void draw(float alpha);
    // The same streak for a vertex array: position then previous into vertices[0..1], and the
    // colour draw() would set into colours[0..3] and again into colours[4..7].
    void streak(float alpha, Vector* vertices, float* colours) const;
};

#endif
