// The web GL layer's queue of WebGL work (gl_queue.cpp): the state changes and the gathered draws
// of a frame, kept in order and made together when the frame ends or something must see their
// effect. gl_batch.cpp gathers the draws into it and gl_state.cpp queues WebGL's state calls.
#ifndef QUENRASTILAN_RENDER_WEB_GL_QUEUE_H
#define QUENRASTILAN_RENDER_WEB_GL_QUEUE_H

#include "render/web/gl_shader.h"

#include <vector>

namespace qgl {

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

// What a batch draws: points, GL_LINES' separate segments, line strips (told apart by a
// number per vertex; the segment from one strip's end to the next one's start is not drawn),
// indexed triangles, or a triangle strip drawn as it is, alone.
enum Shape { POINTS, SEGMENTS, STRIPS, TRIANGLES, TRIANGLE_STRIP };

// The vertex streams of a batch of points or triangles; a stream not uploaded is a constant.
enum Stream { S_POS, S_COL, S_TEX, S_NRM, S_IDS, STREAMS };
const int STREAM_FLOATS[STREAMS] = {4, 4, 2, 3, 2};

// The attributes every draw of a batch shares: which vary per vertex, and the value of each that
// does not (each constant compared bytewise).
struct Layout {
    int posSize;
    int varies[STREAMS];
    float constant[STREAMS][4];
};

// Draws made as one WebGL draw.
struct Batch {
    Shape shape = POINTS;
    ShaderState state;
    Layout layout;
    std::vector<float> data[STREAMS];  // points and triangles: the varying streams
    int vertices = 0;
    int strips = 0;
    int lineFirst = 0;                 // lines: their first texel in lineData
    int lineTexels = 2;                // and the texels of each vertex
    std::vector<Mat> palette;
    // Triangles: the indices, unless the batch is all quads, which shared quad indices draw.
    bool quadsOnly = true;
    std::vector<GLuint> indices;
};

// The queued lines' vertices, two texels (eight floats) each: the position x, y, z and the
// palette index plus PALETTE times the strip number, then the colour; and a third texel, w in
// its first float, where a w is not 1. They go up as one texture before the queue's first draw:
// a texture changed between draws costs the browser far more than the upload itself.
extern std::vector<float> lineData;
// How many texels the line texture holds.
extern int maxLineTexels;

// A new, empty batch at the end of the queue; it stays valid until the queue is made.
Batch& queueBatch();
// Ends the gathering of draws into the last batch (gl_batch.cpp): a queued state change comes
// between it and the next draw.
void closeBatch();

// Makes what is queued and starts the line texture afresh, for lines the texture has no more
// room for; the frame is then not kept whole.
void startLinesAfresh();

// The WebGL state calls the queue keeps, in the order they are made.
void queueEnable(GLenum cap, bool on);
void queueBlendFunc(GLenum s, GLenum d);
void queueDepthMask(bool flag);
void queueDepthFunc(GLenum func);
void queueCullFace(GLenum mode);
void queueClearColor(float r, float g, float b, float a);
void queueClear(GLbitfield mask);
void queueViewport(int x, int y, int w, int h);
void queueScissor(int x, int y, int w, int h);

}  // namespace qgl

#endif
