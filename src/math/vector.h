// Vector and Matrix: the three-component vector and 3x3 matrix every scene works in.
//
// Conventions of the math library:
// - single precision throughout; only sqrt, sin and cos run in double, rounded back to float;
// - angles are radians (glRotatef, outside this library, takes degrees);
// - Matrix is row-major 3x3 and acts on column vectors: v * m means M·v.
#ifndef QUENRASTILAN_MATH_VECTOR_H
#define QUENRASTILAN_MATH_VECTOR_H

class Matrix;

class Vector {
public:
    // x, y, z lie contiguously, so &v can be handed to glVertex3fv and glNormal3fv.
    float x, y, z;

    Vector();
    Vector(float x, float y, float z);
    Vector(Vector const& v);
    ~Vector() {}

    float length() const;
    // Divides in place by the length; a zero-length vector is left as it is and (0, 0, 0) returned.
    Vector normalize();
    float dotProduct(Vector const& b) const;
    // Not the textbook cross product: the middle component is x*b.z - z*b.x (negated).
    // The Platonic solids' face normals, and so their lighting, depend on this form.
    Vector crossProduct(Vector const& b) const;

    Vector operator+(Vector const& b) const;
    Vector operator-(Vector const& b) const;
    Vector operator+=(Vector const& b);
    Vector operator-=(Vector const& b);
    // The matrix stands on the right but is applied from the left: M·v.
    Vector operator*(Matrix const& m) const;
    Vector operator*=(Matrix const& m);
    Vector operator*(float const& s) const;
    Vector operator*=(float const& s);
    // Division by zero or a negative number gives (0, 0, 0).
    Vector operator/(float const& s) const;
    bool operator==(Vector const& b) const;
    Vector& operator=(Vector const& b);
};

class Matrix {
public:
    // Row-major: element (r, c) is m[3r + c].
    float m[9];

    Matrix();  // all zeros, not the identity
    Matrix(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8);
    explicit Matrix(float s);
    Matrix(Matrix const& b) = default;
    ~Matrix() {}

    Matrix makeIdentity();
    Matrix makeScale(float sx, float sy, float sz);
    // The transpose of Rz(c)·Ry(b)·Rx(a): applied as v * m it turns by -c about z,
    // then -b about y, then -a about x.
    Matrix makeRotation(float a, float b, float c);

    Matrix& operator=(Matrix const& b);
    Matrix& operator=(float const& s);
    Matrix operator+(Matrix const& b) const;
    Matrix operator-(Matrix const& b) const;
    Matrix operator+=(Matrix const& b);
    Matrix operator-=(Matrix const& b);
    Matrix operator*(Matrix const& b) const;
    Matrix operator*=(Matrix const& b);
    Matrix operator*(float const& s) const;
    Matrix operator*=(float const& s);
    bool operator==(Matrix const& b) const;
};

#endif
