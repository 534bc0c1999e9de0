// The bitmap font's texture and display lists, and the 2D and 3D text writers.
#include "render/font.h"

#include "render/picture.h"
#include "render/projection.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <cstring>
#include <vector>

static GLuint tex = 0;
static GLuint fontbase = 0;
// The textures of the finer atlases, 0 until first needed.
static GLuint fineTex[8] = {};

static const int FONT_GLYPHS = 100;

// At 1024x768 the credits draw about a pixel a texel of the 1024x768 texture, a little more:
// a finer atlas keeps that on a larger picture when it is this much finer than its scale.
static const float TEXELS_PER_PIXEL = 1.1f;

// The texture of the atlas a picture of this scale draws its text from.
static GLuint textureForPicture()
{
    float scale = picture().scale;
    if (scale <= 1.0f)
        return tex;
    int k = 0;
    while (k + 1 < bitstream_bold_fine_count && bitstream_bold_fine[k].density < TEXELS_PER_PIXEL * scale)
        k++;
    if (fineTex[k] != 0)
        return fineTex[k];
    const FineGlyphAtlas& a = bitstream_bold_fine[k];
    std::vector<unsigned char> rgba((size_t)a.width * a.height * 4, 255);
    size_t at = 0;
    for (unsigned long i = 0; i + 1 < a.runBytes; i += 2)
        for (int n = 0; n < a.runs[i] && at < (size_t)a.width * a.height; n++)
            rgba[at++ * 4 + 3] = a.runs[i + 1];
    glGenTextures(1, &fineTex[k]);
    glBindTexture(GL_TEXTURE_2D, fineTex[k]);
    // Mipmapped, since the finest atlas may be drawn smaller than it is.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, a.width, a.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return fineTex[k];
}

void font_init()
{
    glEnable(GL_TEXTURE_2D);
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, bitstream_bold.width, bitstream_bold.height, GL_RGBA,
                      GL_UNSIGNED_BYTE, bitstream_bold.pixels);

    glEnable(GL_TEXTURE_2D);
    fontbase = glGenLists(FONT_GLYPHS);
    glBindTexture(GL_TEXTURE_2D, tex);
    const float tenth = 1.0f / 10.0f;
    for (int k = 0; k < FONT_GLYPHS; k++) {
        float col = (float)(k % 10);
        float row = (float)(k / 10);
        // v = 0 is the top row of the image, so the cell's bottom edge is (row + 1) / 10.
        glNewList(fontbase + k, GL_COMPILE);
        glBegin(GL_QUADS);
        glTexCoord2f(col * tenth, (row + 1) * tenth);
        glVertex2f(0, 0);
        glTexCoord2f((col + 1) * tenth, (row + 1) * tenth);
        glVertex2f(10, 0);
        glTexCoord2f((col + 1) * tenth, row * tenth);
        glVertex2f(10, 10);
        glTexCoord2f(col * tenth, row * tenth);
        glVertex2f(0, 10);
        glEnd();
        glTranslatef(10, 0, 0);  // monospaced: the pen moves one full glyph, no gap
        glEndList();
    }
    glDisable(GL_TEXTURE_2D);
}

void font_write(float x, float y, const char* text)
{
    perspective2D(640, 480);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glPushAttrib(GL_LIST_BIT);

    int n = (int)std::strlen(text);
    float px = (float)(((double)x * 0.25) * 320 + 320 - 5 * n);
    float py = y * 240.0f + 240.0f;
    glTranslatef(px, py, 0);
    glScalef(2, 2, 1);
    glListBase(fontbase - 32);
    glBindTexture(GL_TEXTURE_2D, textureForPicture());
    glCallLists(n, GL_UNSIGNED_BYTE, text);

    glPopAttrib();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    perspective3D();
}

void font_write3d(const char* text)
{
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glPushAttrib(GL_LIST_BIT);

    glScalef(0.2f, 0.2f, 0.2f);
    glListBase(fontbase - 32);
    glBindTexture(GL_TEXTURE_2D, textureForPicture());
    // Signed bytes: codes 128 to 131 fall outside the lists and draw nothing here.
    glCallLists((GLsizei)std::strlen(text), GL_BYTE, text);

    glPopAttrib();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

void font_free()
{
    glDeleteLists(fontbase, FONT_GLYPHS);
    for (GLuint& t : fineTex)
        if (t != 0) {
            glDeleteTextures(1, &t);
            t = 0;
        }
}
