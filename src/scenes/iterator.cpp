// Scene: iterated-map clouds, 198.5 - 225 s. Four chaos-game fractals of 50000 points, one per
// quarter, drifting with time and fading in and out in a plane that tumbles before the camera.
#include "scenes/iterator.h"

#include "math/random.h"
#include "math/timing.h"
#include "render/batch.h"
#include "render/picture.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>

// This frame's cloud: the vertices of the one chaos game drawn.
static double iteratorCloud[2 * ITERATOR_STEPS];
// The same points as GL is given them.
static float iteratorVertices[2 * ITERATOR_STEPS];

void iterator_init() {}

// The C library generator's seed for the clouds reseeded at position p.
static int iteratorSeed(float p)
{
    return (int)(16100 * (double)p);
}

int iteratorQuarter(float t)
{
    float p1 = calcPosFloat(t, 0.0f, 0.25f);
    float p2 = calcPosFloat(t, 0.25f, 0.5f);
    float p3 = calcPosFloat(t, 0.5f, 0.75f);
    float p4 = calcPosFloat(t, 0.75f, 1.0f);
    if (0.001 < p1 && p1 < 0.999)
        return 1;
    if (0.001 < p2 && p2 < 0.999)
        return 2;
    if (0.001 < p3 && p3 < 0.999)
        return 3;
    // The last quarter runs on to 1, not 0.999.
    if (0.001 < p4 && p4 < 1)
        return 4;
    return 0;
}

void iterator1Points(float p, double* xy)
{
    srand(iteratorSeed(p));
    double s = 2.3 - 0.4 * p;
    double e = 0.4 * ((1 - p) * std::cos(20 * (double)p) + p) + 0.4;
    double h = (std::sqrt(3.0) / 2) * p * 3;

    double X = 0, Y = 0;
    for (int i = 0; i < ITERATOR_STEPS; i++) {
        double r = std::sqrt(X * X + Y * Y);
        double theta, nx, ny;
        // Map 0 takes the cosine for x and the sine for y; the others the other way round.
        switch (rand() % 4) {
        case 0:
            theta = std::atan2(Y, X - 1);
            nx = -r * std::cos(theta) / s;
            ny = 1 - r * std::sin(theta) / s;
            break;
        case 1:
            theta = std::atan2(Y - h, X + e);
            nx = h - r * std::sin(theta) / s;
            ny = -e - r * std::cos(theta) / s;
            break;
        case 2:
            theta = std::atan2(Y + h, X + e);
            nx = -h - r * std::sin(theta) / s;
            ny = -e - r * std::cos(theta) / s;
            break;
        default:
            theta = std::atan2(Y, X);
            nx = -r * std::sin(theta) / s;
            ny = -r * std::cos(theta) / s;
            break;
        }
        X = nx;
        Y = ny;
        xy[2 * i] = X + 0.5;
        xy[2 * i + 1] = Y + 0.5;
    }
}

void iterator2Points(float p, double* xy)
{
    srand(iteratorSeed(p));
    float q = calcSaturate(p, 0.0f, 2.0f, 1.0f);
    float m = (float)(3 * std::sin(3.141592 * q / 2) + 2);
    float k = (float)(std::sqrt(3.0) * (0.335 * p + 0.8));
    double s = 0.4 * p + 1.85;
    // The map's probabilities are 1/3, T - 1/3 and 1 - T, the thresholds taken from a float third.
    const float third = 0.333333f;
    float T = (float)((0.4 * p + 1.8) * third);

    double a = 0, b = 0;
    for (int i = 0; i < ITERATOR_STEPS; i++) {
        float u = randFloat();
        double na, nb;
        if (u < (double)third) {
            na = (a + b / k) / s;
            nb = (a / k - b) / s;
        } else if (u < T) {
            na = (a - b / k) / s + 0.5;
            nb = (-a / k - b) / s + 1 / (2 * (double)k);
        } else {
            na = (a + b / k) / s + 1;
            nb = -(a / k - b) / s;
        }
        a = na;
        b = nb;
        xy[2 * i] = m * a - 3.5;
        xy[2 * i + 1] = m * b - 1;
    }
}

void iterator3Points(float p, double* xy)
{
    srand(iteratorSeed(p));
    float phi = (float)(1.4 * 3.141592 * p);
    float A = (float)((std::sqrt(3.0) - 1.1) - 0.15 * std::cos((double)phi));
    float B = (float)((std::sqrt(3.0) + 1.1) - 0.15 * std::sin((double)phi));
    float S = (float)std::sqrt(1.5);
    float M = 3 * p + 8;
    // A turn by 120 degrees.
    const float turn = 2.0943947f;
    float c = (float)std::cos((double)turn);
    float sn = (float)std::sin((double)turn);

    double a = 0, b = 0;
    for (int i = 0; i < ITERATOR_STEPS; i++) {
        double a1 = a * c - b * sn, b1 = a * sn + b * c;
        double a2 = a1 * a1 - b1 * b1, b2 = 2 * a1 * b1;
        double wr, wi;
        switch (rand() % 3) {
        case 0: wr = a; wi = b; break;
        case 1: wr = a1; wi = b1; break;
        default: wr = a2; wi = b2; break;
        }
        // z' = S (A w + 1) / (B - w)
        double nr = S * (A * wr + 1), ni = S * (A * wi);
        double dr = B - wr, di = -wi;
        double dd = dr * dr + di * di;
        a = (nr * dr + ni * di) / dd;
        b = (ni * dr - nr * di) / dd;
        xy[2 * i] = M * a - 4;
        xy[2 * i + 1] = M * b;
    }
}

void iterator4Points(float p, double* xy)
{
    float Kr = 0.1f * (float)std::cos((double)(16 * p)) - 0.75f;
    float Ki = 0.14f * (float)std::sin((double)(14 * p)) + 0.23f;
    float tau = 0.1f * (float)std::cos((double)(14 * p)) + 0.87f;
    float scale = 3.5f - p;

    double a = 0, b = 0;
    for (int i = 0; i < ITERATOR_STEPS; i++) {
        double dr = a - Kr, di = b - Ki;
        double r = std::sqrt(dr * dr + di * di);
        double theta = std::atan2(di, dr) / 2;
        // The negative root with probability tau: the cloud is uneven across the Julia set.
        double u = (rand() % 10000) / 10000.0;
        double sign = u > tau ? 1 : -1;
        a = sign * std::sqrt(r) * std::cos(theta);
        b = sign * std::sqrt(r) * std::sin(theta);
        xy[2 * i] = scale * a;
        xy[2 * i + 1] = scale * b;
    }
}

// The cloud as black translucent points of the given size. The colour is set before the points
// rather than with each: the same points, and GL then stores no colour per vertex. The points go
// to GL as one vertex array of floats, rounded from the doubles as glVertex2d would round them;
// the Julia cloud, which was sent with glVertex2f, rounds to the same floats.
static void drawCloud(float size, float alpha)
{
    for (int i = 0; i < 2 * ITERATOR_STEPS; i++)
        iteratorVertices[i] = (float)iteratorCloud[i];
    picturePointSize(size);
    glColor4f(0, 0, 0, alpha);
    VertexBatch(2, iteratorVertices).draw(GL_POINTS, ITERATOR_STEPS);
}

void iterator1(float p)
{
    iterator1Points(p, iteratorCloud);
    drawCloud(2, calcSaturate(p, 0.0f, 1.0f, 3.0f));
}

void iterator2(float p)
{
    iterator2Points(p, iteratorCloud);
    drawCloud(2, calcSaturate(p, 0.0f, 1.0f, 3.0f));
}

void iterator3(float p)
{
    iterator3Points(p, iteratorCloud);
    drawCloud(2, calcSaturate(p, 0.0f, 1.0f, 3.0f));
}

void iterator4(float p)
{
    iterator4Points(p, iteratorCloud);
    drawCloud(3, calcSaturate(p, 0.0f, 1.0f, 1.0f));
}

// The clouds draw from the shared random generators, and the second and third quarters' clouds
// take up where the frames before left them (randFloat is never reseeded here, and the Julia
// cloud does not reseed rand): a frame's change of the generators, the draws of the cloud
// functions above without their points.
void iterator_advance(float t)
{
    int quarter = iteratorQuarter(t);
    float p = calcPosFloat(t, 0.25f * (quarter - 1), 0.25f * quarter);
    if (quarter == 1) {
        srand(iteratorSeed(p));
        for (int i = 0; i < ITERATOR_STEPS; i++)
            randFloat();
    } else if (quarter != 0) {
        if (quarter != 3)
            srand(iteratorSeed(p));
        for (int i = 0; i < ITERATOR_STEPS; i++)
            rand();
    }
}

void iterator(float t)
{
    glLoadIdentity();
    glTranslatef(0, 0, -8);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glRotatef(30 * t, 1, 1, 0.3f);

    // The quarters show the clouds in the order 2, 3, 4, 1.
    switch (iteratorQuarter(t)) {
    case 1:
        glRotatef(160 * t, 0, 0, 1);
        iterator2(calcPosFloat(t, 0.0f, 0.25f));
        break;
    case 2:
        glRotatef(160 * t - 40, 0, 0, 1);
        iterator3(calcPosFloat(t, 0.25f, 0.5f));
        break;
    case 3:
        glRotatef(160 * t + 60, 0, 0, 1);
        iterator4(calcPosFloat(t, 0.5f, 0.75f));
        break;
    case 4:
        glRotatef(160 * t + 60, 0, 0, 1);
        iterator1(calcPosFloat(t, 0.75f, 1.0f));
        break;
    }
}

void iterator_free() {}
