// The recording stand-in for WebGL 2 (webgl.h): the WebGL 2 functions the web GL layer calls,
// those the tests read kept in the list of calls, with the state its draws read.
#include "webgl.h"

#include <GLES3/gl3.h>

#include <cstring>

namespace webgl {

std::vector<Call> calls;
std::vector<Draw> draws;
int maxTextureSize = 4096;
std::vector<unsigned> errors;

namespace {

// One name for every object, whatever its kind: a name made again after a loss is a new one.
GLuint nextName = 1;
GLuint arrayBuffer = 0, elementBuffer = 0, program = 0, activeUnit = 0, unit0Texture = 0;
GLint unpackAlignment = 4;
std::map<GLuint, std::vector<unsigned char>> buffers;
struct Attribute {
    bool enabled = false;
    GLuint buffer = 0;
    int size = 4;
    size_t offset = 0;
    float constant[4] = {0, 0, 0, 1};
} attributes[5];
std::map<std::string, GLint> locations;
std::map<GLuint, std::map<GLint, std::vector<float>>> uniforms;

template <class... Args>
void record(const char* name, Args... args)
{
    calls.push_back(Call{name, {(double)args...}, {}});
}

void gen(const char* name, GLsizei n, GLuint* out)
{
    Call c{name, {(double)n}, {}};
    for (GLsizei i = 0; i < n; i++)
        c.args.push_back(out[i] = nextName++);
    calls.push_back(std::move(c));
}

// Keeps the bytes of the image the last call gave, its rows aligned as WebGL unpacks them.
void keepImage(GLsizei w, GLsizei h, GLenum format, GLenum type, const void* pixels)
{
    int channels = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : format == GL_LUMINANCE_ALPHA ? 2 : 1;
    size_t row = (size_t)w * channels * (type == GL_FLOAT ? 4 : 1);
    size_t stride = (row + unpackAlignment - 1) / unpackAlignment * unpackAlignment;
    if (pixels && w > 0 && h > 0)
        calls.back().data.assign((const unsigned char*)pixels, (const unsigned char*)pixels + stride * (h - 1) + row);
}

void setUniform(GLint loc, const float* v, size_t n)
{
    uniforms[program][loc].assign(v, v + n);
}

void draw(GLenum mode, std::vector<unsigned> indices)
{
    Draw d;
    d.mode = mode;
    d.indices = std::move(indices);
    for (int a = 0; a < 5; a++) {
        const Attribute& at = attributes[a];
        d.varies[a] = at.enabled;
        d.size[a] = at.enabled ? at.size : 4;
        if (!at.enabled) {
            d.attrib[a].assign(at.constant, at.constant + 4);
            continue;
        }
        const std::vector<unsigned char>& b = buffers[at.buffer];
        d.attrib[a].resize((b.size() - at.offset) / sizeof(float));
        std::memcpy(d.attrib[a].data(), b.data() + at.offset, d.attrib[a].size() * sizeof(float));
    }
    for (auto& l : locations)
        if (uniforms[program].count(l.second))
            d.uniforms[l.first] = uniforms[program][l.second];
    d.texture = unit0Texture;
    draws.push_back(std::move(d));
}

}  // namespace

void clear()
{
    calls.clear();
    draws.clear();
}

std::vector<Call> named(const std::string& name)
{
    std::vector<Call> out;
    for (const Call& c : calls)
        if (c.name == name)
            out.push_back(c);
    return out;
}

}  // namespace webgl

using namespace webgl;

void glActiveTexture(GLenum unit) { activeUnit = unit - GL_TEXTURE0, record("glActiveTexture", unit); }
void glAttachShader(GLuint, GLuint) {}
void glBindAttribLocation(GLuint, GLuint, const GLchar*) {}
void glBindBuffer(GLenum target, GLuint b)
{
    (target == GL_ARRAY_BUFFER ? arrayBuffer : elementBuffer) = b;
}
void glBindTexture(GLenum target, GLuint t)
{
    unit0Texture = activeUnit ? unit0Texture : t, record("glBindTexture", target, t);
}
void glBindVertexArray(GLuint array) { record("glBindVertexArray", array); }
void glBlendFunc(GLenum s, GLenum d) { record("glBlendFunc", s, d); }
void glBufferData(GLenum target, GLsizeiptr size, const void* data, GLenum)
{
    auto& b = buffers[target == GL_ELEMENT_ARRAY_BUFFER ? elementBuffer : arrayBuffer];
    b.assign((size_t)size, 0);
    if (data)
        std::memcpy(b.data(), data, (size_t)size);
}
void glClear(GLbitfield mask) { record("glClear", mask); }
void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { record("glClearColor", r, g, b, a); }
void glCompileShader(GLuint) {}
GLuint glCreateProgram() { return record("glCreateProgram", nextName), nextName++; }
GLuint glCreateShader(GLenum) { return nextName++; }
void glCullFace(GLenum mode) { record("glCullFace", mode); }
void glDeleteProgram(GLuint) {}
void glDeleteShader(GLuint) {}
void glDeleteTextures(GLsizei, const GLuint*) {}
void glDepthFunc(GLenum func) { record("glDepthFunc", func); }
void glDepthMask(GLboolean flag) { record("glDepthMask", flag); }
void glDisable(GLenum cap) { record("glDisable", cap); }
void glDisableVertexAttribArray(GLuint i) { attributes[i].enabled = false; }
void glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    std::vector<unsigned> indices;
    for (GLsizei i = 0; i < count; i++)
        indices.push_back((unsigned)(first + i));
    draw(mode, indices);
}
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* offset)
{
    record("glDrawElements", mode, count, type, (size_t)offset);
    std::vector<unsigned> indices((size_t)count);
    std::memcpy(indices.data(), buffers[elementBuffer].data() + (size_t)offset, indices.size() * sizeof(unsigned));
    draw(mode, indices);
}
void glEnable(GLenum cap) { record("glEnable", cap); }
void glEnableVertexAttribArray(GLuint i) { attributes[i].enabled = true; }
void glFinish() {}
void glFlush() {}
void glGenBuffers(GLsizei n, GLuint* out) { gen("glGenBuffers", n, out); }
void glGenTextures(GLsizei n, GLuint* out) { gen("glGenTextures", n, out); }
void glGenVertexArrays(GLsizei n, GLuint* out) { gen("glGenVertexArrays", n, out); }
void glGenerateMipmap(GLenum target) { record("glGenerateMipmap", target); }
GLenum glGetError()
{
    GLenum e = errors.empty() ? GL_NO_ERROR : errors.front();
    errors.erase(errors.begin(), errors.begin() + !errors.empty());
    return e;
}
void glGetFloatv(GLenum, GLfloat*) {}
void glGetIntegerv(GLenum pname, GLint* data)
{
    record("glGetIntegerv", pname);
    if (pname == GL_MAX_TEXTURE_SIZE)
        *data = maxTextureSize;
}
void glGetProgramInfoLog(GLuint, GLsizei, GLsizei*, GLchar*) {}
void glGetProgramiv(GLuint, GLenum, GLint* out) { *out = GL_TRUE; }
void glGetShaderInfoLog(GLuint, GLsizei, GLsizei*, GLchar*) {}
void glGetShaderiv(GLuint, GLenum, GLint* out) { *out = GL_TRUE; }
GLint glGetUniformLocation(GLuint, const GLchar* name)
{
    return locations.emplace(name, (GLint)locations.size()).first->second;
}
void glLinkProgram(GLuint) {}
void glPixelStorei(GLenum pname, GLint param)
{
    unpackAlignment = pname == GL_UNPACK_ALIGNMENT ? param : unpackAlignment;
    record("glPixelStorei", pname, param);
}
void glScissor(GLint x, GLint y, GLsizei w, GLsizei h) { record("glScissor", x, y, w, h); }
void glShaderSource(GLuint, GLsizei, const GLchar* const*, const GLint*) {}
void glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border, GLenum format,
                  GLenum type, const void* pixels)
{
    record("glTexImage2D", target, level, internal, w, h, border, format, type);
    keepImage(w, h, format, type, pixels);
}
void glTexParameteri(GLenum target, GLenum pname, GLint param) { record("glTexParameteri", target, pname, param); }
void glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type,
                     const void* pixels)
{
    record("glTexSubImage2D", target, level, x, y, w, h, format, type);
    keepImage(w, h, format, type, pixels);
}
void glUniform1f(GLint loc, GLfloat v) { setUniform(loc, &v, 1); }
void glUniform1i(GLint loc, GLint v) { float f = (float)v; setUniform(loc, &f, 1); }
void glUniform2fv(GLint loc, GLsizei n, const GLfloat* v) { setUniform(loc, v, 2 * (size_t)n); }
void glUniform3fv(GLint loc, GLsizei n, const GLfloat* v) { setUniform(loc, v, 3 * (size_t)n); }
void glUniform4fv(GLint loc, GLsizei n, const GLfloat* v) { setUniform(loc, v, 4 * (size_t)n); }
void glUniformMatrix4fv(GLint loc, GLsizei n, GLboolean, const GLfloat* v) { setUniform(loc, v, 16 * (size_t)n); }
void glUseProgram(GLuint p) { program = p, record("glUseProgram", p); }
void glVertexAttrib4fv(GLuint i, const GLfloat* v)
{
    std::memcpy(attributes[i].constant, v, sizeof attributes[i].constant);
}
void glVertexAttribPointer(GLuint i, GLint size, GLenum, GLboolean, GLsizei, const void* offset)
{
    attributes[i].buffer = arrayBuffer;
    attributes[i].size = size;
    attributes[i].offset = (size_t)offset;
}
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { record("glViewport", x, y, w, h); }
