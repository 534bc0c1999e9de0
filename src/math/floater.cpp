// The flow scenes' particle: birth, one frame's move and ageing, and its streak.
#include "math/floater.h"

#include "math/random.h"
#include "math/timing.h"

#include <GL/gl.h>

// However short the frame, a particle moves and ages by at least this step.
static const float MIN_STEP = 0.0015f;
// Outside the bound a particle ages this many times faster.
static const float OUTSIDE_RATE = 5.0f;

Floater::Floater(bool threeD, float life_, float radius)
{
    float u = randFloat();
    life = maxlife = u * 0.3f + life_ * 0.7f;
    if (threeD) {
        float u1 = randFloat();
        float u2 = randFloat();
        float u3 = randFloat();
        position = Vector(2.0f * u1 - 1.0f, 2.0f * u2 - 1.0f, 2.0f * u3 - 1.0f) * radius;
    } else {
        float u1 = randFloat();
        float u2 = randFloat();
        position = Vector(2.0f * u1 - 1.0f, 0.0f, 2.0f * u2 - 1.0f) * radius;
    }
    previous = position;
}

bool Floater::update(float dt, float bound, Vector velocity)
{
    // The bound is tested before the move; a coordinate exactly on it counts as inside.
    float k = 1.0f;
    if (position.x > bound || position.x < -bound || position.y > bound || position.y < -bound
        || position.z > bound || position.z < -bound)
        k = OUTSIDE_RATE;
    if (dt < MIN_STEP)
        dt = MIN_STEP;
    previous = position;
    life = life - dt * k;
    if (life <= 0.0f)
        return false;
    position = position + velocity * dt;
    return true;
}

void Floater::draw(float alpha)
{
    // 0 at birth, full after 10.8 % of the life, back to 0 over the last 10.8 %.
    float f = calcSaturate(life / maxlife, 0.0f, 1.0f, 3.0f);
    glColor4f(1.0f, 0.0f, 0.0f, alpha * f);
    glVertex3fv(&position.x);
    glVertex3fv(&previous.x);
}

void Floater::streak(float alpha, Vector* vertices, float* colours) const
{
    float f = calcSaturate(life / maxlife, 0.0f, 1.0f, 3.0f);
    float a = alpha * f;
    vertices[0] = position;
    vertices[1] = previous;
    for (int k = 0; k < 8; k += 4) {
        colours[k] = 1.0f;
        colours[k + 1] = 0.0f;
        colours[k + 2] = 0.0f;
        colours[k + 3] = a;
    }
}
