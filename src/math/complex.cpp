// Complex magnitude, half-plane angle and power; the arithmetic is inline in complex.h.
#include "math/complex.h"

#include <cmath>

float Complex::abs() const
{
    float sum = im * im;
    sum = sum + re * re;
    return (float)std::sqrt((double)sum);
}

float Complex::angle() const
{
    float q = im / re;
    return (float)std::atan((double)q);
}

Complex Complex::power(float p) const
{
    float r = (float)std::pow((double)abs(), (double)p);
    float theta = angle();
    float pt = p * theta;
    float c = (float)std::cos((double)pt);
    float s = (float)std::sin((double)pt);
    return Complex(r * c, r * s);
}
