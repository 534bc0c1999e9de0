// The bitmap font: 100 glyphs (codes 32 to 131) cut from one embedded image, and the two
// text writers built on it.
#ifndef QUENRASTILAN_RENDER_FONT_H
#define QUENRASTILAN_RENDER_FONT_H

#include <cstdint>

// The glyph image: rows from the top down, RGBA, white with the glyph shapes in alpha.
// A grid of 10 by 10 cells in reading order; code c is drawn from cell c - 32. Cells 0-89
// hold characters 32-121, cells 90-94 are empty, cells 95-99 hold the glyphs of 122-126,
// so 122-126 draw as blanks and 127-131 draw z { | } ~.
struct GlyphImage {
    std::uint32_t width;           // 190
    std::uint32_t height;          // 381
    std::uint32_t bytesPerPixel;   // 4
    const unsigned char* pixels;   // width * height * 4 bytes
};
extern const GlyphImage bitstream_bold;

// A finer glyph image on the same grid, for pictures larger than 1024x768: `density` times as
// fine as the texture made of bitstream_bold (which is rescaled to 128x256), alpha alone, as
// run-length pairs (a count from 1 to 255, then the value).
struct FineGlyphAtlas {
    int density;                 // 2, 4, 8
    int width, height;           // 128 and 256 times the density
    const unsigned char* runs;
    unsigned long runBytes;
};
extern const FineGlyphAtlas bitstream_bold_fine[];
extern const int bitstream_bold_fine_count;

// Builds the glyph texture and the 100 display lists; needs a GL context. The text is drawn
// from that texture on a picture of 1024x768 or smaller; on a larger one from the first finer
// atlas that keeps it as sharp, made into a texture when first needed.
void font_init();
// Writes text as a 2D overlay in a 640x480 space: x from -4 (left) to 4 (right), y from -1
// (bottom) to 1 (top); the line starts 5 units per character left of (x, y). Each glyph is
// 20x20 units. Leaves texturing off and blending on.
void font_write(float x, float y, const char* text);
// Writes text at the origin of the current model-view space in its x-y plane, each glyph a
// 2x2 square advancing along +x. Does not save the matrix: callers push and pop around it.
// Leaves texturing, depth test and blending off.
void font_write3d(const char* text);
void font_free();

#endif
