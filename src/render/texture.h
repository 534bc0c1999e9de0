// An RGBA image in memory paired with a GL texture object, and the three 512x512 render textures.
#ifndef QUENRASTILAN_RENDER_TEXTURE_H
#define QUENRASTILAN_RENDER_TEXTURE_H

#include <cstdint>

class Texture {
public:
    int width;
    int height;
    std::uint32_t id = 0;   // GL texture name, set by upload()
    // width * height pixels, row after row; bytes in memory order red, green, blue, alpha.
    std::uint32_t* data;

    // Every pixel starts as red 255, green 0, blue 0, alpha 0.
    Texture(int width, int height);
    // Frees the pixels; the GL texture object is left to the context's end.
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Creates the GL texture with a full mipmap chain; leaves texturing on and it bound.
    void upload();
};

// Made at start-up and kept until shutdown; nothing in the show samples them.
extern Texture* render512_0;
extern Texture* render512_1;
extern Texture* render512_2;

void textures_init();
void textures_free();

#endif
