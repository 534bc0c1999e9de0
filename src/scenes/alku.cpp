// Scene: the opening credits, 0 - 29 s. Eight lines type themselves in over digit filler and
// fade in and out; the camera sways, then rushes forward through the text at the very end.
#include "scenes/alku.h"

#include "math/timing.h"
#include "math/vector.h"
#include "render/font.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <cstring>

// Each line: the text and the digit filler shown in its place before it is revealed, both
// padded with blanks to 30 characters and closed by two NUL bytes (writer reads all 32).
char seq1_1[32] = "Molvenar                      ";
char seq1_2[32] = "70 836 4030 5830 7192 7912    ";
char seq2_1[32] = "presents a 64k intro          ";
char seq2_2[32] = "159 105 69 103 5996 1919 6905 ";
char seq3_1[32] = "for your enjoyment            ";
char seq3_2[32] = "10 50 41 86 225 69 109 56901 1";
char seq4_1[32] = "at Dunsvelder'06              ";
char seq4_2[32] = "223 6588 149 5896 1337 4096 11";
char seq5_1[32] = "Quenrastilan                  ";
char seq5_2[32] = "14159 26535 89793 23846 2643  ";
char seq6_1[32] = "(Oldrinvale)                  ";
char seq6_2[32] = "2718 281 82845 90452 353      ";
char seq7_1[32] = "[740e-9, 380e-9] :  Ostravel  ";
char seq7_2[32] = "21 2133 19521 176661 129127041";
char seq8_1[32] = "[20, 20000] : Vesk            ";
char seq8_2[32] = "301 16513 60110701 1977225901 ";

float writerReveal(float t, float start, float end)
{
    float q = calcPosFloat(t, start, end);
    if (q < 0.3f)
        q = 0.0f;
    else if (q <= 0.85f)
        q = (q - 0.3f) * 1.8181818f;
    // Tested on the rescaled value: the line snaps to whole text once it passes 0.85.
    if (q > 0.85f)
        q = 1.0f;
    return q;
}

void writerCompose(char* line, const char* text, const char* filler, int shown)
{
    for (int i = 0; i < 32; i++)
        line[i] = (i < shown) ? text[i] : filler[i];
}

void alku_init() {}

void writer(Vector position, Vector colour, float, float t, float start, float end, float alpha,
            char* text, char* filler)
{
    float a = alpha * calcSaturate(t, start, end, 1.0f);
    if (a <= 0.001f)
        return;
    int n = (int)(writerReveal(t, start, end) * 32);

    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    glScalef(0.5f, 0.5f, 0.5f);
    glRotatef(180, 0, 1, 0);  // the camera looks along +z, so the line is turned to read left to right
    glPushMatrix();
    glColor4f(colour.x, colour.y, colour.z, a);
    char line[32];
    writerCompose(line, text, filler, n);
    font_write3d(line);
    glPopMatrix();
    glPopMatrix();
}

void alku(float t)
{
    float fade = calcSaturate(t, 0.0f, 1.0f, 6.0f);
    glLoadIdentity();

    // Negligible until t = 0.88, then the camera flies through the text plane and far beyond.
    float off = (float)(10000 * std::pow((double)(t + 0.056f), 140.0));
    Matrix roll;
    roll.makeRotation(0, 0, 0.02f * (float)std::sin((double)(7 * t)));
    Vector up = Vector(0, 1, 0) * roll;
    gluLookAt(0, 0, 2 * (float)std::sin((double)(4 * t)) - 30 + off, 0, 0, off, up.x, up.y, up.z);

    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);

    const Vector black(0, 0, 0);
    writer(Vector(9, 2, 0), black, 2.0f, t, 0.1f, 0.2f, fade, seq1_1, seq1_2);
    writer(Vector(11, -0.5f, 0), black, 2.0f, t, 0.2f, 0.3f, fade, seq2_1, seq2_2);
    writer(Vector(15, 3.2f, 0), black, 2.0f, t, 0.3f, 0.4f, fade, seq3_1, seq3_2);
    writer(Vector(13, -1.2f, 0), black, 2.0f, t, 0.4f, 0.5f, fade, seq4_1, seq4_2);
    writer(Vector(6, -1.2f, 0), black, 2.0f, t, 0.5f, 0.6f, fade, seq5_1, seq5_2);
    writer(Vector(6, -1.2f, 0), black, 2.0f, t, 0.6f, 0.7f, fade, seq6_1, seq6_2);
    writer(Vector(11, 1.5f, 0), black, 2.0f, t, 0.7f, 0.8f, fade, seq7_1, seq7_2);
    writer(Vector(12, 0.2f, 0), black, 2.0f, t, 0.8f, 0.9f, fade, seq8_1, seq8_2);
}

void alku_free() {}
