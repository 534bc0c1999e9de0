// Switching the GL matrices into a flat screen space for overlays, and back.
#ifndef QUENRASTILAN_RENDER_PROJECTION_H
#define QUENRASTILAN_RENDER_PROJECTION_H

// Saves both matrices and sets an orthographic space, x from 0 (left) to width, y from 0
// (bottom) to height; the model-view matrix is left current and the identity.
void perspective2D(float width, float height);
// Restores both matrices saved by the matching perspective2D; model-view is left current.
void perspective3D();

#endif
