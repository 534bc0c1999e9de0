// The random generator, reproduced bit for bit: every scene's random layout is defined by it.
#include "math/random.h"

#include <cmath>

uint32_t SEED = SEED_AT_START;

void setSeed(int seed) { SEED = (uint32_t)seed; }

// One Schrage-style step, hi = SEED / q, lo = SEED - hi q, SEED = a lo - r hi, all in wrapping
// unsigned 32-bit arithmetic. There is deliberately no correction step adding m back when
// a lo < r hi: the wrapped difference is the new state, and the layouts depend on that.
static uint32_t step(uint32_t a, uint32_t q, uint32_t r)
{
    uint32_t hi = SEED / q;
    uint32_t lo = SEED - hi * q;
    SEED = a * lo - r * hi;
    return SEED;
}

float randFloat()
{
    static const uint32_t a = 1588635695u;
    static const uint32_t m = 4294967291u;  // 2^32 - 5
    static const uint32_t q = 2u;           // m div a
    static const uint32_t r = 1117695901u;  // m mod a
    uint32_t s = step(a, q, r);
    // SEED can exceed m, so quotients just above 1 occur and round to 1.0f.
    return (float)((double)s / (double)m);
}

int randInt()
{
    static const uint32_t a = 1583458089u;
    static const uint32_t q = 1u;           // (2^31 - 1) div a; the modulus itself is never read
    static const uint32_t r = 564025558u;   // (2^31 - 1) mod a
    return (int)step(a, q, r);
}

Vector sphereCoord(float r, float theta, float phi)
{
    double st = std::sin((double)theta);
    float x = (float)(st * std::cos((double)phi));
    float y = (float)(st * std::sin((double)phi));
    float z = (float)std::cos((double)theta);
    return Vector(r * x, r * y, r * z);
}

Vector randomSphereVector(float r)
{
    // 3.141592f is the float 0x40490FD8, a little below the float nearest to pi.
    const float pi = 3.141592f;
    float theta = randFloat() * pi;
    float phi = 2.0f * randFloat() * pi;
    return sphereCoord(r, theta, phi);
}

Vector randomBoxVector(float s)
{
    float u1 = randFloat();
    float u2 = randFloat();
    float u3 = randFloat();
    return Vector((u1 - 0.5f) * s, (u2 - 0.5f) * s, (u3 - 0.5f) * s);
}

Vector polarCoord(float r, float angle)
{
    return Vector(r * (float)std::cos((double)angle), r * (float)std::sin((double)angle), 0.0f);
}

float catmullromValue(float t, float p0, float p1, float p2, float p3)
{
    float t2 = t * t;
    float t3 = t2 * t;
    return 0.5f * (2.0f * p1 + (p2 - p0) * t + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * t2
                   + (-p0 + 3.0f * p1 - 3.0f * p2 + p3) * t3);
}
