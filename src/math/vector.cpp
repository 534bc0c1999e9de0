// Vector and Matrix arithmetic in single precision, bit for bit as the scenes rely on it.
#include "math/vector.h"

#include <cmath>

Vector::Vector() : x(0.0f), y(0.0f), z(0.0f) {}
Vector::Vector(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
Vector::Vector(Vector const& v) : x(v.x), y(v.y), z(v.z) {}

float Vector::length() const
{
    float sum = y * y;
    sum = sum + x * x;
    sum = sum + z * z;
    return (float)std::sqrt((double)sum);
}

Vector Vector::normalize()
{
    float len = length();
    if (len == 0.0f)
        return Vector(0.0f, 0.0f, 0.0f);
    x = x / len;
    y = y / len;
    z = z / len;
    return *this;
}

float Vector::dotProduct(Vector const& b) const
{
    return x * b.x + y * b.y + z * b.z;
}

Vector Vector::crossProduct(Vector const& b) const
{
    return Vector(y * b.z - z * b.y, x * b.z - z * b.x, x * b.y - y * b.x);
}

Vector Vector::operator+(Vector const& b) const { return Vector(x + b.x, y + b.y, z + b.z); }
Vector Vector::operator-(Vector const& b) const { return Vector(x - b.x, y - b.y, z - b.z); }

Vector Vector::operator+=(Vector const& b)
{
    x = x + b.x;
    y = y + b.y;
    z = z + b.z;
    return *this;
}

Vector Vector::operator-=(Vector const& b)
{
    x = x - b.x;
    y = y - b.y;
    z = z - b.z;
    return *this;
}

Vector Vector::operator*(Matrix const& m) const
{
    const float* e = m.m;
    return Vector(e[0] * x + e[1] * y + e[2] * z,
                  e[3] * x + e[4] * y + e[5] * z,
                  e[6] * x + e[7] * y + e[8] * z);
}

Vector Vector::operator*=(Matrix const& m)
{
    *this = *this * m;
    return *this;
}

Vector Vector::operator*(float const& s) const { return Vector(x * s, y * s, z * s); }

Vector Vector::operator*=(float const& s)
{
    x = x * s;
    y = y * s;
    z = z * s;
    return *this;
}

Vector Vector::operator/(float const& s) const
{
    if (s <= 0.0f)
        return Vector(0.0f, 0.0f, 0.0f);
    return Vector(x / s, y / s, z / s);
}

bool Vector::operator==(Vector const& b) const { return x == b.x && y == b.y && z == b.z; }

Vector& Vector::operator=(Vector const& b)
{
    x = b.x;
    y = b.y;
    z = b.z;
    return *this;
}

Matrix::Matrix()
{
    for (float& e : m)
        e = 0.0f;
}

Matrix::Matrix(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8)
    : m{m0, m1, m2, m3, m4, m5, m6, m7, m8}
{
}

Matrix::Matrix(float s)
{
    for (float& e : m)
        e = s;
}

Matrix Matrix::makeIdentity()
{
    *this = Matrix(1, 0, 0, 0, 1, 0, 0, 0, 1);
    return *this;
}

Matrix Matrix::makeScale(float sx, float sy, float sz)
{
    *this = Matrix(sx, 0, 0, 0, sy, 0, 0, 0, sz);
    return *this;
}

Matrix Matrix::makeRotation(float a, float b, float c)
{
    float ca = (float)std::cos((double)a), sa = (float)std::sin((double)a);
    float cb = (float)std::cos((double)b), sb = (float)std::sin((double)b);
    float cc = (float)std::cos((double)c), sc = (float)std::sin((double)c);
    m[0] = cb * cc;
    m[1] = cb * sc;
    m[2] = -sb;
    m[3] = sa * sb * cc - ca * sc;
    m[4] = sa * sb * sc + ca * cc;
    m[5] = sa * cb;
    m[6] = ca * sb * cc + sa * sc;
    m[7] = ca * sb * sc - sa * cc;
    m[8] = ca * cb;
    return *this;
}

Matrix& Matrix::operator=(Matrix const& b)
{
    for (int i = 0; i < 9; i++)
        m[i] = b.m[i];
    return *this;
}

Matrix& Matrix::operator=(float const& s)
{
    for (float& e : m)
        e = s;
    return *this;
}

Matrix Matrix::operator+(Matrix const& b) const
{
    Matrix r;
    for (int i = 0; i < 9; i++)
        r.m[i] = m[i] + b.m[i];
    return r;
}

Matrix Matrix::operator-(Matrix const& b) const
{
    Matrix r;
    for (int i = 0; i < 9; i++)
        r.m[i] = m[i] - b.m[i];
    return r;
}

Matrix Matrix::operator+=(Matrix const& b)
{
    *this = *this + b;
    return *this;
}

Matrix Matrix::operator-=(Matrix const& b)
{
    *this = *this - b;
    return *this;
}

Matrix Matrix::operator*(Matrix const& b) const
{
    Matrix r;
    for (int row = 0; row < 3; row++)
        for (int col = 0; col < 3; col++)
            r.m[3 * row + col] = m[3 * row] * b.m[col] + m[3 * row + 1] * b.m[3 + col] + m[3 * row + 2] * b.m[6 + col];
    return r;
}

Matrix Matrix::operator*=(Matrix const& b)
{
    *this = *this * b;
    return *this;
}

Matrix Matrix::operator*(float const& s) const
{
    Matrix r;
    for (int i = 0; i < 9; i++)
        r.m[i] = m[i] * s;
    return r;
}

Matrix Matrix::operator*=(float const& s)
{
    *this = *this * s;
    return *this;
}

bool Matrix::operator==(Matrix const& b) const
{
    for (int i = 0; i < 9; i++)
        if (!(m[i] == b.m[i]))
            return false;
    return true;
}
