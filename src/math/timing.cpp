// The sub-range and fade functions, in single precision.
#include "math/timing.h"

#include <cmath>

float calcPosFloat(float t, float start, float end)
{
    if (t <= start)
        return 0.0f;
    if (t >= end)
        return 1.0f;
    return (t - start) / (end - start);
}

float calcSaturate(float t, float start, float end, float gain)
{
    if (t <= start || t >= end)
        return 0.0f;
    // 3.141592f on purpose: the envelope's shape is tuned to this constant, not to full pi.
    float x = ((t - start) / (end - start)) * 3.141592f;
    float s = (float)std::sin((double)x);
    float v = s * gain;
    if (v < 0.0f)
        return 0.0f;
    if (v > 1.0f)
        return 1.0f;
    return v;
}
