// Complex: the single-precision complex number the Newton fractal scene iterates with.
//
// Conventions of the math library (see vector.h): single precision throughout; only the C
// library's sqrt, atan, pow, sin and cos run in double, their results rounded back to float.
#ifndef QUENRASTILAN_MATH_COMPLEX_H
#define QUENRASTILAN_MATH_COMPLEX_H

class Complex {
public:
    float re, im;

    Complex();
    Complex(float re, float im);
    Complex(Complex const& c);
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

    float abs() const;
    // atan(im / re): a half-plane angle in (-pi/2, pi/2), not the full argument, so (-1, 1)
    // gives -pi/4. re = 0 gives +-pi/2; re = im = 0 gives NaN.
    float angle() const;
    // abs()^p at p times angle(): the principal power only for numbers with re > 0.
    Complex power(float p) const;
};

#endif
