// The web GL layer's textures (gl_texture.cpp): what the layer knows of each texture name, and
// the one bound. The names the show holds are the layer's; each stands for a WebGL texture.
#ifndef QUENRASTILAN_RENDER_WEB_GL_TEXTURE_H
#define QUENRASTILAN_RENDER_WEB_GL_TEXTURE_H

#include "render/web/gl_names.h"

#include <map>
#include <vector>

namespace qgl {

// One thing done to a texture's images, kept to be done again on a new WebGL context: an image
// or part of one given (its pixels copied as the unpack alignment laid them out), or the
// mipmaps made from the base image.
struct TextureStep {
    enum Kind { IMAGE, SUB_IMAGE, MIPMAPS } kind = IMAGE;
    GLint level = 0, x = 0, y = 0;
    GLsizei width = 0, height = 0;
    GLenum format = 0, type = 0;
    GLint alignment = 4;
    std::vector<unsigned char> pixels;  // empty: none given
};

struct TextureInfo {
    GLuint web = 0;  // WebGL's texture for the layer's name, on the context of the moment
    bool alphaOnly = false;
    bool hasImage = false;
    // GL 1.4's GL_GENERATE_MIPMAP: WebGL has no such parameter, so the mipmaps are made here
    // whenever the base image is given.
    bool generateMipmap = false;
    std::map<GLenum, GLint> parameters;  // as WebGL was given them
    std::vector<TextureStep> steps;      // in order, those a later image made moot left out
};

extern std::map<GLuint, TextureInfo> textures;
extern GLuint boundTexture;
// WebGL's texture for a name of the layer's (0 for none).
GLuint webTexture(GLuint name);
// Makes every texture again on a new context, as it was given, and binds the bound one.
void restoreTextures();

}  // namespace qgl

#endif
