// The web GL layer's matrices (gl_matrix.cpp): the three matrix stacks, the top of each the
// current matrix.
#ifndef QUENRASTILAN_RENDER_WEB_GL_MATRIX_H
#define QUENRASTILAN_RENDER_WEB_GL_MATRIX_H

#include "render/web/gl_names.h"

#include <vector>

namespace qgl {

// A 4x4 matrix in GL's order: column by column.
struct Mat {
    float m[16];
};

extern std::vector<Mat> modelview, projection, texmatrix;
Mat identity();
// Transforms the point in by a into out.
void transform(const Mat& a, const float in[4], float out[4]);

}  // namespace qgl

#endif
