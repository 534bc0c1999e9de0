// The web GL layer's shader: one program that does what the desktop pipeline does for the
// show (the modelview and projection, lights on the material, texture modulation, fog, wide
// smooth lines and smooth points with the driver's coverage), and the uniforms it reads, sent
// at each draw only when they changed.
#include "render/web/gl_state.h"

#include <cstring>

namespace qgl {

GLuint program = 0;

namespace {

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

}  // namespace

bool buildProgram(const char** error)
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
    return true;
}

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

}  // namespace qgl
