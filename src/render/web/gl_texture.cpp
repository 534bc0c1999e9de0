// The web GL layer's textures: names, binding, parameters and images passed to WebGL, with GL
// 1.x's component-count formats, GL_CLAMP and GL_GENERATE_MIPMAP made WebGL's, and
// gluBuild2DMipmaps. Each call that changes a texture makes the queued draws first; a binding
// is WebGL's at once (a queued draw binds the texture it was given when it is made).
#include "render/web/gl_state.h"

namespace qgl {

std::map<GLuint, TextureInfo> textures;
GLuint boundTexture = 0;

namespace {

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

}  // namespace
}  // namespace qgl

using namespace qgl;

void qgl_GenTextures(GLsizei n, GLuint* names)
{
    glGenTextures(n, names);
    for (GLsizei i = 0; i < n; i++)
        textures[names[i]];
}

void qgl_DeleteTextures(GLsizei n, const GLuint* names)
{
    flush();
    for (GLsizei i = 0; i < n; i++)
        textures.erase(names[i]);
    glDeleteTextures(n, names);
}

void qgl_BindTexture(GLenum target, GLuint texture)
{
    RECORD(qgl_BindTexture(target, texture));
    boundTexture = texture;
    glBindTexture(target, texture);
}

void qgl_TexParameteri(GLenum target, GLenum pname, GLint param)
{
    flush();
    if (pname == GL_GENERATE_MIPMAP) {
        textures[boundTexture].generateMipmap = param != GL_FALSE;
        return;
    }
    if (param == GL_CLAMP)
        param = GL_CLAMP_TO_EDGE;
    glTexParameteri(target, pname, param);
}

void qgl_TexEnvi(GLenum, GLenum, GLint) {}

void qgl_PixelStorei(GLenum pname, GLint param)
{
    if (pname == GL_UNPACK_ALIGNMENT || pname == GL_PACK_ALIGNMENT)
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
    t.hasImage = true;
    t.alphaOnly = format == GL_ALPHA;
    if (t.generateMipmap && level == 0)
        glGenerateMipmap(target);
}

void qgl_TexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                       GLenum type, const GLvoid* pixels)
{
    flush();
    glTexSubImage2D(target, level, x, y, width, height, format, type, pixels);
}

GLint qgl_Build2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                         GLenum type, const void* data)
{
    qgl_TexImage2D(target, 0, (GLint)format, width, height, 0, format, type, data);
    (void)internalFormat;
    glGenerateMipmap(target);
    return 0;
}
