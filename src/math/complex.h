// Complex: the single-precision complex number the Newton fractal scene iterates with.
//
// Conventions of the math library (see vector.h): single precision throughout; only the C
// library's sqrt, atan, pow, sin and cos run in double, their results rounded back to float.
#ifndef QUENRASTILAN_MATH_COMPLEX_H
#define QUENRASTILAN_MATH_COMPLEX_H

class Complex {
public:
    float re, im;

    Complex() : re(0.0f), im(0.0f) {}
    Complex(float re_, float im_) : re(re_), im(im_) {}
    Complex(Complex const& c) : re(c.re), im(c.im) {}
    ~Complex() {}

    Complex operator+(Complex const& b) const;
    Complex operator-(Complex const& b) const;
    Complex operator+=(Complex const& b);
    Complex operator-=(Complex const& b);
    Complex operator*(float const& s) const;
    Complex operator*=(float const& s);
    // A divisor s <= 0.0001f (negative ones included) gives (0, 0); the compound form then
    // leaves the number unchanged and returns (0, 0).
    Complex operator/(float const& s) const;
    Complex operator/=(float const& s);
    Complex operator*(Complex const& b) const;
    Complex operator*=(Complex const& b);
    // When |b|^2 < 0.00001f the quotient is (1000000, 1000000) whatever the dividend; the Newton
    // scene relies on this where its derivative vanishes. The compound form then leaves the
    // number unchanged and returns (1000000, 1000000).
    Complex operator/(Complex const& b) const;
    Complex operator/=(Complex const& b);
    Complex& operator=(Complex const& b);

    // The guards compare against these floats (0x38D1B717 and 0x3727C5AC).
    static constexpr float SCALAR_DIVISOR_MIN = 0.0001f;
    static constexpr float SQUARED_MAGNITUDE_MIN = 0.00001f;
    static constexpr float GUARDED_QUOTIENT = 1000000.0f;

    float abs() const;
    // atan(im / re): a half-plane angle in (-pi/2, pi/2), not the full argument, so (-1, 1)
    // gives -pi/4. re = 0 gives +-pi/2; re = im = 0 gives NaN.
    float angle() const;
    // abs()^p at p times angle(): the principal power only for numbers with re > 0.
    Complex power(float p) const;

private:
    // |b|^2 summed as the quotient forms it: im^2 first, then + re^2.
    static float squaredMagnitude(Complex const& b)
    {
        float d = b.im * b.im;
        d = d + b.re * b.re;
        return d;
    }
};

// The arithmetic is defined here so that the Newton scene's 70000 steps a frame inline it;
// it is the same single-precision arithmetic in the same order wherever it is compiled.
inline Complex Complex::operator+(Complex const& b) const { return Complex(re + b.re, im + b.im); }
inline Complex Complex::operator-(Complex const& b) const { return Complex(re - b.re, im - b.im); }

inline Complex Complex::operator+=(Complex const& b)
{
    *this = *this + b;
    return *this;
}

inline Complex Complex::operator-=(Complex const& b)
{
    *this = *this - b;
    return *this;
}

inline Complex Complex::operator*(float const& s) const { return Complex(re * s, im * s); }

inline Complex Complex::operator*=(float const& s)
{
    *this = *this * s;
    return *this;
}

inline Complex Complex::operator/(float const& s) const
{
    if (s <= SCALAR_DIVISOR_MIN)
        return Complex(0.0f, 0.0f);
    return Complex(re / s, im / s);
}

inline Complex Complex::operator/=(float const& s)
{
    if (s <= SCALAR_DIVISOR_MIN)
        return Complex(0.0f, 0.0f);
    *this = *this / s;
    return *this;
}

inline Complex Complex::operator*(Complex const& b) const
{
    return Complex(re * b.re - im * b.im, re * b.im + im * b.re);
}

inline Complex Complex::operator*=(Complex const& b)
{
    *this = *this * b;
    return *this;
}

inline Complex Complex::operator/(Complex const& b) const
{
    float d = squaredMagnitude(b);
    if (d < SQUARED_MAGNITUDE_MIN)
        return Complex(GUARDED_QUOTIENT, GUARDED_QUOTIENT);
    // Multiplied by the reciprocal, not divided part by part: the scene's pictures rest on it.
    float k = 1.0f / d;
    return Complex((re * b.re + im * b.im) * k, (im * b.re - re * b.im) * k);
}

inline Complex Complex::operator/=(Complex const& b)
{
    if (squaredMagnitude(b) < SQUARED_MAGNITUDE_MIN)
        return Complex(GUARDED_QUOTIENT, GUARDED_QUOTIENT);
    *this = *this / b;
    return *this;
}

inline Complex& Complex::operator=(Complex const& b)
{
    re = b.re;
    im = b.im;
    return *this;
}

#endif
