// The recording stand-in for WebGL 2 (webgl.h): the WebGL 2 functions the web GL layer calls,
// each kept in the list of calls, with the state its draws read.
#include "webgl.h"

#include <GLES3/gl3.h>

#include <cstring>
#include <initializer_list>

namespace webgl {

std::vector<Call> calls;
std::vector<Draw> draws;
int maxTextureSize = 4096;
bool shadersCompile = true;
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
    long offset = 0;
    float constant[4] = {0, 0, 0, 1};
} attributes[5];
std::map<std::string, GLint> locations;
std::map<GLuint, std::map<GLint, std::vector<float>>> uniforms;

void record(const char* name, std::initializer_list<double> args, const void* data = nullptr, size_t bytes = 0)
{
    Call c{name, args, {}};
    if (data)
        c.data.assign((const unsigned char*)data, (const unsigned char*)data + bytes);
    calls.push_back(std::move(c));
}

void gen(const char* name, GLsizei n, GLuint* out)
{
    Call c{name, {(double)n}, {}};
    for (GLsizei i = 0; i < n; i++)
        c.args.push_back(out[i] = nextName++);
    calls.push_back(std::move(c));
}

size_t imageBytes(GLsizei w, GLsizei h, GLenum format, GLenum type)
{
    int channels = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : format == GL_LUMINANCE_ALPHA ? 2 : 1;
    size_t row = (size_t)w * channels * (type == GL_FLOAT ? 4 : 1);
    size_t stride = (row + unpackAlignment - 1) / unpackAlignment * unpackAlignment;
    return w <= 0 || h <= 0 ? 0 : stride * (h - 1) + row;
}

void setUniform(const char* name, GLint loc, const float* v, size_t n)
{
    record(name, {(double)loc}, v, n * sizeof(float));
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

void glActiveTexture(GLenum texture) { activeUnit = texture - GL_TEXTURE0; record("glActiveTexture", {(double)texture}); }
void glAttachShader(GLuint p, GLuint s) { record("glAttachShader", {(double)p, (double)s}); }
void glBindAttribLocation(GLuint p, GLuint index, const GLchar* name)
{
    record("glBindAttribLocation", {(double)p, (double)index}, name, std::strlen(name));
}
void glBindBuffer(GLenum target, GLuint buffer)
{
    (target == GL_ELEMENT_ARRAY_BUFFER ? elementBuffer : arrayBuffer) = buffer;
    record("glBindBuffer", {(double)target, (double)buffer});
}
void glBindTexture(GLenum target, GLuint texture)
{
    if (activeUnit == 0)
        unit0Texture = texture;
    record("glBindTexture", {(double)target, (double)texture});
}
void glBindVertexArray(GLuint array) { record("glBindVertexArray", {(double)array}); }
void glBlendFunc(GLenum s, GLenum d) { record("glBlendFunc", {(double)s, (double)d}); }
void glBufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage)
{
    auto& b = buffers[target == GL_ELEMENT_ARRAY_BUFFER ? elementBuffer : arrayBuffer];
    b.assign((size_t)size, 0);
    if (data)
        std::memcpy(b.data(), data, (size_t)size);
    record("glBufferData", {(double)target, (double)size, (double)usage}, data, data ? (size_t)size : 0);
}
void glClear(GLbitfield mask) { record("glClear", {(double)mask}); }
void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { record("glClearColor", {r, g, b, a}); }
void glCompileShader(GLuint s) { record("glCompileShader", {(double)s}); }
GLuint glCreateProgram()
{
    record("glCreateProgram", {(double)nextName});
    return nextName++;
}
GLuint glCreateShader(GLenum type)
{
    record("glCreateShader", {(double)type, (double)nextName});
    return nextName++;
}
void glCullFace(GLenum mode) { record("glCullFace", {(double)mode}); }
void glDeleteProgram(GLuint p) { record("glDeleteProgram", {(double)p}); }
void glDeleteShader(GLuint s) { record("glDeleteShader", {(double)s}); }
void glDeleteTextures(GLsizei n, const GLuint* t) { record("glDeleteTextures", {(double)n, (double)t[0]}); }
void glDepthFunc(GLenum func) { record("glDepthFunc", {(double)func}); }
void glDepthMask(GLboolean flag) { record("glDepthMask", {(double)flag}); }
void glDisable(GLenum cap) { record("glDisable", {(double)cap}); }
void glDisableVertexAttribArray(GLuint index)
{
    attributes[index].enabled = false;
    record("glDisableVertexAttribArray", {(double)index});
}
void glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    record("glDrawArrays", {(double)mode, (double)first, (double)count});
    std::vector<unsigned> indices;
    for (GLsizei i = 0; i < count; i++)
        indices.push_back((unsigned)(first + i));
    draw(mode, indices);
}
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* offset)
{
    record("glDrawElements", {(double)mode, (double)count, (double)type, (double)(size_t)offset});
    const auto& b = buffers[elementBuffer];
    std::vector<unsigned> indices((size_t)count);
    std::memcpy(indices.data(), b.data() + (size_t)offset, indices.size() * sizeof(unsigned));
    draw(mode, indices);
}
void glEnable(GLenum cap) { record("glEnable", {(double)cap}); }
void glEnableVertexAttribArray(GLuint index)
{
    attributes[index].enabled = true;
    record("glEnableVertexAttribArray", {(double)index});
}
void glFinish() { record("glFinish", {}); }
void glFlush() { record("glFlush", {}); }
void glGenBuffers(GLsizei n, GLuint* out) { gen("glGenBuffers", n, out); }
void glGenTextures(GLsizei n, GLuint* out) { gen("glGenTextures", n, out); }
void glGenVertexArrays(GLsizei n, GLuint* out) { gen("glGenVertexArrays", n, out); }
void glGenerateMipmap(GLenum target) { record("glGenerateMipmap", {(double)target}); }
GLenum glGetError()
{
    record("glGetError", {});
    if (errors.empty())
        return GL_NO_ERROR;
    GLenum e = errors.front();
    errors.erase(errors.begin());
    return e;
}
void glGetFloatv(GLenum pname, GLfloat* data)
{
    record("glGetFloatv", {(double)pname});
    if (pname == GL_ALIASED_POINT_SIZE_RANGE)
        data[0] = 1.0f, data[1] = 256.0f;
}
void glGetIntegerv(GLenum pname, GLint* data)
{
    record("glGetIntegerv", {(double)pname});
    if (pname == GL_MAX_TEXTURE_SIZE)
        *data = maxTextureSize;
}
void glGetProgramInfoLog(GLuint, GLsizei size, GLsizei*, GLchar* log) { std::strncpy(log, "link failed", size); }
void glGetProgramiv(GLuint p, GLenum pname, GLint* out)
{
    record("glGetProgramiv", {(double)p, (double)pname});
    *out = shadersCompile;
}
void glGetShaderInfoLog(GLuint, GLsizei size, GLsizei*, GLchar* log) { std::strncpy(log, "0:1: syntax error", size); }
void glGetShaderiv(GLuint s, GLenum pname, GLint* out)
{
    record("glGetShaderiv", {(double)s, (double)pname});
    *out = shadersCompile;
}
GLint glGetUniformLocation(GLuint p, const GLchar* name)
{
    record("glGetUniformLocation", {(double)p}, name, std::strlen(name));
    return locations.emplace(name, (GLint)locations.size()).first->second;
}
void glLinkProgram(GLuint p) { record("glLinkProgram", {(double)p}); }
void glPixelStorei(GLenum pname, GLint param)
{
    if (pname == GL_UNPACK_ALIGNMENT)
        unpackAlignment = param;
    record("glPixelStorei", {(double)pname, (double)param});
}
void glScissor(GLint x, GLint y, GLsizei w, GLsizei h) { record("glScissor", {(double)x, (double)y, (double)w, (double)h}); }
void glShaderSource(GLuint s, GLsizei, const GLchar* const* text, const GLint*)
{
    record("glShaderSource", {(double)s}, text[0], std::strlen(text[0]));
}
void glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border, GLenum format,
                  GLenum type, const void* pixels)
{
    record("glTexImage2D", {(double)target, (double)level, (double)internal, (double)w, (double)h, (double)border,
                            (double)format, (double)type},
           pixels, pixels ? imageBytes(w, h, format, type) : 0);
}
void glTexParameteri(GLenum target, GLenum pname, GLint param)
{
    record("glTexParameteri", {(double)target, (double)pname, (double)param});
}
void glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type,
                     const void* pixels)
{
    record("glTexSubImage2D", {(double)target, (double)level, (double)x, (double)y, (double)w, (double)h,
                               (double)format, (double)type},
           pixels, pixels ? imageBytes(w, h, format, type) : 0);
}
void glUniform1f(GLint loc, GLfloat v) { setUniform("glUniform1f", loc, &v, 1); }
void glUniform1i(GLint loc, GLint v)
{
    float f = (float)v;
    setUniform("glUniform1i", loc, &f, 1);
}
void glUniform2fv(GLint loc, GLsizei n, const GLfloat* v) { setUniform("glUniform2fv", loc, v, 2 * (size_t)n); }
void glUniform3fv(GLint loc, GLsizei n, const GLfloat* v) { setUniform("glUniform3fv", loc, v, 3 * (size_t)n); }
void glUniform4fv(GLint loc, GLsizei n, const GLfloat* v) { setUniform("glUniform4fv", loc, v, 4 * (size_t)n); }
void glUniformMatrix4fv(GLint loc, GLsizei n, GLboolean, const GLfloat* v)
{
    setUniform("glUniformMatrix4fv", loc, v, 16 * (size_t)n);
}
void glUseProgram(GLuint p)
{
    program = p;
    record("glUseProgram", {(double)p});
}
void glVertexAttrib4fv(GLuint index, const GLfloat* v)
{
    std::memcpy(attributes[index].constant, v, sizeof attributes[index].constant);
    record("glVertexAttrib4fv", {(double)index}, v, 4 * sizeof(float));
}
void glVertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean norm, GLsizei stride, const void* offset)
{
    attributes[index].buffer = arrayBuffer;
    attributes[index].size = size;
    attributes[index].offset = (long)(size_t)offset;
    record("glVertexAttribPointer", {(double)index, (double)size, (double)type, (double)norm, (double)stride});
}
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { record("glViewport", {(double)x, (double)y, (double)w, (double)h}); }
