// The web GL layer's shaders' text (gl_shader_text.h): one vertex and one fragment shader, the
// variant's #defines before each choosing the work it does.
#include "render/web/gl_shader_text.h"

#include "render/web/gl_shader.h"

#include <cstdio>

namespace qgl {

namespace {

// Both shaders start with the variant's #defines: KIND, SMOOTH, TEXTURE, TEX_ALPHA, FOG (0 none,
// 1 linear, 2 exp, 3 exp2), LIGHTING, DEPTH16 (the depth test is on), LINE_W (lines whose
// vertices have a w) and PALETTE.
const char* VERTEX_SHADER = R"(
in vec4 a_pos; in vec4 a_col; in vec2 a_tex; in vec3 a_nrm;
// The modelview's index in the palette (and for a line the number of its strip).
in vec2 a_ids;
uniform mat4 u_mv[PALETTE], u_proj;
#if KIND == 2
// A line is drawn as a quad of four vertices, 4 s to 4 s + 3 for segment s, that read the
// segment's ends from the line texture, 1024 texels a row: from texel u_line_base on, vertex v
// is u_line_texels texels from texel u_line_texels v, the position x, y, z and the palette index
// plus PALETTE times the strip number, the colour, and with LINE_W the position's w. The
// segments start u_line_step vertices apart: 2 for separate lines, 1 in strips.
uniform highp sampler2D u_lines;
uniform int u_line_base, u_line_step, u_line_texels;
vec4 lineTexel(int v, int k) {
    int t = u_line_base + u_line_texels * v + k;
    return texelFetch(u_lines, ivec2(t & 1023, t >> 10), 0);
}
#endif
uniform float u_size;
uniform vec2 u_half_vp;
uniform bool u_normalize;
uniform vec4 u_scene_ambient, u_mat_ambient, u_mat_diffuse, u_mat_specular, u_mat_emission;
uniform float u_mat_shininess;
uniform int u_lights;
uniform vec4 u_light_pos[8], u_light_amb[8], u_light_dif[8], u_light_spe[8];
out vec4 v_col;
#if TEXTURE
out vec2 v_tex;
#endif
#if FOG
out float v_fog;
#endif
#if KIND == 2 && SMOOTH
out vec3 v_line;
#endif

#if LIGHTING
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
#endif

void main() {
#if TEXTURE
    v_tex = a_tex;
#endif
#if KIND == 2
    int first = (gl_VertexID >> 2) * u_line_step, corner = gl_VertexID & 3;
    vec4 p0 = lineTexel(first, 0), p1 = lineTexel(first + 1, 0);
    int ids0 = int(p0.w), ids1 = int(p1.w);
#if LINE_W
    p0.w = lineTexel(first, 2).x;
    p1.w = lineTexel(first + 1, 2).x;
#else
    p0.w = 1.0;
    p1.w = 1.0;
#endif
    mat4 mv = u_mv[ids0 % PALETTE];
    vec4 e0 = mv * p0, e1 = mv * p1;
    vec4 c0 = u_proj * e0, c1 = u_proj * e1;
    vec4 k0 = lineTexel(first, 1), k1 = lineTexel(first + 1, 1);
    // The quad's corners: along the segment 0 at its first end, 1 at its second; across -1, 1.
    vec2 a_corner = vec2(float(corner >> 1), (corner & 1) == 0 ? -1.0 : 1.0);
    // Clipped to the near plane first, so that the screen direction is defined. The segment
    // from the end of one strip to the start of the next is no segment at all.
    float d0 = c0.z + c0.w, d1 = c1.z + c1.w;
    if ((d0 < 0.0 && d1 < 0.0) || ids0 / PALETTE != ids1 / PALETTE) {
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
        v_col = vec4(0.0);
#if FOG
        v_fog = 0.0;
#endif
        return;
    }
    if (d0 < 0.0) { float t = d0 / (d0 - d1); c0 = mix(c0, c1, t); e0 = mix(e0, e1, t); k0 = mix(k0, k1, t); }
    if (d1 < 0.0) { float t = d1 / (d1 - d0); c1 = mix(c1, c0, t); e1 = mix(e1, e0, t); k1 = mix(k1, k0, t); }
    vec2 s0 = c0.xy / c0.w * u_half_vp, s1 = c1.xy / c1.w * u_half_vp;
    vec2 dir = s1 - s0;
    float len = length(dir);
    dir = len > 1e-6 ? dir / len : vec2(1.0, 0.0);
    vec2 across = vec2(-dir.y, dir.x);
#if SMOOTH
    float halfw = u_size * 0.5 + 1.0;
    // The band reaches a pixel past each end too; fragments there cover nothing but are
    // drawn, depth included, as the desktop driver draws them.
    float ext = 1.0;
#else
    float halfw = max(u_size, 1.0) * 0.5;
    float ext = 0.0;
#endif
    bool far = a_corner.x > 0.5;
    vec4 c = far ? c1 : c0;
    vec4 e = far ? e1 : e0;
    vec2 off = across * (a_corner.y * halfw) + dir * (far ? ext : -ext);
    c.xy += off / u_half_vp * c.w;
    gl_Position = c;
    v_col = far ? k1 : k0;
#if FOG
    v_fog = abs(e.z / e.w);
#endif
#if SMOOTH
    v_line = vec3(a_corner.y * halfw, far ? len + ext : -ext, far ? -ext : len + ext);
#endif
#else
    mat4 mv = u_mv[int(a_ids.x)];
    vec4 e = mv * a_pos;
    gl_Position = u_proj * e;
#if FOG
    v_fog = abs(e.z / e.w);
#endif
#if KIND == 1 && SMOOTH
    // The smallest square of whole pixels that holds the disc the fragment shader keeps.
    gl_PointSize = ceil(u_size);
#elif KIND == 1
    gl_PointSize = max(floor(u_size + 0.5), 1.0);
#endif
#if LIGHTING
    vec3 n = transpose(inverse(mat3(mv))) * a_nrm;
    if (u_normalize) n = normalize(n);
    v_col = lit(e.xyz / e.w, n);
#else
    v_col = a_col;
#endif
#endif
}
)";

const char* FRAGMENT_SHADER = R"(
in vec4 v_col;
#if TEXTURE
in vec2 v_tex;
uniform sampler2D u_tex;
#endif
#if FOG
in float v_fog;
uniform vec3 u_fog;
uniform vec3 u_fog_color;
#endif
#if KIND == 2 && SMOOTH
in vec3 v_line;
#endif
uniform float u_size;
out vec4 o;
void main() {
    vec4 c = v_col;
#if TEXTURE && TEX_ALPHA
    c.a *= texture(u_tex, v_tex).a;
#elif TEXTURE
    c *= texture(u_tex, v_tex);
#endif
    // Coverage as the desktop driver has it: a smooth point is the disc of its diameter, the
    // pixels whose centres lie inside; a smooth line the share of the pixel its band covers.
#if KIND == 1 && SMOOTH
    vec2 d = (gl_PointCoord - 0.5) * ceil(u_size);
    if (length(d) >= u_size * 0.5) discard;
#elif KIND == 2 && SMOOTH
    c.a *= clamp(u_size * 0.5 + 0.5 - abs(v_line.x), 0.0, 1.0) * clamp(0.5 + min(v_line.y, v_line.z), 0.0, 1.0);
#endif
#if FOG == 1
    float f = (u_fog.y - v_fog) / (u_fog.y - u_fog.x);
#elif FOG == 2
    float f = exp(-u_fog.z * v_fog);
#elif FOG == 3
    float f = exp(-(u_fog.z * v_fog) * (u_fog.z * v_fog));
#endif
#if FOG
    c.rgb = mix(u_fog_color, c.rgb, clamp(f, 0.0, 1.0));
#endif
#if DEPTH16
    // Depth as a 16-bit buffer keeps it (rounded to the nearest step, ties to even), as on the
    // desktop: the canvas's deeper buffer would tell apart depths the desktop's cannot, and
    // change which of two near lines wins. The values a 16-bit buffer holds stay apart and in
    // order in any deeper one, so the test decides as the 16-bit one would.
    gl_FragDepth = roundEven(gl_FragCoord.z * 65535.0) / 65535.0;
#endif
    o = c;
}
)";

}  // namespace

std::string shaderSource(int variant, GLenum stage)
{
    char defines[256];
    std::snprintf(defines, sizeof defines,
                  "#version 300 es\n#define KIND %d\n#define SMOOTH %d\n#define TEXTURE %d\n#define TEX_ALPHA %d\n"
                  "#define FOG %d\n#define LIGHTING %d\n#define DEPTH16 %d\n#define LINE_W %d\n#define PALETTE %d\n"
                  "precision highp float;\n"
                  "precision highp int;\n",
                  variant & KIND_MASK, (variant & SMOOTH) != 0, (variant & TEXTURE) != 0,
                  (variant & TEX_ALPHA) != 0, (variant >> FOG_SHIFT) & 3, (variant & LIGHTING) != 0,
                  (variant & DEPTH16) != 0, (variant & LINE_W) != 0, PALETTE);
    return defines + std::string(stage == GL_VERTEX_SHADER ? VERTEX_SHADER : FRAGMENT_SHADER);
}

}  // namespace qgl
