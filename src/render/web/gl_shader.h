// The web GL layer's programs (gl_shader.cpp): one for each variant of the state a draw needs,
// built when first needed, and the uniforms they are given. The shaders' text is gl_shader_text.h.
#ifndef QUENRASTILAN_RENDER_WEB_GL_SHADER_H
#define QUENRASTILAN_RENDER_WEB_GL_SHADER_H

#include "render/web/gl_light.h"
#include "render/web/gl_matrix.h"

namespace qgl {

// The vertex attributes, at these locations.
enum Attr { A_POS, A_COL, A_TEX, A_NRM, A_IDS, ATTR_COUNT };
// Lines read their vertices from a texture on this unit.
const int LINE_UNIT = 1;
// Draws gathered into one WebGL draw each take their own modelview from a palette of this many
// matrices, chosen per vertex (A_IDS's first component).
const int PALETTE = 32;
// Everything a draw's shader reads apart from its modelview: the program variant (the kind of
// primitive, 0 triangles, 1 points, 2 lines, and the per-fragment work the state asks for) and
// the uniform values. Compared bytewise: two draws of equal ShaderState can be one WebGL draw.
struct ShaderState {
    int variant;
    GLuint texture;
    float proj[16];
    float size;
    float halfVp[2];
    int normalize;
    float sceneAmbient[4], matAmbient[4], matDiffuse[4], matSpecular[4], matEmission[4];
    float matShininess;
    int lights;
    float lightPos[4 * MAX_LIGHTS], lightAmb[4 * MAX_LIGHTS], lightDif[4 * MAX_LIGHTS], lightSpe[4 * MAX_LIGHTS];
    float fog[3], fogColor[3];
};
// The current state as a draw of this kind reads it; its unused fields are zero.
void captureState(int kind, ShaderState& out);
// Whether the variant reads texture coordinates and normals.
bool variantTextured(int variant);
bool variantLit(int variant);
// The variant bit of lines whose vertices have a w other than 1.
int variantWithW();
// Makes the variant's program current (built on first use) with the state's uniforms and the
// n modelview matrices of palette. False when the program does not build.
bool useState(const ShaderState& state, const Mat* palette, int n);
// Where the current line program finds its vertices in the line texture: from texel `first`
// on, `texels` texels a vertex, a segment every `step` vertices.
void setLineSource(int first, int step, int texels);
// Builds the program of plain triangles, to learn early whether the browser's WebGL can, and
// starts those of the other variants the show draws with.
bool buildPrograms(const char** error);
// Forgets the programs of a lost context: each is built again when next used.
void forgetPrograms();

}  // namespace qgl

#endif
