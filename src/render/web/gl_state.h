// The web GL layer's shared state: the GL 1.x state the parts of the layer keep between calls
// (current vertex, enables, fog, lights, matrix stacks, textures, client arrays), and the few
// functions one part calls in another. Included by the layer's own sources only.
#ifndef QUENRASTILAN_RENDER_WEB_GL_STATE_H
#define QUENRASTILAN_RENDER_WEB_GL_STATE_H

#include <GLES3/gl3.h>

#include <functional>
#include <map>
#include <vector>

// GL 1.x names WebGL 2 does not have.
#define GL_QUADS 0x0007
#define GL_QUAD_STRIP 0x0008
#define GL_POLYGON 0x0009
#define GL_CURRENT_BIT 0x00000001
#define GL_POINT_BIT 0x00000002
#define GL_LINE_BIT 0x00000004
#define GL_LIGHTING_BIT 0x00000040
#define GL_FOG_BIT 0x00000080
#define GL_ENABLE_BIT 0x00002000
#define GL_LIST_BIT 0x00020000
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_TEXTURE 0x1702
#define GL_POINT_SMOOTH 0x0B10
#define GL_POINT_SIZE 0x0B11
#define GL_SMOOTH_POINT_SIZE_RANGE 0x0B12
#define GL_LINE_SMOOTH 0x0B20
#define GL_SMOOTH_LINE_WIDTH_RANGE 0x0B22
#define GL_LINE_STIPPLE 0x0B24
#define GL_LIGHTING 0x0B50
#define GL_LIGHT_MODEL_AMBIENT 0x0B53
#define GL_COLOR_MATERIAL 0x0B57
#define GL_FOG 0x0B60
#define GL_FOG_DENSITY 0x0B62
#define GL_FOG_START 0x0B63
#define GL_FOG_END 0x0B64
#define GL_FOG_MODE 0x0B65
#define GL_FOG_COLOR 0x0B66
#define GL_NORMALIZE 0x0BA1
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7
#define GL_ALPHA_TEST 0x0BC0
#define GL_CURRENT_COLOR 0x0B00
#define GL_EXP 0x0800
#define GL_EXP2 0x0801
#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_SPECULAR 0x1202
#define GL_POSITION 0x1203
#define GL_EMISSION 0x1600
#define GL_SHININESS 0x1601
#define GL_AMBIENT_AND_DIFFUSE 0x1602
#define GL_COMPILE_AND_EXECUTE 0x1301
#define GL_LIGHT0 0x4000
#define GL_VERTEX_ARRAY 0x8074
#define GL_NORMAL_ARRAY 0x8075
#define GL_COLOR_ARRAY 0x8076
#define GL_TEXTURE_COORD_ARRAY 0x8078
#define GL_DOUBLE 0x140A
#define GL_CLAMP 0x2900
#define GL_INTENSITY 0x8049
#define GL_GENERATE_MIPMAP 0x8191
#define GL_STACK_OVERFLOW 0x0503
#define GL_STACK_UNDERFLOW 0x0504
typedef double GLdouble;

namespace qgl {

const int MAX_LIGHTS = 8;

// A 4x4 matrix in GL's order: column by column.
struct Mat {
    float m[16];
};

// A full vertex as the shader takes it: position, colour, texture coordinate, normal.
struct Vtx {
    float p[4], c[4], t[2], n[3];
};

struct ClientArray {
    bool enabled = false;
    int size = 4;
    GLenum type = GL_FLOAT;
    int stride = 0;
    const void* pointer = nullptr;
    GLuint buffer = 0;
};

struct ClientState {
    ClientArray vertex, color, texcoord, normal;
    GLuint arrayBuffer = 0, elementBuffer = 0;
};

struct Light {
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};
    float specular[4] = {0, 0, 0, 1};
    float position[4] = {0, 0, 1, 0};  // eye space
};

struct Enables {
    bool blend = false, depth = false, scissor = false, cull = false;
    bool texture = false, fog = false, lighting = false, normalize = false;
    bool lineSmooth = false, pointSmooth = false;
    bool light[MAX_LIGHTS] = {};
};

struct Fog {
    GLenum mode = GL_EXP;
    float density = 1.0f, start = 0.0f, end = 1.0f;
    float color[4] = {0, 0, 0, 0};
};

// Everything glPushAttrib saves; glPopAttrib restores the groups its mask named.
struct ServerState {
    Enables en;
    float color[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    float texcoord[2] = {0, 0};
    float pointSize = 1.0f, lineWidth = 1.0f;
    Fog fog;
    Light lights[MAX_LIGHTS];
    float sceneAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    GLuint listBase = 0;
    GLenum blendSrc = GL_ONE, blendDst = GL_ZERO;
    bool depthMask = true;
};

struct Material {
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    float specular[4] = {0, 0, 0, 1};
    float emission[4] = {0, 0, 0, 1};
    float shininess = 0.0f;
};

// One thing done to a texture's images, kept to be done again on a new WebGL context: an image
// or part of one given (its pixels copied as the unpack alignment laid them out), or the
// mipmaps made from the base image.
struct TextureStep {
    enum Kind { IMAGE, SUB_IMAGE, MIPMAPS } kind = IMAGE;
    GLint level = 0, x = 0, y = 0;
    GLsizei width = 0, height = 0;
    GLenum format = 0, type = 0;
    GLint alignment = 4;
    std::vector<unsigned char> pixels;  // empty: none given
};

struct TextureInfo {
    GLuint web = 0;  // WebGL's texture for the layer's name, on the context of the moment
    bool alphaOnly = false;
    bool hasImage = false;
    // GL 1.4's GL_GENERATE_MIPMAP: WebGL has no such parameter, so the mipmaps are made here
    // whenever the base image is given.
    bool generateMipmap = false;
    std::map<GLenum, GLint> parameters;  // as WebGL was given them
    std::vector<TextureStep> steps;      // in order, those a later image made moot left out
};

// gl_state.cpp: the server state glPushAttrib saves, the viewport, the first error raised.
extern ServerState S;
extern int viewportW, viewportH;
extern float maxPointSize;
// Keeps the first error the layer raises until it is taken.
void raise(GLenum e);
// Sets an enable flag and, for the capabilities WebGL has, WebGL's own.
void setEnabled(GLenum cap, bool on);
void applyEnables(const Enables& e);
// Sets WebGL's state as the show last set it: on a new context, and after a frame made again.
void restoreWebState();
// Keeps WebGL's state as a frame begins, and sets it so again to make the frame again.
void rememberFrameStart();
void setFrameStart();

// gl_matrix.cpp: the three matrix stacks, the top of each the current matrix.
extern std::vector<Mat> modelview, projection, texmatrix;
Mat identity();
// Transforms the point in by a into out.
void transform(const Mat& a, const float in[4], float out[4]);

// gl_light.cpp: the front and back material (one, as the show sets it).
extern Material material;

// gl_texture.cpp: what the layer knows of each texture name, and the one bound. The names the
// show holds are the layer's; each stands for a WebGL texture.
extern std::map<GLuint, TextureInfo> textures;
extern GLuint boundTexture;
// WebGL's texture for a name of the layer's (0 for none).
GLuint webTexture(GLuint name);
// Makes every texture again on a new context, as it was given, and binds the bound one.
void restoreTextures();

// gl_array.cpp: the client array state glPushClientAttrib saves.
extern ClientState client;

// gl_shader.cpp: the programs, one for each variant of the state a draw needs.
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

// gl_batch.cpp: the draw every primitive ends in, gathered with the draws before it when they
// can be one WebGL draw.
// One attribute of a draw's vertices: `size` floats every `stride` bytes from data, or, when
// data is null, the constant `value` for every vertex.
struct Attrib {
    const unsigned char* data = nullptr;
    int size = 4, stride = 0;
    const float* value = nullptr;
};
struct Vertices {
    Attrib pos, col, tex, nrm;
    int count = 0;
};
// Draws the vertices as primitives of mode, as GL 1.x would, reading them before it returns.
void submit(GLenum mode, const Vertices& v);

// gl_queue.cpp: the frame's WebGL work, queued.
// Makes the vertex array, buffers and texture the queued draws go through.
void makeDrawBuffers();
// Makes the queued WebGL work: at the end of a frame, and before WebGL is asked anything or a
// texture changes.
void flush();
// Drops the queued work, for a lost context.
void dropQueue();
// Begins a frame: what was queued before it is made, and the frame's work kept from here on.
void startFrame();
// Makes the last frame's work again, WebGL's state set as it began and left as it is: false
// when it was not kept whole.
bool makeFrameAgain();

// gl_draw.cpp: immediate mode.
// The current colour, texture coordinate and normal at position (x, y, z, w).
Vtx currentVertex(float x, float y, float z, float w);
// Draws full vertices as primitives of mode, the attributes that do not vary given as constants.
void drawVertices(GLenum mode, const std::vector<Vtx>& v);

// gl_list.cpp: display lists. While a list is being compiled, the 25 calls that begin with
// RECORD are stored in it and, for GL_COMPILE_AND_EXECUTE, made as well: glBegin, glEnd,
// glVertex4f, glColor4f, glNormal3f, glTexCoord2f, glPointSize, glLineWidth (and the inline
// forms over them); glMatrixMode, glLoadIdentity, glPushMatrix, glPopMatrix, glLoadMatrixf,
// glMultMatrixf, glTranslatef, glRotatef, glScalef; glEnable, glDisable, glBlendFunc,
// glBindTexture; glCallList, glListBase, glPushAttrib, glPopAttrib. glCallLists is stored as the
// glCallList of each name, the list base applied as it compiles. Every other call is made at
// once and not stored: glOrtho, glFrustum and gluPerspective among them, and gluLookAt's
// rotation (its translation is stored).
extern GLuint compilingList;
// Stores call in the list being compiled; true when it is to be made now as well.
bool recordCall(std::function<void()> call);

#define RECORD(call)                                                       \
    if (qgl::compilingList != 0 && !qgl::recordCall([=] { call; }))       \
        return;

}  // namespace qgl

// The layer's own GL calls that glPopAttrib makes again (gl_compat.h declares them all, beside
// the GL 1.x names the layer itself must not see).
void qgl_BlendFunc(GLenum s, GLenum d);
void qgl_DepthMask(GLboolean flag);

#endif
