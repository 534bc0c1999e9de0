// Complex arithmetic in single precision, with the Newton scene's guarded divisions.
#include "math/complex.h"

#include <cmath>

// The guards compare against these floats (0x38D1B717 and 0x3727C5AC).
static const float SCALAR_DIVISOR_MIN = 0.0001f;
static const float SQUARED_MAGNITUDE_MIN = 0.00001f;
static const float GUARDED_QUOTIENT = 1000000.0f;

Complex::Complex() : re(0.0f), im(0.0f) {}
Complex::Complex(float re_, float im_) : re(re_), im(im_) {}
Complex::Complex(Complex const& c) : re(c.re), im(c.im) {}

Complex Complex::operator+(Complex const& b) const { return Complex(re + b.re, im + b.im); }
Complex Complex::operator-(Complex const& b) const { return Complex(re - b.re, im - b.im); }

Complex Complex::operator+=(Complex const& b)
{
    *this = *this + b;
    return *this;
}

Complex Complex::operator-=(Complex const& b)
{
    *this = *this - b;
    return *this;
}

Complex Complex::operator*(float const& s) const { return Complex(re * s, im * s); }

Complex Complex::operator*=(float const& s)
{
    *this = *this * s;
    return *this;
}

Complex Complex::operator/(float const& s) const
{
    if (s <= SCALAR_DIVISOR_MIN)
        return Complex(0.0f, 0.0f);
    return Complex(re / s, im / s);
}

Complex Complex::operator/=(float const& s)
{
    if (s <= SCALAR_DIVISOR_MIN)
        return Complex(0.0f, 0.0f);
    *this = *this / s;
    return *this;
}

Complex Complex::operator*(Complex const& b) const
{
    return Complex(re * b.re - im * b.im, re * b.im + im * b.re);
}

Complex Complex::operator*=(Complex const& b)
{
    *this = *this * b;
    return *this;
}

// |b|^2 summed as the quotient forms it: im^2 first, then + re^2.
static float squaredMagnitude(Complex const& b)
{
    float d = b.im * b.im;
    d = d + b.re * b.re;
    return d;
}

Complex Complex::operator/(Complex const& b) const
{
    float d = squaredMagnitude(b);
    if (d < SQUARED_MAGNITUDE_MIN)
        return Complex(GUARDED_QUOTIENT, GUARDED_QUOTIENT);
    // Multiplied by the reciprocal, not divided part by part: the scene's pictures rest on it.
    float k = 1.0f / d;
    return Complex((re * b.re + im * b.im) * k, (im * b.re - re * b.im) * k);
}

Complex Complex::operator/=(Complex const& b)
{
    if (squaredMagnitude(b) < SQUARED_MAGNITUDE_MIN)
        return Complex(GUARDED_QUOTIENT, GUARDED_QUOTIENT);
    *this = *this / b;
    return *this;
}

Complex& Complex::operator=(Complex const& b)
{
    re = b.re;
    im = b.im;
    return *this;
}

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
