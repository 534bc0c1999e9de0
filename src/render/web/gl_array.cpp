// The web GL layer's client arrays and buffer objects: the arrays glVertexPointer and its kin
// name, handed to the draw as they are when they hold floats (as the show's do), otherwise read
// element by element into full vertices; and the buffers they may live in, kept in memory here.
#include "render/web/gl_array.h"
#include "render/web/gl_batch.h"
#include "render/web/gl_draw.h"
#include "render/web/gl_state.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

namespace qgl {

ClientState client;

namespace {

std::vector<ClientState> clientStack;
std::map<GLuint, std::vector<unsigned char>> buffers;
GLuint nextBuffer = 1;
std::vector<Vtx> scratch;

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

ClientArray* clientArray(GLenum array)
{
    switch (array) {
    case GL_VERTEX_ARRAY: return &client.vertex;
    case GL_COLOR_ARRAY: return &client.color;
    case GL_TEXTURE_COORD_ARRAY: return &client.texcoord;
    case GL_NORMAL_ARRAY: return &client.normal;
    default: return nullptr;
    }
}

void setPointer(ClientArray& a, GLint size, GLenum type, GLsizei stride, const GLvoid* p)
{
    a.size = size, a.type = type, a.stride = stride, a.pointer = p, a.buffer = client.arrayBuffer;
}

// An array the draw can read as it is: floats in client memory, `size` of them per element, or
// the current value when the array is disabled. False when it must be converted.
bool direct(const ClientArray& a, int size, int first, const float* current, Attrib& out)
{
    if (!a.enabled) {
        out.value = current;
        return true;
    }
    if (a.type != GL_FLOAT || a.buffer != 0 || a.size != size)
        return false;
    out.size = size;
    out.stride = a.stride != 0 ? a.stride : size * (int)sizeof(float);
    out.data = (const unsigned char*)a.pointer + (size_t)first * out.stride;
    return true;
}

}  // namespace
}  // namespace qgl

using namespace qgl;

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

void qgl_VertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) { setPointer(client.vertex, size, type, stride, p); }
void qgl_ColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) { setPointer(client.color, size, type, stride, p); }
void qgl_TexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) { setPointer(client.texcoord, size, type, stride, p); }
void qgl_NormalPointer(GLenum type, GLsizei stride, const GLvoid* p) { setPointer(client.normal, 3, type, stride, p); }

void qgl_DrawArrays(GLenum mode, GLint first, GLsizei count)
{
    if (count <= 0 || !client.vertex.enabled)
        return;
    Vertices v;
    v.count = count;
    const ClientArray& p = client.vertex;
    if (p.type == GL_FLOAT && p.buffer == 0 && p.size >= 2 && direct(p, p.size, first, nullptr, v.pos) &&
        direct(client.color, 4, first, S.color, v.col) && direct(client.texcoord, 2, first, S.texcoord, v.tex) &&
        direct(client.normal, 3, first, S.normal, v.nrm)) {
        submit(mode, v);
        return;
    }
    scratch.clear();
    for (GLsizei i = 0; i < count; i++)
        scratch.push_back(arrayVertex(first + i));
    drawVertices(mode, scratch);
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
    drawVertices(mode, scratch);
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
