// Build-time tool: rasterises the glyph atlas from a bold TrueType face with FreeType and
// writes it as C++ source defining `bitstream_bold`.
//
//   quenrastilan-fontatlas FONT.ttf OUT.cpp
//
// The atlas is 190x381 RGBA, white, with coverage in alpha, on a 10x10 grid of cells in reading
// order: cells 0-89 hold characters 32-121, cells 90-94 stay empty, cells 95-99 hold 122-126.
// Glyphs are drawn into a square on screen from a cell about 19x38 pixels, so they are
// rasterised at half their width to look right when stretched; each is centred horizontally
// in its cell on a baseline shared by all cells.
//
// The show uploads that atlas through gluBuild2DMipmaps, which rescales it to 128x256, and draws
// the credits at about one texel a pixel at 1024x768: magnified on a larger picture, the text
// would soften. So finer atlases follow, 2, 4 and 8 times as fine as that 128x256 texture
// (256x512 to 1024x2048, the same grid), for the show to choose by the picture's scale. They are
// alpha alone, run-length coded (a count, then the value) to keep the source small.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

static const int W = 190, H = 381, GRID = 10;

static int characterOfCell(int cell)
{
    if (cell < 90)
        return 32 + cell;
    if (cell < 95)
        return -1;  // empty
    return 122 + (cell - 95);
}

// A finer atlas: `density` times as fine as the 128x256 texture the show makes of the first, on
// the same grid, its glyphs drawn at the same share of their cells. Returns its alpha.
// Where each glyph lies in the first atlas: the centre of its bitmap, in that atlas's pixels.
struct Centre {
    double x = 0, y = 0;
};
static Centre centres[GRID * GRID];

static std::vector<unsigned char> fineAtlas(FT_Face face, int density, int& width, int& height)
{
    width = 128 * density;
    height = 256 * density;
    const double cellW = (double)width / GRID, cellH = (double)height / GRID;
    // 15x30 pixels in a cell of 19x38.1 in the first atlas.
    FT_Set_Char_Size(face, (FT_F26Dot6)std::lround(15.0 / 19.0 * cellW * 64),
                     (FT_F26Dot6)std::lround(30.0 / 38.1 * cellH * 64), 72, 72);
    std::vector<unsigned char> alpha((size_t)width * height, 0);
    for (int cell = 0; cell < GRID * GRID; cell++) {
        int c = characterOfCell(cell);
        if (c <= 32)
            continue;
        if (FT_Load_Char(face, (FT_ULong)c, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL))
            return {};
        const FT_Bitmap& bm = face->glyph->bitmap;
        double cellLeft = cellW * (cell % GRID), cellTop = cellH * (cell / GRID);
        // Centred where the glyph lies in the first atlas, so that the text keeps its place to
        // a fraction of a pixel at any size.
        int left = (int)std::lround(centres[cell].x * width / W - bm.width / 2.0);
        int top = (int)std::lround(centres[cell].y * height / H - bm.rows / 2.0);
        // A clear border of a pixel per density step, so that filtering never bleeds across.
        int minX = (int)std::ceil(cellLeft) + density, maxX = (int)std::floor(cellLeft + cellW) - 1 - density;
        int minY = (int)std::ceil(cellTop) + density, maxY = (int)std::floor(cellTop + cellH) - 1 - density;
        for (unsigned y = 0; y < bm.rows; y++)
            for (unsigned x = 0; x < bm.width; x++) {
                int px = left + (int)x, py = top + (int)y;
                if (px < minX || px > maxX || py < minY || py > maxY)
                    continue;
                unsigned char& dst = alpha[(size_t)py * width + px];
                dst = std::max(dst, bm.buffer[y * bm.pitch + x]);
            }
    }
    return alpha;
}

// Writes the finer atlases after the first.
static bool writeFineAtlases(FT_Face face, FILE* out)
{
    static const int DENSITIES[] = {2, 4, 8};
    std::string table;
    int k = 0;
    for (int density : DENSITIES) {
        int width, height;
        std::vector<unsigned char> alpha = fineAtlas(face, density, width, height);
        if (alpha.empty())
            return false;
        std::fprintf(out, "\nstatic const unsigned char runs%d[] = {\n", k);
        size_t bytes = 0;
        for (size_t i = 0; i < alpha.size();) {
            size_t run = 1;
            while (run < 255 && i + run < alpha.size() && alpha[i + run] == alpha[i])
                run++;
            std::fprintf(out, "%zu,%d,%s", run, alpha[i], (bytes / 2 % 12 == 11) ? "\n" : "");
            bytes += 2;
            i += run;
        }
        std::fprintf(out, "};\n");
        char entry[96];
        std::snprintf(entry, sizeof entry, "    {%d, %d, %d, runs%d, %zu},\n", density, width, height, k, bytes);
        table += entry;
        k++;
    }
    std::fprintf(out, "\nconst FineGlyphAtlas bitstream_bold_fine[] = {\n%s};\n", table.c_str());
    std::fprintf(out, "const int bitstream_bold_fine_count = %d;\n", k);
    return true;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FONT.ttf OUT.cpp\n", argv[0]);
        return 2;
    }
    FT_Library lib;
    FT_Face face;
    if (FT_Init_FreeType(&lib) || FT_New_Face(lib, argv[1], 0, &face)) {
        std::fprintf(stderr, "quenrastilan-fontatlas: cannot open the font %s\n", argv[1]);
        return 1;
    }
    // Pixel sizes: half as wide as high, so the 2:1 stretch on screen restores the shapes.
    const int pixelHeight = 30, pixelWidth = 15;
    FT_Set_Pixel_Sizes(face, pixelWidth, pixelHeight);
    const double ascender = face->size->metrics.ascender / 64.0;
    const double descender = face->size->metrics.descender / 64.0;  // negative

    std::vector<unsigned char> alpha((size_t)W * H, 0);
    for (int cell = 0; cell < GRID * GRID; cell++) {
        int c = characterOfCell(cell);
        if (c <= 32)
            continue;
        if (FT_Load_Char(face, (FT_ULong)c, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL)) {
            std::fprintf(stderr, "quenrastilan-fontatlas: no glyph for character %d\n", c);
            return 1;
        }
        const FT_Bitmap& bm = face->glyph->bitmap;
        // Cells are a tenth of the image: 19 wide and 38.1 high, so their rows start at fractions.
        double cellLeft = (double)W * (cell % GRID) / GRID;
        double cellTop = (double)H * (cell / GRID) / GRID;
        double cellW = (double)W / GRID, cellH = (double)H / GRID;
        // A baseline that centres the face's full height (ascender to descender) in the cell.
        double baseline = cellTop + (cellH - (ascender - descender)) / 2 + ascender;
        int left = (int)std::lround(cellLeft + (cellW - bm.width) / 2.0);
        int top = (int)std::lround(baseline - face->glyph->bitmap_top);
        centres[cell] = {left + bm.width / 2.0, top + bm.rows / 2.0};
        // Keep one pixel clear at each cell edge, so filtering never bleeds into a neighbour.
        int minX = (int)std::ceil(cellLeft) + 1, maxX = (int)std::floor(cellLeft + cellW) - 2;
        int minY = (int)std::ceil(cellTop) + 1, maxY = (int)std::floor(cellTop + cellH) - 2;
        for (unsigned y = 0; y < bm.rows; y++)
            for (unsigned x = 0; x < bm.width; x++) {
                int px = left + (int)x, py = top + (int)y;
                if (px < minX || px > maxX || py < minY || py > maxY)
                    continue;
                unsigned char a = bm.buffer[y * bm.pitch + x];
                unsigned char& dst = alpha[(size_t)py * W + px];
                dst = std::max(dst, a);
            }
    }
    FILE* out = std::fopen(argv[2], "w");
    if (!out) {
        std::fprintf(stderr, "quenrastilan-fontatlas: cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(out, "// Generated by quenrastilan-fontatlas at build time; do not edit.\n");
    std::fprintf(out, "#include \"render/font.h\"\n\n");
    std::fprintf(out, "static const unsigned char pixels[%d] = {\n", W * H * 4);
    for (int i = 0; i < W * H; i++) {
        std::fprintf(out, "255,255,255,%d,%s", alpha[i], (i % 8 == 7) ? "\n" : "");
    }
    std::fprintf(out, "};\n\nconst GlyphImage bitstream_bold = {%d, %d, 4, pixels};\n", W, H);
    bool fine = writeFineAtlases(face, out);
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    if (!fine) {
        std::fclose(out);
        std::fprintf(stderr, "quenrastilan-fontatlas: a glyph is missing from %s\n", argv[1]);
        return 1;
    }
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, "quenrastilan-fontatlas: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
