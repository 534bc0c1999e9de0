// The five Platonic solids: their vertex and face tables and the functions that draw them as
// flat-shaded polygons around the origin, one normal per face.
//
// Conventions of the math library (see vector.h): single precision throughout.
// Every face is listed clockwise as seen from outside. The normal sent for a face is
// (P2 - P0).crossProduct(P1 - P0), normalized, with the program's own crossProduct: the outward
// normal with its y component negated. The Platonic solids scene's lighting rests on that.
#ifndef QUENRASTILAN_MATH_PLATONIC_H
#define QUENRASTILAN_MATH_PLATONIC_H

#include "math/vector.h"

extern Vector tetravertices[4];    // circumradius sqrt(3)
extern Vector octavertices[6];     // circumradius 1
extern Vector cubevertices[8];     // circumradius sqrt(3)
extern Vector icosavertices[12];   // circumradius 1
extern Vector dodecavertices[20];  // circumradius 1

extern const int tetrafaces[4][3];
extern const int octafaces[8][3];
extern const int cubefaces[6][4];
extern const int icosafaces[20][3];
extern const int dodecafaces[12][5];

// The normal sent for a face whose first three vertex indices are face[0..2].
Vector faceNormal(const Vector* vertices, const int* face);

// Each draws in the current modelview transform with the current colour and lighting state and
// touches no other GL state: one glNormal3fv per face, then the face's glVertex3fv calls.
void tetrahedron();   // one GL_TRIANGLES block
void octahedron();    // one GL_TRIANGLES block
void hexahedron();    // the cube: one GL_QUADS block
void icosahedron();   // one GL_TRIANGLES block
void dodecahedron();  // one GL_POLYGON block per face

#endif
