// Scene: cells with greetings, 132 - 145 s. Twenty centres circle and drift over a 120x120
// plane; the folded distance to the nearest one is drawn as a tilted sheet of squares sized by
// the field's slope, while pairs of greetings fade in and out in red. At the end the sheet
// flies apart.
#include "scenes/cell.h"

#include "math/random.h"
#include "math/timing.h"
#include "render/batch.h"
#include "render/font.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <cstdlib>

float* cgrid = nullptr;
CellItem* cellitems = nullptr;
// The sheet's squares, four corners each: every lattice point but the first column's.
static const int CELL_SQUARES = CELL_GRID * (CELL_GRID - 1);
static Vector* cellVertices = nullptr;

// Invented names of groups and events. No character 'z' or '{' to '~': those draw as blanks.
const char greetings[CELL_GREETINGS][30] = {
    "Greetings go out to",     // never shown
    "Orvanthe",                "Kestrelmoor",
    "Tamsivelt",               "Nuvarra Crew",
    "Pelloquin",               "Hexaldrin",
    "Saronvik",                "Ulmerith",
    "Brasskettle",       "Fenwyre Labs",
    "Ilvaskarn",               "Morrowquill",
    "Quistavel",               "Drenn Party",
    "Yarrowmint",              "Corvalith",
    "Tessagrund",              "Vindalune",
    "Ashvelde",      "Elkmarrow",
    "Ostrevanne",              "Hollowtine",
    "Lumivanth",               "Kettlebyte",
    "Prunavel",                "Sablequent",
    "Tuvinkra",                "Grimsvelt",
    "Arventh Jam",             "Mirefold",
    "Wendrake",        "Zarnepol",
    "Ruskovell",               "Caldermint",
    "Nivelquist",              "Ombrethil",
    "Pajuvenn Demoparty",      "Sorrowmere",
    "",
};

int calculateDist(int x1, int y1, int x2, int y2)
{
    int dx = std::abs(x1 - x2);
    if (dx > 60)
        dx = 120 - dx;
    int dy = std::abs(y1 - y2);
    if (dy > 60)
        dy = 120 - dy;
    return dx * dx + dy * dy;
}

void cell_init()
{
    cgrid = new float[CELL_GRID * CELL_GRID];
    for (int i = 0; i < CELL_GRID * CELL_GRID; i++)
        cgrid[i] = 0.0f;
    cellitems = new CellItem[CELL_ITEMS];
    cellVertices = new Vector[4 * CELL_SQUARES];

    srand(1698516);
    setSeed(16891);
    for (int i = 0; i < CELL_ITEMS; i++) {
        CellItem& c = cellitems[i];
        // Overwritten by every frame before it is read; drawn only to keep the rand sequence.
        int x = rand() % 120;
        int y = rand() % 120;
        c.position = Vector((float)x, (float)y, 0);
        randFloat();
        randFloat();
        float r3 = randFloat();
        float r4 = randFloat();
        c.radius = (1 - r3 * r4) * 128;
        c.phase = randFloat();
        float r6 = randFloat();
        c.speed = (r6 + 1) - c.radius * 0.015625f;
    }
}

void cellMove(CellItem* items, int n, float pos)
{
    for (int i = 0; i < n; i++) {
        CellItem& c = items[i];
        float angle = (c.speed * pos + c.phase) * 6.283184f;
        float s = (float)std::sin((double)angle);
        float co = (float)std::cos((double)angle);
        c.position = Vector(s + 2 * pos, co, 0) * c.radius;
    }
}

void cellField(float* grid, const CellItem* items, int n)
{
    for (int y = 0; y < CELL_GRID; y++)
        for (int x = 0; x < CELL_GRID; x++) {
            int m = 1000000;
            for (int j = 0; j < n; j++) {
                int d = calculateDist(x, y, (int)items[j].position.x, (int)items[j].position.y);
                if (d < m)
                    m = d;
            }
            grid[y * CELL_GRID + x] = (float)m * 0.00390625f;
        }
}

// The sheet: one square per lattice point but the first column, sized by the horizontal slope
// g of the field and lifted by it; S scales the positions (not the sizes), h the sizes.
static void drawSheet(float a, float S, float h)
{
    // Sent as one vertex array under one colour: the same quads in the same order as a
    // glBegin(GL_QUADS) block that sets the colour first, without 57120 glVertex calls.
    Vector* v = cellVertices;
    for (int y = 0; y < CELL_GRID; y++)
        for (int x = 1; x < CELL_GRID; x++) {
            float g = cgrid[y * CELL_GRID + x - 1] - cgrid[y * CELL_GRID + x];
            // Where g * h is below -0.3 the square turns inside out (reversed winding).
            float e = g * h + 0.3f;
            Vector c = Vector((float)x / 120 - 0.5f, (float)y / 120 - 0.5f, -0.04f * g) * S;
            *v++ = Vector(c.x - e, c.y - e, c.z);
            *v++ = Vector(c.x + e, c.y - e, c.z);
            *v++ = Vector(c.x + e, c.y + e, c.z);
            *v++ = Vector(c.x - e, c.y + e, c.z);
        }
    glColor4f(0, 0, 0, a);
    VertexBatch(cellVertices).draw(GL_QUADS, (int)(v - cellVertices));
}

// Two lines of greetings, entries `first` and `first` + 1, in red with alpha b.
static void drawGreetings(int first, float b)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 0, 0, b);
    glPushMatrix();
    glScalef(2.5f, 2.5f, 2.5f);
    glRotatef(180, 0, 1, 0);  // the camera looks along +z: turned to read left to right
    glTranslatef(-3.2f, 0, 0);
    glPushMatrix();
    font_write3d(greetings[first]);
    glPopMatrix();
    glPushMatrix();
    glTranslatef(0, -1.9f, 0);
    // At pos exactly 1 (stage 19) the lower line would be entry 40, past the table; its alpha
    // is 0 there, so nothing is written.
    if (first + 1 < CELL_GREETINGS)
        font_write3d(greetings[first + 1]);
    glPopMatrix();
    glPopMatrix();
}

void cell(float pos)
{
    float a = calcSaturate(pos, 0.0f, 1.0f, 26.0f);

    glLoadIdentity();
    gluLookAt(20 + 70 * pos, 0, -(25 * pos + 140), 0, 0, 0, 0, 1, 0);
    glRotatef(20 * pos, 0.2f, 0.1f, 0.54f);
    glRotatef(-45, 0, 1, 0);

    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);

    // One more centre, and the next pair of greetings, in each nineteenth of the scene.
    int k = (int)(19 * pos);
    int n = k + 1;
    float f = 19 * pos - k;

    cellMove(cellitems, n, pos);
    cellField(cgrid, cellitems, n);

    // 3.14592, not pi: the sheet's scale reaches about 1.8e8 at pos 1 and flies apart.
    float s = calcPosFloat(pos, 0.9f, 1.0f);
    float S = (float)std::pow((double)(s * 3.14592f * 0.5f), 29.0) * 360 + 160;
    float h = calcPosFloat(pos, 0.0f, 0.1f) * 1.3f;
    drawSheet(a, S, h);

    drawGreetings(2 * k + 1, calcSaturate(f, 0.0f, 1.0f, 1.0f));
}

void cell_free()
{
    delete[] cgrid;
    cgrid = nullptr;
    delete[] cellitems;
    cellitems = nullptr;
    delete[] cellVertices;
    cellVertices = nullptr;
}
