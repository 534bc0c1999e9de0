// The web GL layer's textures: names, binding, parameters and images passed to WebGL, with GL
// 1.x's component-count formats, GL_CLAMP and GL_GENERATE_MIPMAP made WebGL's, and
// gluBuild2DMipmaps. Each call that changes a texture makes the queued draws first; a binding
// is WebGL's at once (a queued draw binds the texture it was given when it is made). Each
// texture keeps what it was given, so that a lost context can have it back as it was.
#include "render/web/gl_texture.h"
#include "render/web/gl_list.h"
#include "render/web/gl_queue.h"
#include "render/web/gl_state.h"

#include <cstring>
#include <map>

namespace qgl {

std::map<GLuint, TextureInfo> textures;
GLuint boundTexture = 0;

namespace {

GLuint nextName = 1;
GLint unpackAlignment = 4, packAlignment = 4;

// GL 1.x's internal formats (component counts 1 to 4 included) as the matching WebGL format.
GLenum webFormat(GLint internalFormat, GLenum format)
{
    switch (internalFormat) {
    case 1: case GL_LUMINANCE: return GL_LUMINANCE;
    case 2: case GL_LUMINANCE_ALPHA: return GL_LUMINANCE_ALPHA;
    case 3: case GL_RGB: return GL_RGB;
    case 4: case GL_RGBA: return GL_RGBA;
    case GL_ALPHA: return GL_ALPHA;
    case GL_INTENSITY: return GL_LUMINANCE;
    default: return format;
    }
}

// The bytes of a width x height image in memory, its rows `alignment` bytes aligned.
size_t imageBytes(GLsizei width, GLsizei height, GLenum format, GLenum type, GLint alignment)
{
    if (width <= 0 || height <= 0)
        return 0;
    int channels = format == GL_RGBA                            ? 4
                 : format == GL_RGB                             ? 3
                 : format == GL_LUMINANCE_ALPHA || format == GL_RG ? 2
                                                                  : 1;
    bool packed = type == GL_UNSIGNED_SHORT_5_6_5 || type == GL_UNSIGNED_SHORT_4_4_4_4 ||
                  type == GL_UNSIGNED_SHORT_5_5_5_1;
    int pixel = packed ? 2
              : type == GL_UNSIGNED_BYTE || type == GL_BYTE ? channels
              : type == GL_FLOAT || type == GL_INT || type == GL_UNSIGNED_INT ? 4 * channels
                                                                                : 2 * channels;
    size_t row = (size_t)width * pixel;
    size_t stride = (row + alignment - 1) / alignment * alignment;
    return stride * (height - 1) + row;
}

TextureInfo& named(GLuint name)
{
    TextureInfo& t = textures[name];
    if (t.web == 0)
        glGenTextures(1, &t.web);
    return t;
}

void keep(TextureInfo& t, TextureStep::Kind kind, GLint level, GLint x, GLint y, GLsizei width, GLsizei height,
          GLenum format, GLenum type, const void* pixels)
{
    if (kind != TextureStep::SUB_IMAGE) {
        // A new image at a level makes what was done to that level moot, and so the mipmaps.
        auto& steps = t.steps;
        for (size_t i = 0; i < steps.size();)
            if (steps[i].kind == TextureStep::MIPMAPS || (kind == TextureStep::IMAGE && steps[i].level == level))
                steps.erase(steps.begin() + (long)i);
            else
                i++;
    }
    TextureStep step;
    step.kind = kind, step.level = level, step.x = x, step.y = y;
    step.width = width, step.height = height, step.format = format, step.type = type;
    step.alignment = unpackAlignment;
    if (pixels) {
        const unsigned char* p = (const unsigned char*)pixels;
        step.pixels.assign(p, p + imageBytes(width, height, format, type, unpackAlignment));
    }
    t.steps.push_back(std::move(step));
}

void makeMipmaps(GLenum target)
{
    glGenerateMipmap(target);
    keep(textures[boundTexture], TextureStep::MIPMAPS, 0, 0, 0, 0, 0, 0, 0, nullptr);
}

}  // namespace

GLuint webTexture(GLuint name)
{
    auto it = textures.find(name);
    return name == 0 || it == textures.end() ? 0 : it->second.web;
}

void restoreTextures()
{
    for (auto& entry : textures) {
        TextureInfo& t = entry.second;
        if (entry.first == 0)
            continue;  // WebGL has no texture 0 to give anything to
        glGenTextures(1, &t.web);
        glBindTexture(GL_TEXTURE_2D, t.web);
        for (auto& p : t.parameters)
            glTexParameteri(GL_TEXTURE_2D, p.first, p.second);
        for (const TextureStep& s : t.steps) {
            glPixelStorei(GL_UNPACK_ALIGNMENT, s.alignment);
            const void* pixels = s.pixels.empty() ? nullptr : s.pixels.data();
            if (s.kind == TextureStep::IMAGE)
                glTexImage2D(GL_TEXTURE_2D, s.level, (GLint)s.format, s.width, s.height, 0, s.format, s.type, pixels);
            else if (s.kind == TextureStep::SUB_IMAGE)
                glTexSubImage2D(GL_TEXTURE_2D, s.level, s.x, s.y, s.width, s.height, s.format, s.type, pixels);
            else
                glGenerateMipmap(GL_TEXTURE_2D);
        }
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glBindTexture(GL_TEXTURE_2D, webTexture(boundTexture));
}

}  // namespace qgl

using namespace qgl;

void qgl_GenTextures(GLsizei n, GLuint* names)
{
    for (GLsizei i = 0; i < n; i++) {
        names[i] = nextName++;
        named(names[i]);
    }
}

void qgl_DeleteTextures(GLsizei n, const GLuint* names)
{
    flush();
    for (GLsizei i = 0; i < n; i++) {
        auto it = textures.find(names[i]);
        if (it == textures.end())
            continue;
        glDeleteTextures(1, &it->second.web);
        textures.erase(it);
        if (boundTexture == names[i])
            boundTexture = 0;
    }
}

void qgl_BindTexture(GLenum target, GLuint texture)
{
    RECORD(qgl_BindTexture(target, texture));
    boundTexture = texture;
    glBindTexture(target, texture == 0 ? 0 : named(texture).web);
}

void qgl_TexParameteri(GLenum target, GLenum pname, GLint param)
{
    flush();
    TextureInfo& t = textures[boundTexture];
    if (pname == GL_GENERATE_MIPMAP) {
        t.generateMipmap = param != GL_FALSE;
        return;
    }
    if (param == GL_CLAMP)
        param = GL_CLAMP_TO_EDGE;
    t.parameters[pname] = param;
    glTexParameteri(target, pname, param);
}

void qgl_TexEnvi(GLenum, GLenum, GLint) {}

void qgl_PixelStorei(GLenum pname, GLint param)
{
    if (pname == GL_UNPACK_ALIGNMENT)
        unpackAlignment = param;
    else if (pname == GL_PACK_ALIGNMENT)
        packAlignment = param;
    else
        return;
    glPixelStorei(pname, param);
}

void qgl_TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                    GLenum format, GLenum type, const GLvoid* pixels)
{
    GLenum f = webFormat(internalFormat, format);
    if (f != format) {
        // WebGL takes unsized formats only when the data already has that layout.
        raise(GL_INVALID_OPERATION);
        return;
    }
    flush();
    glTexImage2D(target, level, (GLint)f, width, height, border, format, type, pixels);
    TextureInfo& t = textures[boundTexture];
    keep(t, TextureStep::IMAGE, level, 0, 0, width, height, format, type, pixels);
    t.hasImage = true;
    t.alphaOnly = format == GL_ALPHA;
    if (t.generateMipmap && level == 0)
        makeMipmaps(target);
}

void qgl_TexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                       GLenum type, const GLvoid* pixels)
{
    flush();
    glTexSubImage2D(target, level, x, y, width, height, format, type, pixels);
    keep(textures[boundTexture], TextureStep::SUB_IMAGE, level, x, y, width, height, format, type, pixels);
}

GLint qgl_Build2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                         GLenum type, const void* data)
{
    qgl_TexImage2D(target, 0, (GLint)format, width, height, 0, format, type, data);
    (void)internalFormat;
    makeMipmaps(target);
    return 0;
}
