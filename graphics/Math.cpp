// The single-precision math kit: vector helpers, the affine matrix product, translations and the
// quaternion's rotation matrix. Every result is built from float operands and stored as float.
#include "graphics/Math.h"

#include <cmath>

float Vector3::length() const {
    return std::sqrt(x * x + y * y + z * z);
}

void Vector3::normalize() {
    const float inverse = 1.0f / length();
    x *= inverse;
    y *= inverse;
    z *= inverse;
}

Vector3& cross(Vector3& result, const Vector3& a, const Vector3& b) {
    // Through temporaries, so that result may be one of the operands.
    const float x = a.y * b.z - a.z * b.y;
    const float y = a.z * b.x - a.x * b.z;
    const float z = a.x * b.y - a.y * b.x;
    result.x = x;
    result.y = y;
    result.z = z;
    return result;
}

Vector3& negate(Vector3& result, const Vector3& v) {
    result.x = -v.x;
    result.y = -v.y;
    result.z = -v.z;
    return result;
}

Vector3& scale(Vector3& result, const Vector3& v, float s) {
    result.x = s * v.x;
    result.y = s * v.y;
    result.z = s * v.z;
    return result;
}

Vector3& divide(Vector3& result, const Vector3& v, float s) {
    return scale(result, v, 1.0f / s);
}

Matrix4::Matrix4() : m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

Matrix4::Matrix4(float r0c0, float r0c1, float r0c2, float r0c3, float r1c0, float r1c1, float r1c2,
                 float r1c3, float r2c0, float r2c1, float r2c2, float r2c3, float r3c0, float r3c1,
                 float r3c2, float r3c3)
    : m{r0c0, r1c0, r2c0, r3c0, r0c1, r1c1, r2c1, r3c1,
        r0c2, r1c2, r2c2, r3c2, r0c3, r1c3, r2c3, r3c3} {}

Matrix4& Matrix4::operator*=(const Matrix4& other) {
    return product(*this, *this, other);
}

Matrix4& product(Matrix4& result, const Matrix4& a, const Matrix4& b) {
    Matrix4 temporary;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = a.at(row, 0) * b.at(0, column) + a.at(row, 1) * b.at(1, column) +
                        a.at(row, 2) * b.at(2, column);
            // B's bottom row counts as (0, 0, 0, 1): only the translation column picks up A's.
            if (column == 3)
                sum += a.at(row, 3);
            temporary.at(row, column) = sum;
        }
    }
    temporary.at(3, 0) = 0;
    temporary.at(3, 1) = 0;
    temporary.at(3, 2) = 0;
    temporary.at(3, 3) = 1;
    result = temporary;
    return result;
}

Matrix4& translation(Matrix4& result, const Vector3& t) {
    result = Matrix4();
    result.at(0, 3) = t.x;
    result.at(1, 3) = t.y;
    result.at(2, 3) = t.z;
    return result;
}

Matrix4& Quaternion::toMatrix(Matrix4& result) const {
    const float x = v.x, y = v.y, z = v.z;
    result =
        Matrix4(1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w), 0,
                2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w), 0,
                2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y), 0, 0, 0, 0, 1);
    return result;
}

Quaternion& conjugate(Quaternion& result, const Quaternion& q) {
    result.w = q.w;
    negate(result.v, q.v);
    return result;
}
