// Single-precision value types of the engine: vectors (also RGB colours), column-major 4x4
// matrices, rotation quaternions and rectangles, with free functions that write into a result
// given by the caller and answer it. Nothing here allocates or checks its input.
#pragma once

struct Vector3 {
    float x, y, z;
    Vector3() : x(0), y(0), z(0) {}
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    float length() const;
    void normalize(); // no guard for a zero vector
};

Vector3& cross(Vector3& result, const Vector3& a, const Vector3& b);
Vector3& negate(Vector3& result, const Vector3& v);
Vector3& scale(Vector3& result, const Vector3& v, float s);
Vector3& divide(Vector3& result, const Vector3& v, float s);

// Column-major: element (row r, column c) is m[4 * c + r], the array glLoadMatrixf takes.
struct Matrix4 {
    float m[16];
    Matrix4(); // identity
    // Arguments row by row, as the matrix is printed.
    Matrix4(float r0c0, float r0c1, float r0c2, float r0c3, float r1c0, float r1c1, float r1c2,
            float r1c3, float r2c0, float r2c1, float r2c2, float r2c3, float r3c0, float r3c1,
            float r3c2, float r3c3);
    float& at(int row, int column) { return m[4 * column + row]; }
    float at(int row, int column) const { return m[4 * column + row]; }
    Matrix4& operator*=(const Matrix4& other); // this = product(this, other)
};

// Affine product A·B: bottom rows ignored, result's bottom row (0, 0, 0, 1); result may alias.
Matrix4& product(Matrix4& result, const Matrix4& a, const Matrix4& b);
Matrix4& translation(Matrix4& result, const Vector3& t);

struct Quaternion {
    float w;
    Vector3 v; // x, y, z
    Quaternion() : w(1), v() {}
    Quaternion(float w_, float x, float y, float z) : w(w_), v(x, y, z) {}
    Matrix4& toMatrix(Matrix4& result) const; // not normalised first
};

Quaternion& conjugate(Quaternion& result, const Quaternion& q);

struct Rect {
    float x0, y0, x1, y1;
    Rect() : x0(0), y0(0), x1(0), y1(0) {}
    Rect(float x0_, float y0_, float x1_, float y1_) : x0(x0_), y0(y0_), x1(x1_), y1(y1_) {}
};
