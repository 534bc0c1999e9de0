// The web GL layer's queue: the WebGL state calls and gathered draws of a frame, made in order by
// flush() when the frame ends, before a texture changes or an error or WebGL state is asked for.
// The lines' vertices go up first, as one texture; then each draw's vertex streams, program
// and uniforms. The frame's work is kept until the next frame begins, so that it can be made
// again: the frame shown again, to be read back, with nothing kept off screen meanwhile.
#include "render/web/gl_queue.h"
#include "render/web/gl_state.h"
#include "render/web/gl_texture.h"

#include <cstring>
#include <deque>
#include <vector>

namespace qgl {

std::vector<float> lineData;
int maxLineTexels = 1024 * 2048;

namespace {

enum Op {
    ENABLE, DISABLE, BLEND_FUNC, DEPTH_MASK, DEPTH_FUNC, CULL_FACE, CLEAR_COLOR, CLEAR, VIEWPORT, SCISSOR, DRAW
};

struct Command {
    Op op;
    int v[4];
    float f[4];
};

// The frame's commands; the first `made` have been made.
std::vector<Command> commands;
size_t made = 0;
// The batches, kept from frame to frame for their storage: the first `used` are the frame's.
std::deque<Batch> batches;
size_t used = 0;
// The line data's floats in the line texture; whether the frame's work is all kept (a frame
// whose lines overflowed the texture, or begun on a lost context, is not).
size_t uploadedFloats = 0;
bool repeatable = false;

GLuint vao = 0, quadIbo = 0, segmentIbo = 0, indexIbo = 0, streamVbo[STREAMS] = {}, lineTexture = 0;
int quadIndexCount = 0, segmentIndexCount = 0, lineRows = 0;
// The line texture's width in texels.
const int LINE_ROW = 1024;

void queue(Op op, int a = 0, int b = 0, int c = 0, int d = 0)
{
    closeBatch();
    Command command{op, {a, b, c, d}, {}};
    commands.push_back(command);
}

// Makes an index buffer of `count` indices or more, `per` of them for each four vertices in
// the order `order` gives.
void ensureIndices(GLuint buffer, int& have, int count, const GLuint* order, int per)
{
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    if (count <= have)
        return;
    int size = 6 * 1024;
    while (size < count)
        size *= 2;
    std::vector<GLuint> pattern((size_t)size);
    for (int i = 0; i < size; i++)
        pattern[i] = (GLuint)(i / per * 4) + order[i % per];
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, (GLsizeiptr)(size * sizeof(GLuint)), pattern.data(), GL_STATIC_DRAW);
    have = size;
}

// A quad's two triangles, from its corners in GL_QUADS' order.
const GLuint QUAD_ORDER[6] = {0, 1, 2, 0, 2, 3};
// A line segment's quad, from its corners in a triangle strip's order (two across its first end,
// then two across its second), as the strip's two triangles.
const GLuint SEGMENT_ORDER[6] = {0, 1, 2, 1, 3, 2};

void uploadLines()
{
    size_t texels = lineData.size() / 4;
    int rows = (int)((texels + LINE_ROW - 1) / LINE_ROW);
    lineData.resize((size_t)rows * LINE_ROW * 4);
    uploadedFloats = lineData.size();
    glActiveTexture(GL_TEXTURE0 + LINE_UNIT);
    glBindTexture(GL_TEXTURE_2D, lineTexture);
    if (rows > lineRows) {
        lineRows = rows;
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, LINE_ROW, lineRows, 0, GL_RGBA, GL_FLOAT, nullptr);
    }
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, LINE_ROW, rows, GL_RGBA, GL_FLOAT, lineData.data());
    glActiveTexture(GL_TEXTURE0);
}

// Points attribute a at the batch's stream s, or sets its constant.
void bindStream(const Batch& b, Attr a, Stream s, int floats)
{
    if (!b.layout.varies[s]) {
        glDisableVertexAttribArray(a);
        glVertexAttrib4fv(a, b.layout.constant[s]);
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, streamVbo[s]);
    glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(b.data[s].size() * sizeof(float)), b.data[s].data(), GL_STREAM_DRAW);
    glEnableVertexAttribArray(a);
    glVertexAttribPointer(a, floats, GL_FLOAT, GL_FALSE, 0, nullptr);
}

void drawBatch(const Batch& b)
{
    if (b.shape == SEGMENTS || b.shape == STRIPS) {
        // Each segment's quad is four vertices of nothing but their number, which find the
        // segment's ends in the line texture.
        for (int a = 0; a < ATTR_COUNT; a++)
            glDisableVertexAttribArray(a);
        glVertexAttrib4fv(A_TEX, b.layout.constant[S_TEX]);
        int step = b.shape == SEGMENTS ? 2 : 1;
        setLineSource(b.lineFirst, step, b.lineTexels);
        int segments = b.shape == SEGMENTS ? b.vertices / 2 : b.vertices - 1;
        ensureIndices(segmentIbo, segmentIndexCount, segments * 6, SEGMENT_ORDER, 6);
        glDrawElements(GL_TRIANGLES, segments * 6, GL_UNSIGNED_INT, nullptr);
        return;
    }
    bindStream(b, A_POS, S_POS, b.layout.posSize);
    bindStream(b, A_COL, S_COL, 4);
    bindStream(b, A_TEX, S_TEX, 2);
    bindStream(b, A_NRM, S_NRM, 3);
    bindStream(b, A_IDS, S_IDS, 2);
    if (b.shape == POINTS) {
        glDrawArrays(GL_POINTS, 0, b.vertices);
    } else if (b.shape == TRIANGLE_STRIP) {
        glDrawArrays(GL_TRIANGLE_STRIP, 0, b.vertices);
    } else if (b.quadsOnly) {
        ensureIndices(quadIbo, quadIndexCount, b.vertices / 4 * 6, QUAD_ORDER, 6);
        glDrawElements(GL_TRIANGLES, b.vertices / 4 * 6, GL_UNSIGNED_INT, nullptr);
    } else {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexIbo);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, (GLsizeiptr)(b.indices.size() * sizeof(GLuint)), b.indices.data(),
                     GL_STREAM_DRAW);
        glDrawElements(GL_TRIANGLES, (GLsizei)b.indices.size(), GL_UNSIGNED_INT, nullptr);
    }
}

}  // namespace

Batch& queueBatch()
{
    closeBatch();
    if (used == batches.size())
        batches.emplace_back();
    Batch& b = batches[used];
    queue(DRAW, (int)used);
    used++;
    return b;
}

void queueEnable(GLenum cap, bool on) { queue(on ? ENABLE : DISABLE, (int)cap); }
void queueBlendFunc(GLenum s, GLenum d) { queue(BLEND_FUNC, (int)s, (int)d); }
void queueDepthMask(bool flag) { queue(DEPTH_MASK, flag); }
void queueDepthFunc(GLenum func) { queue(DEPTH_FUNC, (int)func); }
void queueCullFace(GLenum mode) { queue(CULL_FACE, (int)mode); }
void queueClear(GLbitfield mask) { queue(CLEAR, (int)mask); }
void queueViewport(int x, int y, int w, int h) { queue(VIEWPORT, x, y, w, h); }
void queueScissor(int x, int y, int w, int h) { queue(SCISSOR, x, y, w, h); }

void queueClearColor(float r, float g, float b, float a)
{
    queue(CLEAR_COLOR);
    float* f = commands.back().f;
    f[0] = r, f[1] = g, f[2] = b, f[3] = a;
}

void makeDrawBuffers()
{
    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &quadIbo);
    glGenBuffers(1, &segmentIbo);
    glGenBuffers(1, &indexIbo);
    glGenBuffers(STREAMS, streamVbo);
    quadIndexCount = segmentIndexCount = 0;
    glGenTextures(1, &lineTexture);
    glActiveTexture(GL_TEXTURE0 + LINE_UNIT);
    glBindTexture(GL_TEXTURE_2D, lineTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glActiveTexture(GL_TEXTURE0);
    lineRows = 0;
    GLint size = 2048;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    maxLineTexels = LINE_ROW * size;
}

void dropQueue()
{
    closeBatch();
    commands.clear();
    made = used = 0;
    lineData.clear();
    uploadedFloats = 0;
    repeatable = false;
}

void startLinesAfresh()
{
    flush();
    lineData.clear();
    uploadedFloats = 0;
    repeatable = false;
}

namespace {

// Makes commands from to to - 1.
void make(size_t from, size_t to)
{
    glBindVertexArray(vao);
    // WebGL's texture is the one the show bound; a textured draw binds its own meanwhile.
    GLuint texture = boundTexture;
    for (size_t i = from; i < to; i++) {
        const Command& c = commands[i];
        switch (c.op) {
        case ENABLE: glEnable((GLenum)c.v[0]); break;
        case DISABLE: glDisable((GLenum)c.v[0]); break;
        case BLEND_FUNC: glBlendFunc((GLenum)c.v[0], (GLenum)c.v[1]); break;
        case DEPTH_MASK: glDepthMask((GLboolean)c.v[0]); break;
        case DEPTH_FUNC: glDepthFunc((GLenum)c.v[0]); break;
        case CULL_FACE: glCullFace((GLenum)c.v[0]); break;
        case CLEAR_COLOR: glClearColor(c.f[0], c.f[1], c.f[2], c.f[3]); break;
        case CLEAR: glClear((GLbitfield)c.v[0]); break;
        case VIEWPORT: glViewport(c.v[0], c.v[1], c.v[2], c.v[3]); break;
        case SCISSOR: glScissor(c.v[0], c.v[1], c.v[2], c.v[3]); break;
        case DRAW: {
            const Batch& b = batches[(size_t)c.v[0]];
            if (b.vertices == 0 || !useState(b.state, b.palette.data(), (int)b.palette.size()))
                break;
            if (b.state.texture != 0 && b.state.texture != texture) {
                texture = b.state.texture;
                glBindTexture(GL_TEXTURE_2D, webTexture(texture));
            }
            drawBatch(b);
            break;
        }
        }
    }
    if (texture != boundTexture)
        glBindTexture(GL_TEXTURE_2D, webTexture(boundTexture));
}

}  // namespace

void flush()
{
    closeBatch();
    if (made == commands.size())
        return;
    if (lineData.size() != uploadedFloats)
        uploadLines();
    make(made, commands.size());
    made = commands.size();
}

void startFrame()
{
    // What was queued before the frame (the show's start-up) is made, and not kept.
    flush();
    commands.clear();
    made = used = 0;
    lineData.clear();
    uploadedFloats = 0;
    repeatable = true;
    rememberFrameStart();
}

bool makeFrameAgain()
{
    flush();
    if (!repeatable || made == 0)
        return false;
    setFrameStart();
    make(0, made);
    restoreWebState();
    return true;
}

}  // namespace qgl
