// OpenGL 1.x on WebGL 2 for the web build (see gl_compat.h). Every primitive, from glBegin/glEnd,
// a display list or client arrays, becomes an array of full vertices (position, colour, texture
// coordinate, normal) drawn by one shader program: triangles as they are, points as discs
// through gl_PointSize, lines as instanced quads two endpoints wide, widened in screen space.
// The shader does what the desktop pipeline does for the show: the modelview and projection,
// one or more lights on the default material, texture modulation and fog per fragment.
#include <GLES3/gl3.h>

#include <cmath>
#include <cstdint>
#include <cstring>
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

namespace {

const int MAX_LIGHTS = 8;

struct Mat {
    float m[16];
};

Mat identity()
{
    Mat r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
    return r;
}

Mat mul(const Mat& a, const Mat& b)
{
    Mat r;
    for (int c = 0; c < 4; c++)
        for (int row = 0; row < 4; row++) {
            float s = 0.0f;
            for (int k = 0; k < 4; k++)
                s += a.m[k * 4 + row] * b.m[c * 4 + k];
            r.m[c * 4 + row] = s;
        }
    return r;
}

void transform(const Mat& a, const float in[4], float out[4])
{
    for (int row = 0; row < 4; row++)
        out[row] = a.m[row] * in[0] + a.m[4 + row] * in[1] + a.m[8 + row] * in[2] + a.m[12 + row] * in[3];
}

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

struct TextureInfo {
    bool alphaOnly = false;
    bool hasImage = false;
    // GL 1.4's GL_GENERATE_MIPMAP: WebGL has no such parameter, so the mipmaps are made here
    // whenever the base image is given.
    bool generateMipmap = false;
};

ServerState S;
Material material;
ClientState client;
std::vector<std::pair<GLbitfield, ServerState>> attribStack;
std::vector<ClientState> clientStack;
std::vector<Mat> modelview(1, identity()), projection(1, identity()), texmatrix(1, identity());
GLenum matrixMode = GL_MODELVIEW;
GLuint boundTexture = 0;
std::map<GLuint, TextureInfo> textures;
std::map<GLuint, std::vector<unsigned char>> buffers;
GLuint nextBuffer = 1;
std::map<GLuint, std::vector<std::function<void()>>> lists;
GLuint nextList = 1;
GLuint compilingList = 0;
GLenum compileMode = 0;
GLenum layerError = GL_NO_ERROR;
int viewportW = 1024, viewportH = 768;
float maxPointSize = 64.0f;

GLenum primitive = 0;
bool inBeginEnd = false;
std::vector<Vtx> immediate;
std::vector<Vtx> scratch;

GLuint program = 0, vao = 0, vbo = 0, cornerVbo = 0;
// The frame is drawn off screen with a 16-bit depth buffer, as on the desktop (a canvas's own
// depth buffer is usually 24 bits, which changes which of two near lines wins the depth test),
// and copied to the canvas at its end.
GLuint frameBuffer = 0, colourBuffer = 0, depthBuffer = 0;
int frameW = 0, frameH = 0;

void raise(GLenum e)
{
    if (layerError == GL_NO_ERROR)
        layerError = e;
}

std::vector<Mat>& stack()
{
    return matrixMode == GL_PROJECTION ? projection : matrixMode == GL_TEXTURE ? texmatrix : modelview;
}

// While a list is being compiled, the call is stored in it (and, for GL_COMPILE_AND_EXECUTE,
// made as well).
#define RECORD(call)                                      \
    if (compilingList != 0) {                             \
        lists[compilingList].push_back([=] { call; });    \
        if (compileMode != GL_COMPILE_AND_EXECUTE)        \
            return;                                       \
    }

const char* VERTEX_SHADER = R"(#version 300 es
precision highp float;
precision highp int;
in vec4 a_pos; in vec4 a_col; in vec2 a_tex; in vec3 a_nrm;
in vec4 a_pos1; in vec4 a_col1; in vec2 a_corner;
uniform mat4 u_mv, u_proj;
uniform int u_kind;
uniform bool u_smooth;
uniform float u_size;
uniform vec2 u_half_vp;
uniform bool u_lighting, u_normalize;
uniform vec4 u_scene_ambient, u_mat_ambient, u_mat_diffuse, u_mat_specular, u_mat_emission;
uniform float u_mat_shininess;
uniform int u_lights;
uniform vec4 u_light_pos[8], u_light_amb[8], u_light_dif[8], u_light_spe[8];
out vec4 v_col; out vec2 v_tex; out float v_fog; out vec3 v_line;

vec4 lit(vec3 eye, vec3 n) {
    vec4 c = u_mat_emission + u_scene_ambient * u_mat_ambient;
    for (int i = 0; i < 8; i++) {
        if (i >= u_lights) break;
        vec4 lp = u_light_pos[i];
        vec3 l = lp.w == 0.0 ? normalize(lp.xyz) : normalize(lp.xyz / lp.w - eye);
        float nl = max(dot(n, l), 0.0);
        c += u_light_amb[i] * u_mat_ambient + nl * u_light_dif[i] * u_mat_diffuse;
        if (nl > 0.0) {
            float nh = max(dot(n, normalize(l + vec3(0.0, 0.0, 1.0))), 0.0);
            c += (u_mat_shininess == 0.0 ? 1.0 : pow(nh, u_mat_shininess)) * u_light_spe[i] * u_mat_specular;
        }
    }
    c = clamp(c, 0.0, 1.0);
    c.a = u_mat_diffuse.a;
    return c;
}

void main() {
    v_tex = a_tex;
    v_line = vec3(0.0);
    if (u_kind == 2) {
        vec4 e0 = u_mv * a_pos, e1 = u_mv * a_pos1;
        vec4 c0 = u_proj * e0, c1 = u_proj * e1;
        vec4 k0 = a_col, k1 = a_col1;
        // Clipped to the near plane first, so that the screen direction is defined.
        float d0 = c0.z + c0.w, d1 = c1.z + c1.w;
        if (d0 < 0.0 && d1 < 0.0) {
            gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
            v_col = vec4(0.0); v_fog = 0.0;
            return;
        }
        if (d0 < 0.0) { float t = d0 / (d0 - d1); c0 = mix(c0, c1, t); e0 = mix(e0, e1, t); k0 = mix(k0, k1, t); }
        if (d1 < 0.0) { float t = d1 / (d1 - d0); c1 = mix(c1, c0, t); e1 = mix(e1, e0, t); k1 = mix(k1, k0, t); }
        vec2 s0 = c0.xy / c0.w * u_half_vp, s1 = c1.xy / c1.w * u_half_vp;
        vec2 dir = s1 - s0;
        float len = length(dir);
        dir = len > 1e-6 ? dir / len : vec2(1.0, 0.0);
        vec2 across = vec2(-dir.y, dir.x);
        float halfw = u_smooth ? u_size * 0.5 + 1.0 : max(u_size, 1.0) * 0.5;
        bool far = a_corner.x > 0.5;
        vec4 c = far ? c1 : c0;
        vec4 e = far ? e1 : e0;
        // The band reaches a pixel past each end too; fragments there cover nothing but
        // are drawn, depth included, as the desktop driver draws them.
        float ext = u_smooth ? 1.0 : 0.0;
        vec2 off = across * (a_corner.y * halfw) + dir * (far ? ext : -ext);
        c.xy += off / u_half_vp * c.w;
        gl_Position = c;
        v_col = far ? k1 : k0;
        v_fog = abs(e.z / e.w);
        v_line = vec3(a_corner.y * halfw, far ? len + ext : -ext, far ? -ext : len + ext);
        return;
    }
    vec4 e = u_mv * a_pos;
    gl_Position = u_proj * e;
    v_fog = abs(e.z / e.w);
    if (u_kind == 1)
        gl_PointSize = u_smooth ? ceil(u_size) + 2.0 : max(floor(u_size + 0.5), 1.0);
    if (u_lighting) {
        vec3 n = transpose(inverse(mat3(u_mv))) * a_nrm;
        if (u_normalize) n = normalize(n);
        v_col = lit(e.xyz / e.w, n);
    } else {
        v_col = a_col;
    }
}
)";

const char* FRAGMENT_SHADER = R"(#version 300 es
precision highp float;
precision highp int;
in vec4 v_col; in vec2 v_tex; in float v_fog; in vec3 v_line;
uniform int u_kind;
uniform bool u_smooth;
uniform float u_size;
uniform bool u_texture, u_tex_alpha;
uniform sampler2D u_tex;
uniform int u_fog_mode;
uniform vec3 u_fog;
uniform vec3 u_fog_color;
out vec4 o;
void main() {
    vec4 c = v_col;
    if (u_texture) {
        vec4 t = texture(u_tex, v_tex);
        if (u_tex_alpha) c.a *= t.a; else c *= t;
    }
    // Coverage as the desktop driver has it: a smooth point is the disc of its diameter, the
    // pixels whose centres lie inside; a smooth line the share of the pixel its band covers.
    if (u_kind == 1 && u_smooth) {
        vec2 d = (gl_PointCoord - 0.5) * (ceil(u_size) + 2.0);
        if (length(d) >= u_size * 0.5) discard;
    } else if (u_kind == 2 && u_smooth) {
        c.a *= clamp(u_size * 0.5 + 0.5 - abs(v_line.x), 0.0, 1.0) * clamp(0.5 + min(v_line.y, v_line.z), 0.0, 1.0);
    }
    if (u_fog_mode != 0) {
        float f = u_fog_mode == 1 ? (u_fog.y - v_fog) / (u_fog.y - u_fog.x)
                : u_fog_mode == 2 ? exp(-u_fog.z * v_fog) : exp(-(u_fog.z * v_fog) * (u_fog.z * v_fog));
        c.rgb = mix(u_fog_color, c.rgb, clamp(f, 0.0, 1.0));
    }
    o = c;
}
)";

enum Attr { A_POS, A_COL, A_TEX, A_NRM, A_POS1, A_COL1, A_CORNER };
const char* const ATTR_NAMES[] = {"a_pos", "a_col", "a_tex", "a_nrm", "a_pos1", "a_col1", "a_corner"};

// Uniform locations and the values last sent, so that an unchanged value is not sent again.
struct Uniform {
    GLint loc = -1;
    std::vector<float> last;
    bool send(const float* v, size_t n)
    {
        if (last.size() == n && std::memcmp(last.data(), v, n * sizeof(float)) == 0)
            return false;
        last.assign(v, v + n);
        return true;
    }
    void f1(float v)
    {
        if (send(&v, 1))
            glUniform1f(loc, v);
    }
    void i1(int v)
    {
        float f = (float)v;
        if (send(&f, 1))
            glUniform1i(loc, v);
    }
    void f2(float a, float b)
    {
        float v[2] = {a, b};
        if (send(v, 2))
            glUniform2fv(loc, 1, v);
    }
    void f3(const float* v)
    {
        if (send(v, 3))
            glUniform3fv(loc, 1, v);
    }
    void f4(const float* v, int count = 1)
    {
        if (send(v, 4 * count))
            glUniform4fv(loc, count, v);
    }
    void m4(const Mat& m)
    {
        if (send(m.m, 16))
            glUniformMatrix4fv(loc, 1, GL_FALSE, m.m);
    }
};

struct Uniforms {
    Uniform mv, proj, kind, smooth, size, halfVp, lighting, normalize, sceneAmbient, matAmbient, matDiffuse,
        matSpecular, matEmission, matShininess, lights, lightPos, lightAmb, lightDif, lightSpe, texture, texAlpha,
        tex, fogMode, fog, fogColor;
} U;

GLuint compile(GLenum type, const char* source, const char** error)
{
    GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        static char log[1024];
        glGetShaderInfoLog(s, sizeof log, nullptr, log);
        *error = log;
        return 0;
    }
    return s;
}

// Reads element i of a client array as up to four floats over the defaults in out.
void readArray(const ClientArray& a, int i, float* out)
{
    const unsigned char* base = (const unsigned char*)a.pointer;
    if (a.buffer != 0) {
        auto it = buffers.find(a.buffer);
        if (it == buffers.end())
            return;
        base = it->second.data() + (uintptr_t)a.pointer;
    }
    int elementSize = a.type == GL_DOUBLE ? 8 : a.type == GL_FLOAT || a.type == GL_INT || a.type == GL_UNSIGNED_INT ? 4
                      : a.type == GL_SHORT || a.type == GL_UNSIGNED_SHORT                                          ? 2
                                                                                                                   : 1;
    int stride = a.stride != 0 ? a.stride : elementSize * a.size;
    const unsigned char* p = base + (size_t)stride * i;
    for (int k = 0; k < a.size; k++) {
        switch (a.type) {
        case GL_FLOAT: std::memcpy(&out[k], p + 4 * k, 4); break;
        case GL_DOUBLE: { double d; std::memcpy(&d, p + 8 * k, 8); out[k] = (float)d; break; }
        case GL_INT: { int32_t v; std::memcpy(&v, p + 4 * k, 4); out[k] = (float)v; break; }
        case GL_SHORT: { int16_t v; std::memcpy(&v, p + 2 * k, 2); out[k] = (float)v; break; }
        case GL_UNSIGNED_BYTE: out[k] = p[k] / 255.0f; break;
        case GL_BYTE: out[k] = (float)(signed char)p[k]; break;
        default: out[k] = 0.0f;
        }
    }
}

Vtx currentVertex(float x, float y, float z, float w)
{
    Vtx v;
    v.p[0] = x, v.p[1] = y, v.p[2] = z, v.p[3] = w;
    std::memcpy(v.c, S.color, sizeof v.c);
    std::memcpy(v.t, S.texcoord, sizeof v.t);
    std::memcpy(v.n, S.normal, sizeof v.n);
    return v;
}

Vtx arrayVertex(int i)
{
    Vtx v = currentVertex(0, 0, 0, 1);
    if (client.vertex.enabled)
        readArray(client.vertex, i, v.p);
    if (client.color.enabled)
        readArray(client.color, i, v.c);
    if (client.texcoord.enabled)
        readArray(client.texcoord, i, v.t);
    if (client.normal.enabled) {
        ClientArray n = client.normal;
        n.size = 3;
        readArray(n, i, v.n);
    }
    return v;
}

void pointer(GLuint attr, int floats, size_t stride, size_t offset, int divisor)
{
    glEnableVertexAttribArray(attr);
    glVertexAttribPointer(attr, floats, GL_FLOAT, GL_FALSE, (GLsizei)stride, (const void*)offset);
    glVertexAttribDivisor(attr, divisor);
}

// Sends the state the shader reads for a draw of this kind (0 triangles, 1 points, 2 lines).
void sendState(int kind)
{
    U.mv.m4(modelview.back());
    U.proj.m4(projection.back());
    U.kind.i1(kind);
    U.smooth.i1(kind == 1 ? S.en.pointSmooth : S.en.lineSmooth);
    U.size.f1(kind == 1 ? S.pointSize : S.lineWidth);
    U.halfVp.f2(viewportW * 0.5f, viewportH * 0.5f);
    U.lighting.i1(S.en.lighting && kind == 0);
    if (S.en.lighting && kind == 0) {
        U.normalize.i1(S.en.normalize);
        U.sceneAmbient.f4(S.sceneAmbient);
        U.matAmbient.f4(material.ambient);
        U.matDiffuse.f4(material.diffuse);
        U.matSpecular.f4(material.specular);
        U.matEmission.f4(material.emission);
        U.matShininess.f1(material.shininess);
        float pos[4 * MAX_LIGHTS], amb[4 * MAX_LIGHTS], dif[4 * MAX_LIGHTS], spe[4 * MAX_LIGHTS];
        int n = 0;
        for (int i = 0; i < MAX_LIGHTS; i++) {
            if (!S.en.light[i])
                continue;
            std::memcpy(pos + 4 * n, S.lights[i].position, 16);
            std::memcpy(amb + 4 * n, S.lights[i].ambient, 16);
            std::memcpy(dif + 4 * n, S.lights[i].diffuse, 16);
            std::memcpy(spe + 4 * n, S.lights[i].specular, 16);
            n++;
        }
        U.lights.i1(n);
        if (n > 0) {
            U.lightPos.f4(pos, n);
            U.lightAmb.f4(amb, n);
            U.lightDif.f4(dif, n);
            U.lightSpe.f4(spe, n);
        }
    }
    auto t = textures.find(boundTexture);
    bool texturing = S.en.texture && t != textures.end() && t->second.hasImage;
    U.texture.i1(texturing);
    if (texturing)
        U.texAlpha.i1(t->second.alphaOnly);
    int fogMode = !S.en.fog ? 0 : S.fog.mode == GL_LINEAR ? 1 : S.fog.mode == GL_EXP ? 2 : 3;
    U.fogMode.i1(fogMode);
    if (fogMode != 0) {
        float f[3] = {S.fog.start, S.fog.end, S.fog.density};
        U.fog.f3(f);
        U.fogColor.f3(S.fog.color);
    }
}

// Draws n full vertices as primitives of mode, as GL 1.x would.
void draw(GLenum mode, std::vector<Vtx>& v)
{
    int n = (int)v.size();
    if (n == 0)
        return;
    if (mode == GL_QUADS) {
        std::vector<Vtx> tri;
        tri.reserve(n / 4 * 6);
        for (int q = 0; q + 3 < n; q += 4) {
            const int order[6] = {0, 1, 2, 0, 2, 3};
            for (int k : order)
                tri.push_back(v[q + k]);
        }
        v.swap(tri);
        mode = GL_TRIANGLES;
        n = (int)v.size();
    } else if (mode == GL_QUAD_STRIP) {
        mode = GL_TRIANGLE_STRIP;
    } else if (mode == GL_POLYGON) {
        mode = GL_TRIANGLE_FAN;
    } else if (mode == GL_LINE_LOOP) {
        v.push_back(v[0]);
        mode = GL_LINE_STRIP;
        n++;
    }
    int kind = mode == GL_POINTS ? 1 : mode == GL_LINES || mode == GL_LINE_STRIP ? 2 : 0;
    int instances = mode == GL_LINES ? n / 2 : n - 1;
    if (kind == 2 && instances <= 0)
        return;
    if (n == 0)
        return;

    glUseProgram(program);
    sendState(kind);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(v.size() * sizeof(Vtx)), v.data(), GL_STREAM_DRAW);
    const size_t sz = sizeof(Vtx);
    if (kind == 2) {
        size_t stride = mode == GL_LINES ? 2 * sz : sz;
        pointer(A_POS, 4, stride, offsetof(Vtx, p), 1);
        pointer(A_COL, 4, stride, offsetof(Vtx, c), 1);
        pointer(A_POS1, 4, stride, sz + offsetof(Vtx, p), 1);
        pointer(A_COL1, 4, stride, sz + offsetof(Vtx, c), 1);
        glDisableVertexAttribArray(A_TEX);
        glDisableVertexAttribArray(A_NRM);
        glBindBuffer(GL_ARRAY_BUFFER, cornerVbo);
        pointer(A_CORNER, 2, 0, 0, 0);
        glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, instances);
        return;
    }
    pointer(A_POS, 4, sz, offsetof(Vtx, p), 0);
    pointer(A_COL, 4, sz, offsetof(Vtx, c), 0);
    pointer(A_TEX, 2, sz, offsetof(Vtx, t), 0);
    pointer(A_NRM, 3, sz, offsetof(Vtx, n), 0);
    glDisableVertexAttribArray(A_POS1);
    glDisableVertexAttribArray(A_COL1);
    glDisableVertexAttribArray(A_CORNER);
    glDrawArrays(mode, 0, n);
}

bool passThroughCap(GLenum cap)
{
    return cap == GL_BLEND || cap == GL_DEPTH_TEST || cap == GL_SCISSOR_TEST || cap == GL_CULL_FACE ||
           cap == GL_POLYGON_OFFSET_FILL || cap == GL_DITHER || cap == GL_STENCIL_TEST;
}

bool* enableFlag(GLenum cap)
{
    switch (cap) {
    case GL_BLEND: return &S.en.blend;
    case GL_DEPTH_TEST: return &S.en.depth;
    case GL_SCISSOR_TEST: return &S.en.scissor;
    case GL_CULL_FACE: return &S.en.cull;
    case GL_TEXTURE_2D: return &S.en.texture;
    case GL_FOG: return &S.en.fog;
    case GL_LIGHTING: return &S.en.lighting;
    case GL_NORMALIZE: return &S.en.normalize;
    case GL_LINE_SMOOTH: return &S.en.lineSmooth;
    case GL_POINT_SMOOTH: return &S.en.pointSmooth;
    default:
        if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + MAX_LIGHTS)
            return &S.en.light[cap - GL_LIGHT0];
        return nullptr;
    }
}

void setEnabled(GLenum cap, bool on)
{
    if (bool* f = enableFlag(cap))
        *f = on;
    if (passThroughCap(cap))
        on ? glEnable(cap) : glDisable(cap);
}

void applyEnables(const Enables& e)
{
    setEnabled(GL_BLEND, e.blend);
    setEnabled(GL_DEPTH_TEST, e.depth);
    setEnabled(GL_SCISSOR_TEST, e.scissor);
    setEnabled(GL_CULL_FACE, e.cull);
    S.en = e;
}

void mult(const Mat& m)
{
    stack().back() = mul(stack().back(), m);
}

}  // namespace

bool qgl_init(const char** error)
{
    GLuint vs = compile(GL_VERTEX_SHADER, VERTEX_SHADER, error);
    if (!vs)
        return false;
    GLuint fs = compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER, error);
    if (!fs)
        return false;
    program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    for (int i = 0; i <= A_CORNER; i++)
        glBindAttribLocation(program, i, ATTR_NAMES[i]);
    glLinkProgram(program);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        static char log[1024];
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        *error = log;
        return false;
    }
    struct {
        Uniform* u;
        const char* name;
    } names[] = {{&U.mv, "u_mv"}, {&U.proj, "u_proj"}, {&U.kind, "u_kind"}, {&U.smooth, "u_smooth"},
                 {&U.size, "u_size"}, {&U.halfVp, "u_half_vp"}, {&U.lighting, "u_lighting"},
                 {&U.normalize, "u_normalize"}, {&U.sceneAmbient, "u_scene_ambient"},
                 {&U.matAmbient, "u_mat_ambient"}, {&U.matDiffuse, "u_mat_diffuse"},
                 {&U.matSpecular, "u_mat_specular"}, {&U.matEmission, "u_mat_emission"},
                 {&U.matShininess, "u_mat_shininess"}, {&U.lights, "u_lights"}, {&U.lightPos, "u_light_pos"},
                 {&U.lightAmb, "u_light_amb"}, {&U.lightDif, "u_light_dif"}, {&U.lightSpe, "u_light_spe"},
                 {&U.texture, "u_texture"}, {&U.texAlpha, "u_tex_alpha"}, {&U.tex, "u_tex"},
                 {&U.fogMode, "u_fog_mode"}, {&U.fog, "u_fog"}, {&U.fogColor, "u_fog_color"}};
    for (auto& n : names)
        n.u->loc = glGetUniformLocation(program, n.name);
    glUseProgram(program);
    U.tex.i1(0);

    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vbo);
    glGenBuffers(1, &cornerVbo);
    const float corners[8] = {0, -1, 0, 1, 1, -1, 1, 1};
    glBindBuffer(GL_ARRAY_BUFFER, cornerVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);

    GLfloat range[2] = {1, 64};
    glGetFloatv(GL_ALIASED_POINT_SIZE_RANGE, range);
    maxPointSize = range[1] - 2.0f;
    S.lights[0].diffuse[0] = S.lights[0].diffuse[1] = S.lights[0].diffuse[2] = 1.0f;
    S.lights[0].specular[0] = S.lights[0].specular[1] = S.lights[0].specular[2] = 1.0f;
    return true;
}

void qgl_begin_frame(int width, int height)
{
    if (width != frameW || height != frameH) {
        if (frameBuffer == 0) {
            glGenFramebuffers(1, &frameBuffer);
            glGenRenderbuffers(1, &colourBuffer);
            glGenRenderbuffers(1, &depthBuffer);
        }
        glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
        frameW = width, frameH = height;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
}

void qgl_end_frame()
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (S.en.scissor)
        glDisable(GL_SCISSOR_TEST);
    glBlitFramebuffer(0, 0, frameW, frameH, 0, 0, frameW, frameH, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    if (S.en.scissor)
        glEnable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
}

unsigned qgl_take_error()
{
    GLenum e = glGetError();
    if (e == GL_NO_ERROR)
        e = layerError;
    layerError = GL_NO_ERROR;
    return e;
}

void qgl_Enable(GLenum cap)
{
    RECORD(qgl_Enable(cap));
    setEnabled(cap, true);
}

void qgl_Disable(GLenum cap)
{
    RECORD(qgl_Disable(cap));
    setEnabled(cap, false);
}

GLboolean qgl_IsEnabled(GLenum cap)
{
    bool* f = enableFlag(cap);
    return f && *f ? GL_TRUE : GL_FALSE;
}

void qgl_Hint(GLenum, GLenum) {}

void qgl_BlendFunc(GLenum s, GLenum d)
{
    RECORD(qgl_BlendFunc(s, d));
    S.blendSrc = s, S.blendDst = d;
    glBlendFunc(s, d);
}

void qgl_DepthMask(GLboolean flag)
{
    S.depthMask = flag;
    glDepthMask(flag);
}

void qgl_DepthFunc(GLenum func) { glDepthFunc(func); }
void qgl_CullFace(GLenum mode) { glCullFace(mode); }
void qgl_ShadeModel(GLenum) {}
void qgl_Clear(GLbitfield mask) { glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT)); }
void qgl_ClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { glClearColor(r, g, b, a); }

void qgl_Viewport(GLint x, GLint y, GLsizei w, GLsizei h)
{
    viewportW = w, viewportH = h;
    glViewport(x, y, w, h);
}

void qgl_Scissor(GLint x, GLint y, GLsizei w, GLsizei h) { glScissor(x, y, w, h); }
void qgl_Flush() { glFlush(); }
void qgl_Finish() { glFinish(); }

GLenum qgl_GetError()
{
    return qgl_take_error();
}

void qgl_GetFloatv(GLenum pname, GLfloat* params)
{
    switch (pname) {
    case GL_SMOOTH_POINT_SIZE_RANGE: params[0] = 1.0f, params[1] = maxPointSize; return;
    case GL_SMOOTH_LINE_WIDTH_RANGE: params[0] = 1.0f, params[1] = 255.0f; return;
    case GL_MODELVIEW_MATRIX: std::memcpy(params, modelview.back().m, 64); return;
    case GL_PROJECTION_MATRIX: std::memcpy(params, projection.back().m, 64); return;
    case GL_CURRENT_COLOR: std::memcpy(params, S.color, 16); return;
    case GL_POINT_SIZE: params[0] = S.pointSize; return;
    case GL_LINE_WIDTH: params[0] = S.lineWidth; return;
    default: glGetFloatv(pname, params);
    }
}

void qgl_GetIntegerv(GLenum pname, GLint* params) { glGetIntegerv(pname, params); }

void qgl_MatrixMode(GLenum mode)
{
    RECORD(qgl_MatrixMode(mode));
    matrixMode = mode;
}

void qgl_LoadIdentity()
{
    RECORD(qgl_LoadIdentity());
    stack().back() = identity();
}

void qgl_PushMatrix()
{
    RECORD(qgl_PushMatrix());
    if (stack().size() >= 32) {
        raise(GL_STACK_OVERFLOW);
        return;
    }
    stack().push_back(stack().back());
}

void qgl_PopMatrix()
{
    RECORD(qgl_PopMatrix());
    if (stack().size() <= 1) {
        raise(GL_STACK_UNDERFLOW);
        return;
    }
    stack().pop_back();
}

void qgl_LoadMatrixf(const GLfloat* m)
{
    Mat r;
    std::memcpy(r.m, m, 64);
    RECORD(qgl_LoadMatrixf(r.m));
    stack().back() = r;
}

void qgl_MultMatrixf(const GLfloat* m)
{
    Mat r;
    std::memcpy(r.m, m, 64);
    RECORD(qgl_MultMatrixf(r.m));
    mult(r);
}

void qgl_Translatef(GLfloat x, GLfloat y, GLfloat z)
{
    RECORD(qgl_Translatef(x, y, z));
    Mat t = identity();
    t.m[12] = x, t.m[13] = y, t.m[14] = z;
    mult(t);
}

void qgl_Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    RECORD(qgl_Rotatef(angle, x, y, z));
    float len = std::sqrt(x * x + y * y + z * z);
    if (len == 0.0f)
        return;
    x /= len, y /= len, z /= len;
    double a = angle * M_PI / 180.0;
    float c = (float)std::cos(a), s = (float)std::sin(a), ic = 1.0f - c;
    Mat r = identity();
    r.m[0] = x * x * ic + c, r.m[4] = x * y * ic - z * s, r.m[8] = x * z * ic + y * s;
    r.m[1] = y * x * ic + z * s, r.m[5] = y * y * ic + c, r.m[9] = y * z * ic - x * s;
    r.m[2] = x * z * ic - y * s, r.m[6] = y * z * ic + x * s, r.m[10] = z * z * ic + c;
    mult(r);
}

void qgl_Scalef(GLfloat x, GLfloat y, GLfloat z)
{
    RECORD(qgl_Scalef(x, y, z));
    Mat t = identity();
    t.m[0] = x, t.m[5] = y, t.m[10] = z;
    mult(t);
}

void qgl_Ortho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f)
{
    Mat o = identity();
    o.m[0] = (float)(2.0 / (r - l));
    o.m[5] = (float)(2.0 / (t - b));
    o.m[10] = (float)(-2.0 / (f - n));
    o.m[12] = (float)(-(r + l) / (r - l));
    o.m[13] = (float)(-(t + b) / (t - b));
    o.m[14] = (float)(-(f + n) / (f - n));
    mult(o);
}

void qgl_Frustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f)
{
    Mat p{};
    p.m[0] = (float)(2 * n / (r - l));
    p.m[5] = (float)(2 * n / (t - b));
    p.m[8] = (float)((r + l) / (r - l));
    p.m[9] = (float)((t + b) / (t - b));
    p.m[10] = (float)(-(f + n) / (f - n));
    p.m[11] = -1.0f;
    p.m[14] = (float)(-2 * f * n / (f - n));
    mult(p);
}

void qgl_Perspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    double top = zNear * std::tan(fovy * M_PI / 360.0);
    qgl_Frustum(-top * aspect, top * aspect, -top, top, zNear, zFar);
}

void qgl_LookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz, GLdouble ux,
                GLdouble uy, GLdouble uz)
{
    float f[3] = {(float)(cx - ex), (float)(cy - ey), (float)(cz - ez)};
    float fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    if (fl != 0.0f)
        f[0] /= fl, f[1] /= fl, f[2] /= fl;
    float up[3] = {(float)ux, (float)uy, (float)uz};
    float s[3] = {f[1] * up[2] - f[2] * up[1], f[2] * up[0] - f[0] * up[2], f[0] * up[1] - f[1] * up[0]};
    float sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    if (sl != 0.0f)
        s[0] /= sl, s[1] /= sl, s[2] /= sl;
    float u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
    Mat m = identity();
    m.m[0] = s[0], m.m[4] = s[1], m.m[8] = s[2];
    m.m[1] = u[0], m.m[5] = u[1], m.m[9] = u[2];
    m.m[2] = -f[0], m.m[6] = -f[1], m.m[10] = -f[2];
    mult(m);
    qgl_Translatef((float)-ex, (float)-ey, (float)-ez);
}

void qgl_Begin(GLenum mode)
{
    RECORD(qgl_Begin(mode));
    primitive = mode;
    inBeginEnd = true;
    immediate.clear();
}

void qgl_End()
{
    RECORD(qgl_End());
    if (!inBeginEnd) {
        raise(GL_INVALID_OPERATION);
        return;
    }
    inBeginEnd = false;
    draw(primitive, immediate);
}

void qgl_Vertex4f(GLfloat x, GLfloat y, GLfloat z, GLfloat w)
{
    RECORD(qgl_Vertex4f(x, y, z, w));
    immediate.push_back(currentVertex(x, y, z, w));
}

void qgl_Color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    RECORD(qgl_Color4f(r, g, b, a));
    S.color[0] = r, S.color[1] = g, S.color[2] = b, S.color[3] = a;
}

void qgl_Normal3f(GLfloat x, GLfloat y, GLfloat z)
{
    RECORD(qgl_Normal3f(x, y, z));
    S.normal[0] = x, S.normal[1] = y, S.normal[2] = z;
}

void qgl_TexCoord2f(GLfloat s, GLfloat t)
{
    RECORD(qgl_TexCoord2f(s, t));
    S.texcoord[0] = s, S.texcoord[1] = t;
}

void qgl_PointSize(GLfloat size)
{
    RECORD(qgl_PointSize(size));
    S.pointSize = size;
}

void qgl_LineWidth(GLfloat width)
{
    RECORD(qgl_LineWidth(width));
    S.lineWidth = width;
}

void qgl_Fogf(GLenum pname, GLfloat param)
{
    switch (pname) {
    case GL_FOG_MODE: S.fog.mode = (GLenum)param; break;
    case GL_FOG_DENSITY: S.fog.density = param; break;
    case GL_FOG_START: S.fog.start = param; break;
    case GL_FOG_END: S.fog.end = param; break;
    default: raise(GL_INVALID_ENUM);
    }
}

void qgl_Fogi(GLenum pname, GLint param)
{
    if (pname == GL_FOG_MODE)
        S.fog.mode = (GLenum)param;
    else
        qgl_Fogf(pname, (GLfloat)param);
}

void qgl_Fogfv(GLenum pname, const GLfloat* params)
{
    if (pname == GL_FOG_COLOR)
        std::memcpy(S.fog.color, params, 16);
    else
        qgl_Fogf(pname, params[0]);
}

void qgl_Lightfv(GLenum light, GLenum pname, const GLfloat* params)
{
    if (light < GL_LIGHT0 || light >= GL_LIGHT0 + MAX_LIGHTS) {
        raise(GL_INVALID_ENUM);
        return;
    }
    Light& l = S.lights[light - GL_LIGHT0];
    switch (pname) {
    case GL_AMBIENT: std::memcpy(l.ambient, params, 16); break;
    case GL_DIFFUSE: std::memcpy(l.diffuse, params, 16); break;
    case GL_SPECULAR: std::memcpy(l.specular, params, 16); break;
    case GL_POSITION: transform(modelview.back(), params, l.position); break;
    default: break;
    }
}

void qgl_LightModelfv(GLenum pname, const GLfloat* params)
{
    if (pname == GL_LIGHT_MODEL_AMBIENT)
        std::memcpy(S.sceneAmbient, params, 16);
}

void qgl_Materialfv(GLenum, GLenum pname, const GLfloat* params)
{
    switch (pname) {
    case GL_AMBIENT: std::memcpy(material.ambient, params, 16); break;
    case GL_DIFFUSE: std::memcpy(material.diffuse, params, 16); break;
    case GL_AMBIENT_AND_DIFFUSE:
        std::memcpy(material.ambient, params, 16);
        std::memcpy(material.diffuse, params, 16);
        break;
    case GL_SPECULAR: std::memcpy(material.specular, params, 16); break;
    case GL_EMISSION: std::memcpy(material.emission, params, 16); break;
    case GL_SHININESS: material.shininess = params[0]; break;
    default: break;
    }
}

void qgl_PushAttrib(GLbitfield mask)
{
    RECORD(qgl_PushAttrib(mask));
    attribStack.emplace_back(mask, S);
}

void qgl_PopAttrib()
{
    RECORD(qgl_PopAttrib());
    if (attribStack.empty()) {
        raise(GL_STACK_UNDERFLOW);
        return;
    }
    GLbitfield mask = attribStack.back().first;
    const ServerState& saved = attribStack.back().second;
    if (mask & GL_ENABLE_BIT)
        applyEnables(saved.en);
    if (mask & GL_CURRENT_BIT) {
        std::memcpy(S.color, saved.color, sizeof S.color);
        std::memcpy(S.normal, saved.normal, sizeof S.normal);
        std::memcpy(S.texcoord, saved.texcoord, sizeof S.texcoord);
    }
    if (mask & GL_LIST_BIT)
        S.listBase = saved.listBase;
    if (mask & GL_POINT_BIT) {
        S.pointSize = saved.pointSize;
        S.en.pointSmooth = saved.en.pointSmooth;
    }
    if (mask & GL_LINE_BIT) {
        S.lineWidth = saved.lineWidth;
        S.en.lineSmooth = saved.en.lineSmooth;
    }
    if (mask & GL_FOG_BIT) {
        S.fog = saved.fog;
        S.en.fog = saved.en.fog;
    }
    if (mask & GL_LIGHTING_BIT) {
        std::memcpy(S.lights, saved.lights, sizeof S.lights);
        std::memcpy(S.sceneAmbient, saved.sceneAmbient, sizeof S.sceneAmbient);
        S.en.lighting = saved.en.lighting;
        std::memcpy(S.en.light, saved.en.light, sizeof S.en.light);
    }
    if (mask & GL_COLOR_BUFFER_BIT) {
        setEnabled(GL_BLEND, saved.en.blend);
        qgl_BlendFunc(saved.blendSrc, saved.blendDst);
    }
    if (mask & GL_DEPTH_BUFFER_BIT) {
        setEnabled(GL_DEPTH_TEST, saved.en.depth);
        qgl_DepthMask(saved.depthMask);
    }
    attribStack.pop_back();
}

void qgl_PushClientAttrib(GLbitfield)
{
    clientStack.push_back(client);
}

void qgl_PopClientAttrib()
{
    if (clientStack.empty()) {
        raise(GL_STACK_UNDERFLOW);
        return;
    }
    client = clientStack.back();
    clientStack.pop_back();
}

GLuint qgl_GenLists(GLsizei range)
{
    if (range <= 0)
        return 0;
    GLuint first = nextList;
    nextList += (GLuint)range;
    for (GLsizei i = 0; i < range; i++)
        lists[first + i];
    return first;
}

void qgl_DeleteLists(GLuint list, GLsizei range)
{
    for (GLsizei i = 0; i < range; i++)
        lists.erase(list + i);
}

void qgl_NewList(GLuint list, GLenum mode)
{
    if (list == 0 || compilingList != 0) {
        raise(list == 0 ? GL_INVALID_VALUE : GL_INVALID_OPERATION);
        return;
    }
    lists[list].clear();
    compilingList = list;
    compileMode = mode;
}

void qgl_EndList()
{
    if (compilingList == 0)
        raise(GL_INVALID_OPERATION);
    compilingList = 0;
}

void qgl_CallList(GLuint list)
{
    RECORD(qgl_CallList(list));
    auto it = lists.find(list);
    if (it == lists.end())
        return;
    for (auto& call : it->second)
        call();
}

void qgl_CallLists(GLsizei n, GLenum type, const GLvoid* names)
{
    for (GLsizei i = 0; i < n; i++) {
        long code;
        switch (type) {
        case GL_BYTE: code = ((const signed char*)names)[i]; break;
        case GL_UNSIGNED_BYTE: code = ((const unsigned char*)names)[i]; break;
        case GL_SHORT: code = ((const int16_t*)names)[i]; break;
        case GL_UNSIGNED_SHORT: code = ((const uint16_t*)names)[i]; break;
        case GL_INT: code = ((const int32_t*)names)[i]; break;
        case GL_UNSIGNED_INT: code = (long)((const uint32_t*)names)[i]; break;
        default: raise(GL_INVALID_ENUM); return;
        }
        qgl_CallList((GLuint)(S.listBase + code));
    }
}

void qgl_ListBase(GLuint base)
{
    RECORD(qgl_ListBase(base));
    S.listBase = base;
}

static ClientArray* clientArray(GLenum array)
{
    switch (array) {
    case GL_VERTEX_ARRAY: return &client.vertex;
    case GL_COLOR_ARRAY: return &client.color;
    case GL_TEXTURE_COORD_ARRAY: return &client.texcoord;
    case GL_NORMAL_ARRAY: return &client.normal;
    default: return nullptr;
    }
}

void qgl_EnableClientState(GLenum array)
{
    if (ClientArray* a = clientArray(array))
        a->enabled = true;
}

void qgl_DisableClientState(GLenum array)
{
    if (ClientArray* a = clientArray(array))
        a->enabled = false;
}

static void setPointer(ClientArray& a, GLint size, GLenum type, GLsizei stride, const GLvoid* p)
{
    a.size = size, a.type = type, a.stride = stride, a.pointer = p, a.buffer = client.arrayBuffer;
}

void qgl_VertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) { setPointer(client.vertex, size, type, stride, p); }
void qgl_ColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) { setPointer(client.color, size, type, stride, p); }
void qgl_TexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) { setPointer(client.texcoord, size, type, stride, p); }
void qgl_NormalPointer(GLenum type, GLsizei stride, const GLvoid* p) { setPointer(client.normal, 3, type, stride, p); }

void qgl_DrawArrays(GLenum mode, GLint first, GLsizei count)
{
    if (count <= 0 || !client.vertex.enabled)
        return;
    scratch.clear();
    for (GLsizei i = 0; i < count; i++)
        scratch.push_back(arrayVertex(first + i));
    draw(mode, scratch);
}

void qgl_DrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices)
{
    if (count <= 0 || !client.vertex.enabled)
        return;
    const unsigned char* base = (const unsigned char*)indices;
    if (client.elementBuffer != 0)
        base = buffers[client.elementBuffer].data() + (uintptr_t)indices;
    scratch.clear();
    for (GLsizei i = 0; i < count; i++) {
        uint32_t index = type == GL_UNSIGNED_BYTE ? base[i]
                         : type == GL_UNSIGNED_SHORT ? ((const uint16_t*)base)[i]
                                                     : ((const uint32_t*)base)[i];
        scratch.push_back(arrayVertex((int)index));
    }
    draw(mode, scratch);
}

void qgl_GenBuffers(GLsizei n, GLuint* names)
{
    for (GLsizei i = 0; i < n; i++) {
        names[i] = nextBuffer++;
        buffers[names[i]];
    }
}

void qgl_DeleteBuffers(GLsizei n, const GLuint* names)
{
    for (GLsizei i = 0; i < n; i++)
        buffers.erase(names[i]);
}

void qgl_BindBuffer(GLenum target, GLuint buffer)
{
    (target == GL_ELEMENT_ARRAY_BUFFER ? client.elementBuffer : client.arrayBuffer) = buffer;
}

void qgl_BufferData(GLenum target, GLsizeiptr size, const GLvoid* data, GLenum)
{
    GLuint b = target == GL_ELEMENT_ARRAY_BUFFER ? client.elementBuffer : client.arrayBuffer;
    auto& store = buffers[b];
    store.assign((size_t)size, 0);
    if (data)
        std::memcpy(store.data(), data, (size_t)size);
}

void qgl_BufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const GLvoid* data)
{
    GLuint b = target == GL_ELEMENT_ARRAY_BUFFER ? client.elementBuffer : client.arrayBuffer;
    auto& store = buffers[b];
    if ((size_t)(offset + size) > store.size()) {
        raise(GL_INVALID_VALUE);
        return;
    }
    std::memcpy(store.data() + offset, data, (size_t)size);
}

void qgl_GenTextures(GLsizei n, GLuint* names)
{
    glGenTextures(n, names);
    for (GLsizei i = 0; i < n; i++)
        textures[names[i]];
}

void qgl_DeleteTextures(GLsizei n, const GLuint* names)
{
    for (GLsizei i = 0; i < n; i++)
        textures.erase(names[i]);
    glDeleteTextures(n, names);
}

void qgl_BindTexture(GLenum target, GLuint texture)
{
    RECORD(qgl_BindTexture(target, texture));
    boundTexture = texture;
    glBindTexture(target, texture);
}

void qgl_TexParameteri(GLenum target, GLenum pname, GLint param)
{
    if (pname == GL_GENERATE_MIPMAP) {
        textures[boundTexture].generateMipmap = param != GL_FALSE;
        return;
    }
    if (param == GL_CLAMP)
        param = GL_CLAMP_TO_EDGE;
    glTexParameteri(target, pname, param);
}

void qgl_TexEnvi(GLenum, GLenum, GLint) {}

void qgl_PixelStorei(GLenum pname, GLint param)
{
    if (pname == GL_UNPACK_ALIGNMENT || pname == GL_PACK_ALIGNMENT)
        glPixelStorei(pname, param);
}

// GL 1.x's internal formats (component counts 1 to 4 included) as the matching WebGL format.
static GLenum webFormat(GLint internalFormat, GLenum format)
{
    switch (internalFormat) {
    case 1: case GL_LUMINANCE: return GL_LUMINANCE;
    case 2: case GL_LUMINANCE_ALPHA: return GL_LUMINANCE_ALPHA;
    case 3: case GL_RGB: return GL_RGB;
    case 4: case GL_RGBA: return GL_RGBA;
    case GL_ALPHA: return GL_ALPHA;
    case GL_INTENSITY: return GL_LUMINANCE;
    default: return format;
    }
}

void qgl_TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                    GLenum format, GLenum type, const GLvoid* pixels)
{
    GLenum f = webFormat(internalFormat, format);
    if (f != format) {
        // WebGL takes unsized formats only when the data already has that layout.
        raise(GL_INVALID_OPERATION);
        return;
    }
    glTexImage2D(target, level, (GLint)f, width, height, border, format, type, pixels);
    TextureInfo& t = textures[boundTexture];
    t.hasImage = true;
    t.alphaOnly = format == GL_ALPHA;
    if (t.generateMipmap && level == 0)
        glGenerateMipmap(target);
}

void qgl_TexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                       GLenum type, const GLvoid* pixels)
{
    glTexSubImage2D(target, level, x, y, width, height, format, type, pixels);
}

GLint qgl_Build2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                         GLenum type, const void* data)
{
    qgl_TexImage2D(target, 0, (GLint)format, width, height, 0, format, type, data);
    (void)internalFormat;
    glGenerateMipmap(target);
    return 0;
}
