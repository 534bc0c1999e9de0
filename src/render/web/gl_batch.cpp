// The web GL layer's draws: each primitive the show draws becomes WebGL's (quads and polygons
// indexed triangles, each line segment a screen-space quad, points point sprites), and
// consecutive draws that need the same program, uniforms and constant attributes are gathered
// into one WebGL draw, each with its own modelview from a small palette. Primitives keep their
// order, so the picture is the one separate draws make; what changes is how often the page
// crosses into WebGL, which costs far more per draw than per vertex.
#include "render/web/gl_batch.h"
#include "render/web/gl_queue.h"
#include "render/web/gl_state.h"

#include <cstring>
#include <vector>

namespace qgl {

namespace {

// The batch draws are being gathered into, if any.
Batch* current = nullptr;
ShaderState next;
Layout nextLayout;

void setConstant(Layout& l, Stream s, const Attrib& a, int floats)
{
    l.varies[s] = a.data != nullptr;
    if (!a.data)
        std::memcpy(l.constant[s], a.value, floats * sizeof(float));
}

// The layout of a draw of points or triangles: the attributes its program reads, constants where
// the vertices give none (only textured draws read texture coordinates, only lit ones normals).
// Lines keep theirs in the line texture and read no texture coordinate (0, 0 throughout).
void describe(int kind, const Vertices& v, Layout& l)
{
    std::memset(&l, 0, sizeof l);
    if (kind == 2)
        return;
    l.posSize = v.pos.size;
    l.varies[S_POS] = 1;
    setConstant(l, S_COL, v.col, 4);
    if (variantTextured(next.variant))
        setConstant(l, S_TEX, v.tex, 2);
    if (variantLit(next.variant))
        setConstant(l, S_NRM, v.nrm, 3);
}

// Appends `count` copies of a constant of `floats` floats to a stream.
void repeat(std::vector<float>& out, const float* value, int floats, int count)
{
    size_t at = out.size();
    out.resize(at + (size_t)count * floats);
    for (float* o = out.data() + at; count > 0; count--, o += floats)
        std::memcpy(o, value, floats * sizeof(float));
}

// Appends `count` vertices from first on to a stream.
void append(std::vector<float>& out, const Attrib& a, int floats, int first, int count)
{
    size_t at = out.size();
    out.resize(at + (size_t)count * floats);
    float* o = out.data() + at;
    if (a.stride == floats * (int)sizeof(float)) {
        std::memcpy(o, a.data + (size_t)first * a.stride, (size_t)count * floats * sizeof(float));
        return;
    }
    for (int i = 0; i < count; i++, o += floats)
        std::memcpy(o, a.data + (size_t)(first + i) * a.stride, floats * sizeof(float));
}

void appendVertices(Batch& b, const Vertices& v, int first, int count)
{
    const Attrib* attribs[S_IDS] = {&v.pos, &v.col, &v.tex, &v.nrm};
    for (int s = S_POS; s < S_IDS; s++) {
        if (!b.layout.varies[s])
            continue;
        int floats = s == S_POS ? b.layout.posSize : STREAM_FLOATS[s];
        if (attribs[s]->data || s == S_POS)
            append(b.data[s], *attribs[s], floats, first, count);
        else
            repeat(b.data[s], nextLayout.constant[s], floats, count);
    }
}

// The most vertices whose constant attributes are written out per vertex so that a draw joins
// the batch: far less to upload than a WebGL draw costs, while a large draw under its own colour
// (a layer of squares) keeps its own draw rather than a stream of one colour repeated.
const int MAX_SPELLED_OUT = 1024;

// True when a draw of `count` vertices laid out as `next` can join the batch: the same position
// size, and each attribute the same constant in both, or else written out per vertex where it is
// a constant (a dodecahedron's faces, each a polygon under its own normal, become one draw). The
// batch's layout becomes the joined one.
bool joinLayout(Batch& b, const Layout& next, int count)
{
    if (b.layout.posSize != next.posSize)
        return false;
    bool spell[STREAMS] = {};
    int spelled = 0;
    for (int s = S_COL; s < S_IDS; s++) {
        if (b.layout.varies[s] == next.varies[s] &&
            (next.varies[s] || std::memcmp(b.layout.constant[s], next.constant[s], sizeof next.constant[s]) == 0))
            continue;
        spell[s] = !b.layout.varies[s];
        spelled += (b.layout.varies[s] ? 0 : b.vertices) + (next.varies[s] ? 0 : count);
    }
    if (spelled > MAX_SPELLED_OUT)
        return false;
    for (int s = S_COL; s < S_IDS; s++)
        if (spell[s]) {
            b.data[s].clear();
            repeat(b.data[s], b.layout.constant[s], STREAM_FLOATS[s], b.vertices);
            b.layout.varies[s] = 1;
            std::memset(b.layout.constant[s], 0, sizeof b.layout.constant[s]);
        }
    return true;
}

// True when the vertices' positions have a w other than 1.
bool anyW(const Vertices& v, int count)
{
    if (v.pos.size < 4)
        return false;
    for (int i = 0; i < count; i++)
        if (((const float*)(v.pos.data + (size_t)i * v.pos.stride))[3] != 1.0f)
            return true;
    return false;
}

// Appends line vertices first to first + count - 1 to the line data, `texels` texels each,
// with their matrix and strip.
void appendLines(const Vertices& v, int first, int count, int texels, int matrix, int strip)
{
    size_t at = lineData.size();
    lineData.resize(at + (size_t)count * texels * 4);
    float* o = lineData.data() + at;
    float ids = (float)(matrix + PALETTE * strip);
    for (int i = first; i < first + count; i++, o += texels * 4) {
        const float* p = (const float*)(v.pos.data + (size_t)i * v.pos.stride);
        o[0] = p[0], o[1] = p[1], o[2] = v.pos.size > 2 ? p[2] : 0.0f, o[3] = ids;
        const float* c = v.col.data ? (const float*)(v.col.data + (size_t)i * v.col.stride) : v.col.value;
        std::memcpy(o + 4, c, 4 * sizeof(float));
        if (texels == 3)
            o[8] = p[3], o[9] = o[10] = o[11] = 0.0f;
    }
}

// Gives the batch a palette index per vertex from here on, the vertices so far all of the first
// matrix.
void idsVary(Batch& b)
{
    if (b.layout.varies[S_IDS])
        return;
    b.layout.varies[S_IDS] = 1;
    b.data[S_IDS].assign((size_t)b.vertices * 2, 0.0f);
}

void quadIndices(std::vector<GLuint>& out, int base, int vertices)
{
    const GLuint order[6] = {0, 1, 2, 0, 2, 3};
    for (int q = 0; q < vertices; q += 4)
        for (GLuint k : order)
            out.push_back((GLuint)(base + q) + k);
}

// True when the draw cannot change a pixel: blended by its alpha, which is 0 throughout (a
// constant colour's, unlit; a texture only scales it, fog leaves it), with no depth written.
// The platon scene's white flash is such a quad over the whole picture in every frame after its
// first moments.
bool invisible(int kind, const Vertices& v)
{
    bool blendsByAlpha = S.en.blend && S.blendSrc == GL_SRC_ALPHA &&
                         (S.blendDst == GL_ONE_MINUS_SRC_ALPHA || S.blendDst == GL_ONE);
    bool lit = S.en.lighting && kind == 0;
    return blendsByAlpha && !lit && !(S.en.depth && S.depthMask) && !v.col.data && v.col.value[3] == 0.0f;
}

}  // namespace

void closeBatch()
{
    current = nullptr;
}

void submit(GLenum mode, const Vertices& v)
{
    int n = v.count;
    Shape shape;
    int kind = 0;
    switch (mode) {
    case GL_POINTS: shape = POINTS, kind = 1; break;
    case GL_LINES: shape = SEGMENTS, kind = 2, n -= n % 2; break;
    case GL_LINE_STRIP: shape = STRIPS, kind = 2, n = n < 2 ? 0 : n; break;
    case GL_LINE_LOOP: shape = STRIPS, kind = 2; break;
    case GL_TRIANGLES: shape = TRIANGLES, n -= n % 3; break;
    case GL_QUADS: shape = TRIANGLES, n -= n % 4; break;
    case GL_POLYGON:
    case GL_TRIANGLE_FAN: shape = TRIANGLES, n = n < 3 ? 0 : n; break;
    case GL_TRIANGLE_STRIP:
    case GL_QUAD_STRIP: shape = TRIANGLE_STRIP; break;
    default: raise(GL_INVALID_ENUM); return;
    }
    if (n <= 0 || invisible(kind, v))
        return;
    int added = mode == GL_LINE_LOOP ? n + 1 : n;
    int texels = kind == 2 && anyW(v, n) ? 3 : 2;
    if (kind == 2 && (int)(lineData.size() / 4) + added * texels > maxLineTexels) {
        // The line texture is full: what is queued is made, and the texture starts afresh.
        if (added * texels > maxLineTexels) {
            raise(GL_OUT_OF_MEMORY);
            return;
        }
        startLinesAfresh();
    }
    captureState(kind, next);
    if (texels == 3)
        next.variant |= variantWithW();
    describe(kind, v, nextLayout);
    const Mat& mv = modelview.back();

    // Gathered with the batch when nothing but the modelview differs and the palette has room.
    bool join = current && shape == current->shape && shape != TRIANGLE_STRIP &&
                std::memcmp(&next, &current->state, sizeof next) == 0 &&
                current->strips < (1 << 24) / PALETTE && joinLayout(*current, nextLayout, n);
    int matrix = join ? (int)current->palette.size() - 1 : 0;
    if (join && std::memcmp(&mv, &current->palette.back(), sizeof mv) != 0) {
        if (current->palette.size() < (size_t)PALETTE)
            current->palette.push_back(mv), matrix++;
        else
            join = false;
    }
    if (!join) {
        Batch& b = queueBatch();
        b.shape = shape;
        b.state = next;
        b.layout = nextLayout;
        for (auto& d : b.data)
            d.clear();
        b.vertices = b.strips = 0;
        b.lineFirst = (int)(lineData.size() / 4);
        b.lineTexels = texels;
        b.palette.assign(1, mv);
        b.quadsOnly = true;
        b.indices.clear();
        current = &b;
        matrix = 0;
    }
    Batch& b = *current;

    int base = b.vertices;
    if (kind == 2) {
        int strip = shape == STRIPS ? b.strips++ : 0;
        appendLines(v, 0, n, texels, matrix, strip);
        if (mode == GL_LINE_LOOP)
            appendLines(v, 0, 1, texels, matrix, strip);
        b.vertices += added;
        return;
    }
    if (matrix != 0)
        idsVary(b);
    appendVertices(b, v, 0, n);
    if (b.layout.varies[S_IDS])
        for (int i = 0; i < n; i++)
            b.data[S_IDS].push_back((float)matrix), b.data[S_IDS].push_back(0.0f);
    b.vertices += n;
    if (shape != TRIANGLES)
        return;
    if (mode == GL_QUADS && b.quadsOnly)
        return;
    if (b.quadsOnly) {
        b.quadsOnly = false;
        quadIndices(b.indices, 0, base);
    }
    if (mode == GL_QUADS) {
        quadIndices(b.indices, base, n);
    } else if (mode == GL_TRIANGLES) {
        for (int i = 0; i < n; i++)
            b.indices.push_back((GLuint)(base + i));
    } else {
        // A polygon or fan: triangle i is the first vertex and vertices i + 1 and i + 2.
        for (int i = 1; i + 1 < n; i++) {
            b.indices.push_back((GLuint)base);
            b.indices.push_back((GLuint)(base + i));
            b.indices.push_back((GLuint)(base + i + 1));
        }
    }
}

}  // namespace qgl
