// The web GL layer's draws: each primitive the show draws becomes WebGL's (quads and polygons
// indexed triangles, lines instanced screen-space quads one segment wide, points point sprites),
// and consecutive draws that need the same program, uniforms and constant attributes are
// gathered into one WebGL draw, each with its own modelview from a small palette. Primitives
// keep their order, so the picture is the one separate draws make; what changes is how often the
// page crosses into WebGL, which costs far more per draw than per vertex.
#include "render/web/gl_state.h"

#include <cstring>

namespace qgl {

namespace {

// What a batch draws: points, GL_LINES' separate segments, line strips (told apart by a
// number per vertex; the segment from one strip's end to the next one's start is not drawn),
// indexed triangles, or a triangle strip drawn as it is, alone.
enum Shape { POINTS, SEGMENTS, STRIPS, TRIANGLES, TRIANGLE_STRIP };

// The vertex streams a batch uploads, in this order; a stream not uploaded is a constant.
enum Stream { S_POS, S_COL, S_TEX, S_NRM, S_IDS, STREAMS };
const int STREAM_FLOATS[STREAMS] = {4, 4, 2, 3, 2};

// The attributes every draw of a batch shares: which vary per vertex, and the value of each that
// does not. Compared bytewise.
struct Layout {
    int posSize;
    int varies[STREAMS];
    float constant[STREAMS][4];
};

struct Batch {
    Shape shape = POINTS;
    ShaderState state;
    Layout layout;
    std::vector<float> data[STREAMS];
    int vertices = 0;
    int strips = 0;
    std::vector<Mat> palette;
    // Triangles: the indices, unless the batch is all quads, which the shared quad indices draw.
    bool quadsOnly = true;
    std::vector<GLuint> indices;
};

Batch batch;
bool open = false;
ShaderState next;
Layout nextLayout;

GLuint vao = 0, cornerVbo = 0, quadIbo = 0, indexIbo = 0, streamVbo[STREAMS] = {};
int quadIndexCount = 0;

void setConstant(Layout& l, Stream s, const Attrib& a, int floats)
{
    l.varies[s] = a.data != nullptr;
    if (!a.data)
        std::memcpy(l.constant[s], a.value, floats * sizeof(float));
}

// The layout of a draw of this kind: the attributes its program reads, constants where the
// vertices give none. Lines read no texture coordinate of their vertices (0, 0 throughout) and
// only lit triangles read normals.
void describe(int kind, const Vertices& v, Layout& l)
{
    std::memset(&l, 0, sizeof l);
    l.posSize = v.pos.size;
    l.varies[S_POS] = 1;
    setConstant(l, S_COL, v.col, 4);
    if (variantTextured(next.variant) && kind != 2)
        setConstant(l, S_TEX, v.tex, 2);
    if (variantLit(next.variant))
        setConstant(l, S_NRM, v.nrm, 3);
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

void appendVertices(const Vertices& v, int first, int count)
{
    const Attrib* attribs[STREAMS] = {&v.pos, &v.col, &v.tex, &v.nrm, nullptr};
    for (int s = S_POS; s < S_IDS; s++)
        if (batch.layout.varies[s])
            append(batch.data[s], *attribs[s], s == S_POS ? batch.layout.posSize : STREAM_FLOATS[s], first, count);
}

// Gives the batch a number per vertex (palette index, strip) from here on, the vertices so far
// all of the first matrix and the first strip.
void idsVary()
{
    if (batch.layout.varies[S_IDS])
        return;
    batch.layout.varies[S_IDS] = 1;
    batch.data[S_IDS].assign((size_t)batch.vertices * 2, 0.0f);
}

void ensureQuadIndices(int quads)
{
    if (quads * 6 <= quadIndexCount)
        return;
    int count = 6;
    while (count < quads * 6)
        count *= 2;
    std::vector<GLuint> pattern((size_t)count);
    const GLuint order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < count; i++)
        pattern[i] = (GLuint)(i / 6 * 4) + order[i % 6];
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, quadIbo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, (GLsizeiptr)(count * sizeof(GLuint)), pattern.data(), GL_STATIC_DRAW);
    quadIndexCount = count;
}

void quadIndices(std::vector<GLuint>& out, int base, int vertices)
{
    const GLuint order[6] = {0, 1, 2, 0, 2, 3};
    for (int q = 0; q < vertices; q += 4)
        for (GLuint k : order)
            out.push_back((GLuint)(base + q) + k);
}

// Points attribute a at the batch's stream s, instanced (per segment, `step` vertices apart,
// `offset` vertices in) or per vertex, or sets its constant.
void bindStream(Attr a, Stream s, int floats, int step, int offset, bool instanced)
{
    if (!batch.layout.varies[s]) {
        glDisableVertexAttribArray(a);
        glVertexAttrib4fv(a, batch.layout.constant[s]);
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, streamVbo[s]);
    glEnableVertexAttribArray(a);
    GLsizei stride = (GLsizei)(step * floats * sizeof(float));
    glVertexAttribPointer(a, floats, GL_FLOAT, GL_FALSE, stride, (const void*)(offset * floats * sizeof(float)));
    glVertexAttribDivisor(a, instanced ? 1 : 0);
}

}  // namespace

void makeDrawBuffers()
{
    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &cornerVbo);
    glGenBuffers(1, &quadIbo);
    glGenBuffers(1, &indexIbo);
    glGenBuffers(STREAMS, streamVbo);
    // A line's four corners: (0 at the first end, 1 at the second; -1 and 1 across).
    const float corners[8] = {0, -1, 0, 1, 1, -1, 1, 1};
    glBindBuffer(GL_ARRAY_BUFFER, cornerVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
    quadIndexCount = 0;
}

void flush()
{
    if (!open)
        return;
    open = false;
    Batch& b = batch;
    if (b.vertices == 0 || !useState(b.state, b.palette.data(), (int)b.palette.size()))
        return;
    glBindVertexArray(vao);
    for (int s = 0; s < STREAMS; s++)
        if (b.layout.varies[s]) {
            glBindBuffer(GL_ARRAY_BUFFER, streamVbo[s]);
            glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(b.data[s].size() * sizeof(float)), b.data[s].data(),
                         GL_STREAM_DRAW);
        }
    int posSize = b.layout.posSize;
    if (b.shape == SEGMENTS || b.shape == STRIPS) {
        int step = b.shape == SEGMENTS ? 2 : 1;
        bindStream(A_POS, S_POS, posSize, step, 0, true);
        bindStream(A_POS1, S_POS, posSize, step, 1, true);
        bindStream(A_COL, S_COL, 4, step, 0, true);
        bindStream(A_COL1, S_COL, 4, step, 1, true);
        bindStream(A_IDS, S_IDS, 2, step, 0, true);
        bindStream(A_IDS1, S_IDS, 2, step, 1, true);
        bindStream(A_TEX, S_TEX, 2, 1, 0, false);
        glDisableVertexAttribArray(A_NRM);
        glBindBuffer(GL_ARRAY_BUFFER, cornerVbo);
        glEnableVertexAttribArray(A_CORNER);
        glVertexAttribPointer(A_CORNER, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        glVertexAttribDivisor(A_CORNER, 0);
        int instances = b.shape == SEGMENTS ? b.vertices / 2 : b.vertices - 1;
        glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, instances);
        return;
    }
    bindStream(A_POS, S_POS, posSize, 1, 0, false);
    bindStream(A_COL, S_COL, 4, 1, 0, false);
    bindStream(A_TEX, S_TEX, 2, 1, 0, false);
    bindStream(A_NRM, S_NRM, 3, 1, 0, false);
    bindStream(A_IDS, S_IDS, 2, 1, 0, false);
    glDisableVertexAttribArray(A_POS1);
    glDisableVertexAttribArray(A_COL1);
    glDisableVertexAttribArray(A_IDS1);
    glDisableVertexAttribArray(A_CORNER);
    if (b.shape == POINTS) {
        glDrawArrays(GL_POINTS, 0, b.vertices);
    } else if (b.shape == TRIANGLE_STRIP) {
        glDrawArrays(GL_TRIANGLE_STRIP, 0, b.vertices);
    } else if (b.quadsOnly) {
        ensureQuadIndices(b.vertices / 4);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, quadIbo);
        glDrawElements(GL_TRIANGLES, b.vertices / 4 * 6, GL_UNSIGNED_INT, nullptr);
    } else {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexIbo);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, (GLsizeiptr)(b.indices.size() * sizeof(GLuint)), b.indices.data(),
                     GL_STREAM_DRAW);
        glDrawElements(GL_TRIANGLES, (GLsizei)b.indices.size(), GL_UNSIGNED_INT, nullptr);
    }
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
    if (n <= 0)
        return;
    captureState(kind, next);
    describe(kind, v, nextLayout);
    const Mat& mv = modelview.back();

    // Gathered with the batch when nothing but the modelview differs and the palette has room.
    bool join = open && shape == batch.shape && shape != TRIANGLE_STRIP &&
                std::memcmp(&next, &batch.state, sizeof next) == 0 &&
                std::memcmp(&nextLayout, &batch.layout, sizeof nextLayout) == 0;
    int matrix = join ? (int)batch.palette.size() - 1 : 0;
    if (join && std::memcmp(&mv, &batch.palette.back(), sizeof mv) != 0) {
        if (batch.palette.size() < (size_t)PALETTE)
            matrix++;
        else
            join = false;
    }
    if (!join) {
        flush();
        batch.shape = shape;
        batch.state = next;
        batch.layout = nextLayout;
        for (auto& d : batch.data)
            d.clear();
        batch.vertices = batch.strips = 0;
        batch.palette.assign(1, mv);
        batch.quadsOnly = true;
        batch.indices.clear();
        open = true;
        matrix = 0;
    } else if (matrix == (int)batch.palette.size()) {
        batch.palette.push_back(mv);
    }

    int base = batch.vertices;
    int strip = shape == STRIPS ? batch.strips++ : 0;
    if (matrix != 0 || strip != 0)
        idsVary();
    appendVertices(v, 0, n);
    int added = n;
    if (mode == GL_LINE_LOOP) {
        appendVertices(v, 0, 1);
        added++;
    }
    batch.vertices += added;
    if (batch.layout.varies[S_IDS]) {
        std::vector<float>& ids = batch.data[S_IDS];
        for (int i = 0; i < added; i++)
            ids.push_back((float)matrix), ids.push_back((float)strip);
    }
    if (shape != TRIANGLES)
        return;
    if (mode == GL_QUADS && batch.quadsOnly)
        return;
    if (batch.quadsOnly) {
        batch.quadsOnly = false;
        quadIndices(batch.indices, 0, base);
    }
    if (mode == GL_QUADS) {
        quadIndices(batch.indices, base, n);
    } else if (mode == GL_TRIANGLES) {
        for (int i = 0; i < n; i++)
            batch.indices.push_back((GLuint)(base + i));
    } else {
        // A polygon or fan: triangle i is the first vertex and vertices i + 1 and i + 2.
        for (int i = 1; i + 1 < n; i++) {
            batch.indices.push_back((GLuint)base);
            batch.indices.push_back((GLuint)(base + i));
            batch.indices.push_back((GLuint)(base + i + 1));
        }
    }
}

}  // namespace qgl
