// Textures: pixels in memory uploaded as mipmapped GL textures.
#include "render/texture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstring>

Texture* render512_0 = nullptr;
Texture* render512_1 = nullptr;
Texture* render512_2 = nullptr;

Texture::Texture(int w, int h) : width(w), height(h), data(new std::uint32_t[(size_t)w * h])
{
    // Red 255 then green, blue, alpha 0 in memory order, whatever the host's byte order.
    const unsigned char pixel[4] = {0xFF, 0x00, 0x00, 0x00};
    std::uint32_t word;
    std::memcpy(&word, pixel, 4);
    for (size_t i = 0; i < (size_t)w * h; i++)
        data[i] = word;
}

Texture::~Texture()
{
    delete[] data;
}

static bool keepsPlainFiltering(int w, int h)
{
    return w == h && (w == 512 || w == 256 || w == 128 || w == 64);
}

void Texture::upload()
{
    glEnable(GL_TEXTURE_2D);
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (!keepsPlainFiltering(width, height)) {
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    }
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, GL_RGBA, GL_UNSIGNED_BYTE, data);
}

void textures_init()
{
    render512_0 = new Texture(512, 512);
    render512_1 = new Texture(512, 512);
    render512_2 = new Texture(512, 512);
    render512_0->upload();
    render512_1->upload();
    render512_2->upload();
}

void textures_free()
{
    delete render512_0;
    delete render512_1;
    delete render512_2;
    // Reset so a second free (or a free without init) is harmless.
    render512_0 = render512_1 = render512_2 = nullptr;
}
