// Contact sheet layout, with text drawn from the show's own glyph atlas.
#include "sheet.h"

#include "render/font.h"
#include "render/picture.h"

#include <algorithm>
#include <cmath>

static const int THUMB_W = 256;
static const int COLUMNS = 4, MARGIN = 12, LABEL_H = 28, TITLE_H = 44;
static const unsigned char BACKGROUND = 0xE4;

// The atlas cell a character is drawn from: the show's font keeps z { | } ~ in the last five
// cells, so they are looked up there rather than at their own codes.
static int cellOf(unsigned char c)
{
    if (c >= 122 && c <= 126)
        return 95 + (c - 122);
    if (c < 32 || c > 121)
        return -1;
    return c - 32;
}

// Coverage of the atlas at (x, y) in atlas pixels, bilinear.
static float coverage(float x, float y)
{
    const GlyphImage& a = bitstream_bold;
    x = std::clamp(x - 0.5f, 0.0f, (float)a.width - 1.001f);
    y = std::clamp(y - 0.5f, 0.0f, (float)a.height - 1.001f);
    int x0 = (int)x, y0 = (int)y;
    float fx = x - x0, fy = y - y0;
    auto at = [&](int px, int py) { return a.pixels[((size_t)py * a.width + px) * 4 + 3] / 255.0f; };
    return (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) +
           (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
}

// Writes text in black with square glyphs of `size` pixels, left edge at x, top at y. The
// glyphs fill only the middle of their cells, so the pen advances by less than a cell.
static void drawText(std::vector<unsigned char>& img, int width, int height, int x, int y, int size,
                     const std::string& text)
{
    const GlyphImage& a = bitstream_bold;
    for (size_t i = 0; i < text.size(); i++) {
        int cell = cellOf((unsigned char)text[i]);
        if (cell < 0)
            continue;
        float cellW = a.width / 10.0f, cellH = a.height / 10.0f;
        float left = (cell % 10) * cellW, top = (cell / 10) * cellH;
        for (int gy = 0; gy < size; gy++)
            for (int gx = 0; gx < size; gx++) {
                int px = x + (int)(i * size * 0.62f) + gx, py = y + gy;
                if (px < 0 || py < 0 || px >= width || py >= height)
                    continue;
                float c = coverage(left + (gx + 0.5f) * cellW / size, top + (gy + 0.5f) * cellH / size);
                unsigned char* p = &img[((size_t)py * width + px) * 3];
                for (int k = 0; k < 3; k++)
                    p[k] = (unsigned char)std::lround(p[k] * (1 - c));
            }
    }
}

std::vector<unsigned char> makeSheet(const std::vector<SheetCell>& cells, const std::string& title, int& width,
                                     int& height)
{
    int rows = ((int)cells.size() + COLUMNS - 1) / COLUMNS;
    const int frameW = cells.empty() ? PICTURE_WIDTH : cells[0].width,
              frameH = cells.empty() ? PICTURE_HEIGHT : cells[0].height;
    const int THUMB_H = (int)((long long)THUMB_W * frameH / frameW);
    width = COLUMNS * THUMB_W + (COLUMNS + 1) * MARGIN;
    height = TITLE_H + rows * (THUMB_H + LABEL_H) + rows * MARGIN;
    std::vector<unsigned char> img((size_t)width * height * 3, BACKGROUND);
    drawText(img, width, height, MARGIN, 10, 24, title);

    for (size_t i = 0; i < cells.size(); i++) {
        int left = MARGIN + (int)(i % COLUMNS) * (THUMB_W + MARGIN);
        int top = TITLE_H + (int)(i / COLUMNS) * (THUMB_H + LABEL_H + MARGIN);
        const std::vector<unsigned char>& f = cells[i].frame;
        // Each thumbnail pixel averages the block of the frame it covers (4x4 at 1024x768).
        for (int y = 0; y < THUMB_H; y++)
            for (int x = 0; x < THUMB_W; x++) {
                int x0 = x * frameW / THUMB_W, x1 = std::max(x0 + 1, (x + 1) * frameW / THUMB_W);
                int y0 = y * frameH / THUMB_H, y1 = std::max(y0 + 1, (y + 1) * frameH / THUMB_H);
                for (int k = 0; k < 3; k++) {
                    int sum = 0;
                    for (int sy = y0; sy < y1; sy++)
                        for (int sx = x0; sx < x1; sx++)
                            sum += f[((size_t)sy * frameW + sx) * 3 + k];
                    img[((size_t)(top + y) * width + left + x) * 3 + k] = (unsigned char)(sum / ((x1 - x0) * (y1 - y0)));
                }
            }
        drawText(img, width, height, left, top + THUMB_H + 6, 16, cells[i].label);
    }
    return img;
}
