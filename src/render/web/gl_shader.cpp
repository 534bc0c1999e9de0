// The web GL layer's programs: one for each variant of the state a draw needs (the shaders'
// text is gl_shader_text.cpp's), so that a pixel runs only the work its draw asks for, each
// built when first needed or started while the page loads; and their uniforms, sent only when
// changed.
#include "render/web/gl_shader.h"
#include "render/web/gl_shader_text.h"
#include "render/web/gl_state.h"
#include "render/web/gl_texture.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace qgl {

namespace {

const char* const ATTR_NAMES[ATTR_COUNT] = {"a_pos", "a_col", "a_tex", "a_nrm", "a_ids"};

// A uniform's location and the value last sent, so that an unchanged value is not sent again.
struct Uniform {
    GLint loc = -1;
    std::vector<float> last;
    bool send(const float* v, size_t n)
    {
        if (loc < 0 || (last.size() == n && std::memcmp(last.data(), v, n * sizeof(float)) == 0))
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
    void f2(const float* v)
    {
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
    void m4(const float* m, int count = 1)
    {
        if (send(m, 16 * count))
            glUniformMatrix4fv(loc, count, GL_FALSE, m);
    }
};

struct Program {
    GLuint id = 0, vs = 0, fs = 0;
    bool ready = false, failed = false;
    Uniform mv, proj, size, halfVp, normalize, sceneAmbient, matAmbient, matDiffuse, matSpecular, matEmission,
        matShininess, lights, lightPos, lightAmb, lightDif, lightSpe, tex, fog, fogColor, lines, lineBase, lineStep,
        lineTexels;
};

// The programs built or being built, by variant.
std::map<int, Program> programs;
// The variants the show draws with beside plain triangles (found by drawing every second of it
// at two sizes), started while the page loads so that no scene waits for its program: smooth
// points, with linear fog; smooth lines, with linear fog and the depth test; textured triangles
// with the depth test; and lit, fogged, depth-tested ones. Another variant is built when first
// needed.
const int SHOW_VARIANTS[] = {1 | SMOOTH,        1 | SMOOTH | 1 << FOG_SHIFT, 2 | SMOOTH,
                             2 | SMOOTH | 1 << FOG_SHIFT | DEPTH16, TEXTURE | DEPTH16,
                             1 << FOG_SHIFT | LIGHTING | DEPTH16};
GLuint current = 0;
Program* active = nullptr;

GLuint compile(GLenum type, const std::string& text)
{
    GLuint s = glCreateShader(type);
    const char* source = text.c_str();
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    return s;
}

// Starts building a variant's program. Nothing here waits for the browser: a program is only
// asked how its build went (which waits for it) when it is first drawn with.
void start(int variant)
{
    Program& p = programs[variant];
    p.vs = compile(GL_VERTEX_SHADER, shaderSource(variant, GL_VERTEX_SHADER));
    p.fs = compile(GL_FRAGMENT_SHADER, shaderSource(variant, GL_FRAGMENT_SHADER));
    p.id = glCreateProgram();
    glAttachShader(p.id, p.vs);
    glAttachShader(p.id, p.fs);
    for (int i = 0; i < ATTR_COUNT; i++)
        glBindAttribLocation(p.id, i, ATTR_NAMES[i]);
    glLinkProgram(p.id);
}

// Finishes a started program: false (with the compiler's or linker's reason in error) when it
// did not build.
bool finish(int variant, const char** error)
{
    Program& p = programs[variant];
    static char log[1024];
    GLint ok = 0;
    glGetProgramiv(p.id, GL_LINK_STATUS, &ok);
    if (!ok) {
        GLint compiled = 0;
        for (GLuint shader : {p.vs, p.fs}) {
            glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
            if (!compiled) {
                glGetShaderInfoLog(shader, sizeof log, nullptr, log);
                break;
            }
        }
        if (compiled)
            glGetProgramInfoLog(p.id, sizeof log, nullptr, log);
        *error = log;
    }
    glDeleteShader(p.vs);
    glDeleteShader(p.fs);
    p.vs = p.fs = 0;
    p.ready = ok;
    if (!ok) {
        glDeleteProgram(p.id);
        p.id = 0;
        p.failed = true;
        return false;
    }
    struct {
        Uniform* u;
        const char* name;
    } names[] = {{&p.mv, "u_mv"}, {&p.proj, "u_proj"}, {&p.size, "u_size"}, {&p.halfVp, "u_half_vp"},
                 {&p.normalize, "u_normalize"}, {&p.sceneAmbient, "u_scene_ambient"},
                 {&p.matAmbient, "u_mat_ambient"}, {&p.matDiffuse, "u_mat_diffuse"},
                 {&p.matSpecular, "u_mat_specular"}, {&p.matEmission, "u_mat_emission"},
                 {&p.matShininess, "u_mat_shininess"}, {&p.lights, "u_lights"}, {&p.lightPos, "u_light_pos"},
                 {&p.lightAmb, "u_light_amb"}, {&p.lightDif, "u_light_dif"}, {&p.lightSpe, "u_light_spe"},
                 {&p.tex, "u_tex"}, {&p.fog, "u_fog"}, {&p.fogColor, "u_fog_color"}, {&p.lines, "u_lines"},
                 {&p.lineBase, "u_line_base"}, {&p.lineStep, "u_line_step"}, {&p.lineTexels, "u_line_texels"}};
    for (auto& n : names) {
        n.u->loc = glGetUniformLocation(p.id, n.name);
        n.u->last.clear();
    }
    glUseProgram(p.id);
    current = p.id;
    active = &p;
    p.tex.i1(0);
    p.lines.i1(LINE_UNIT);
    return true;
}

}  // namespace

bool variantTextured(int variant) { return (variant & TEXTURE) != 0; }
int variantWithW() { return LINE_W; }
bool variantLit(int variant) { return (variant & LIGHTING) != 0; }

void captureState(int kind, ShaderState& out)
{
    std::memset(&out, 0, sizeof out);
    bool smooth = kind == 1 ? S.en.pointSmooth : kind == 2 ? S.en.lineSmooth : false;
    auto t = textures.find(boundTexture);
    bool texturing = S.en.texture && t != textures.end() && t->second.hasImage;
    int fog = !S.en.fog ? 0 : S.fog.mode == GL_LINEAR ? 1 : S.fog.mode == GL_EXP ? 2 : 3;
    bool lighting = S.en.lighting && kind == 0;
    out.variant = kind | (smooth ? SMOOTH : 0) | (texturing ? TEXTURE : 0) |
                  (texturing && t->second.alphaOnly ? TEX_ALPHA : 0) | fog << FOG_SHIFT | (lighting ? LIGHTING : 0) |
                  (S.en.depth ? DEPTH16 : 0);
    out.texture = texturing ? boundTexture : 0;
    std::memcpy(out.proj, projection.back().m, sizeof out.proj);
    if (kind != 0)
        out.size = kind == 1 ? S.pointSize : S.lineWidth;
    if (kind == 2)
        out.halfVp[0] = viewportW * 0.5f, out.halfVp[1] = viewportH * 0.5f;
    if (lighting) {
        out.normalize = S.en.normalize;
        std::memcpy(out.sceneAmbient, S.sceneAmbient, 16);
        std::memcpy(out.matAmbient, material.ambient, 16);
        std::memcpy(out.matDiffuse, material.diffuse, 16);
        std::memcpy(out.matSpecular, material.specular, 16);
        std::memcpy(out.matEmission, material.emission, 16);
        out.matShininess = material.shininess;
        for (int i = 0; i < MAX_LIGHTS; i++) {
            if (!S.en.light[i])
                continue;
            int n = out.lights++;
            std::memcpy(out.lightPos + 4 * n, S.lights[i].position, 16);
            std::memcpy(out.lightAmb + 4 * n, S.lights[i].ambient, 16);
            std::memcpy(out.lightDif + 4 * n, S.lights[i].diffuse, 16);
            std::memcpy(out.lightSpe + 4 * n, S.lights[i].specular, 16);
        }
    }
    if (fog) {
        out.fog[0] = S.fog.start, out.fog[1] = S.fog.end, out.fog[2] = S.fog.density;
        std::memcpy(out.fogColor, S.fog.color, 12);
    }
}

bool useState(const ShaderState& state, const Mat* palette, int n)
{
    Program& p = programs[state.variant];
    if (!p.ready) {
        const char* error = "";
        if (p.id == 0 && !p.failed)
            start(state.variant);
        if (p.failed || !finish(state.variant, &error)) {
            if (error[0])
                std::fprintf(stderr, "the shader for variant %d did not build: %s\n", state.variant, error);
            raise(GL_INVALID_OPERATION);
            return false;
        }
    }
    if (current != p.id) {
        glUseProgram(p.id);
        current = p.id;
        active = &p;
    }
    p.mv.m4(palette[0].m, n);
    p.proj.m4(state.proj);
    p.size.f1(state.size);
    p.halfVp.f2(state.halfVp);
    if (state.variant & LIGHTING) {
        p.normalize.i1(state.normalize);
        p.sceneAmbient.f4(state.sceneAmbient);
        p.matAmbient.f4(state.matAmbient);
        p.matDiffuse.f4(state.matDiffuse);
        p.matSpecular.f4(state.matSpecular);
        p.matEmission.f4(state.matEmission);
        p.matShininess.f1(state.matShininess);
        p.lights.i1(state.lights);
        if (state.lights > 0) {
            p.lightPos.f4(state.lightPos, state.lights);
            p.lightAmb.f4(state.lightAmb, state.lights);
            p.lightDif.f4(state.lightDif, state.lights);
            p.lightSpe.f4(state.lightSpe, state.lights);
        }
    }
    p.fog.f3(state.fog);
    p.fogColor.f3(state.fogColor);
    return true;
}

void setLineSource(int first, int step, int texels)
{
    active->lineBase.i1(first);
    active->lineStep.i1(step);
    active->lineTexels.i1(texels);
}

void forgetPrograms()
{
    programs.clear();
    current = 0;
    active = nullptr;
}

bool buildPrograms(const char** error)
{
    start(0);
    if (!finish(0, error))
        return false;
    for (int variant : SHOW_VARIANTS)
        start(variant);
    return true;
}

}  // namespace qgl
