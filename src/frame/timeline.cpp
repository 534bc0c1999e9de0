// The scene timeline and the timeline functions, in single precision.
#include "frame/timeline.h"

#include <cmath>

// In timeline order, which is also the order scenes are drawn in within a frame.
const int timeline[TIMELINE_SCENES][2] = {
    {0, 29000},       // alku
    {27000, 40000},   // platon
    {40000, 66000},   // pot2d
    {66000, 94000},   // newton
    {93000, 106000},  // lorentz
    {105000, 120000}, // rossler
    {119000, 132000}, // dla
    {132000, 145000}, // cell
    {145000, 159000}, // curves
    {159000, 172000}, // converge
    {171000, 199000}, // fibotree
    {198500, 225000}, // iterator
    {225000, 244000}, // field
};

int testaaPos(int time, const int* range)
{
    return (range[0] <= time && time <= range[1]) ? 1 : 0;
}

float laskePos(int time, const int* range)
{
    if (time <= range[0])
        return 0.0f;
    if (time >= range[1])
        return 1.0f;
    return (float)(time - range[0]) / (float)(range[1] - range[0]);
}

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
