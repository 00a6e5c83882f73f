// The math kit and the camera: vector helpers, the affine product, translations, quaternion
// rotations, and the orthographic pixel camera that the scene draws through.
#include "graphics/Camera.h"
#include "graphics/Math.h"

#include <gtest/gtest.h>
#include <cmath>

namespace {

const float kPi = 3.14159265f;

// Applies the full 4x4 matrix to a point with w = 1 and answers the transformed x, y, z, w.
void transform(const Matrix4& m, float x, float y, float z, float out[4]) {
    for (int row = 0; row < 4; ++row)
        out[row] = m.at(row, 0) * x + m.at(row, 1) * y + m.at(row, 2) * z + m.at(row, 3);
}

void expectMatrixNear(const Matrix4& expected, const Matrix4& actual, float tolerance = 1e-6f) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(expected.m[i], actual.m[i], tolerance) << "entry " << i;
}

OrthoCamera screenCamera(float width, float height) {
    OrthoCamera camera;
    camera.minCorner = Vector3(0, height, -1);
    camera.maxCorner = Vector3(width, 0, 1);
    camera.updateProjection();
    return camera;
}

} // namespace

// ---- Vectors -------------------------------------------------------------------------------

TEST(VectorOperations, CrossProductFollowsTheRightHandRule) {
    Vector3 result;
    cross(result, Vector3(1, 0, 0), Vector3(0, 1, 0));
    EXPECT_FLOAT_EQ(0, result.x);
    EXPECT_FLOAT_EQ(0, result.y);
    EXPECT_FLOAT_EQ(1, result.z);
    cross(result, Vector3(2, 3, 4), Vector3(5, 6, 7));
    EXPECT_FLOAT_EQ(3 * 7 - 4 * 6, result.x);
    EXPECT_FLOAT_EQ(4 * 5 - 2 * 7, result.y);
    EXPECT_FLOAT_EQ(2 * 6 - 3 * 5, result.z);
}

TEST(VectorOperations, LengthNormalizeNegateScaleDivide) {
    Vector3 v(3, 0, 4);
    EXPECT_FLOAT_EQ(5, v.length());
    v.normalize();
    EXPECT_FLOAT_EQ(0.6f, v.x);
    EXPECT_FLOAT_EQ(0.8f, v.z);
    EXPECT_FLOAT_EQ(1, v.length());

    Vector3 result;
    EXPECT_EQ(&result, &negate(result, Vector3(1, -2, 3)));
    EXPECT_FLOAT_EQ(-1, result.x);
    EXPECT_FLOAT_EQ(2, result.y);
    EXPECT_FLOAT_EQ(-3, result.z);
    scale(result, Vector3(1, 2, 3), 2);
    EXPECT_FLOAT_EQ(6, result.z);
    divide(result, Vector3(2, 4, 8), 4);
    EXPECT_FLOAT_EQ(0.5f, result.x);
    EXPECT_FLOAT_EQ(1, result.y);
    EXPECT_FLOAT_EQ(2, result.z);
}

// ---- Matrices ------------------------------------------------------------------------------

TEST(MatrixTranslation, PutsTheOffsetInColumnThree) {
    Matrix4 t(9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9);
    translation(t, Vector3(1, 2, 3));
    EXPECT_EQ(1, t.m[12]);
    EXPECT_EQ(2, t.m[13]);
    EXPECT_EQ(3, t.m[14]);
    expectMatrixNear(Matrix4(1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1), t);
}

TEST(MatrixProduct, TranslationOnTheRightAddsRotatedOffset) {
    // A: a 3x3 part and its own translation (10, 20, 30).
    Matrix4 a(1, 2, 3, 10, 4, 5, 6, 20, 7, 8, 9, 30, 0, 0, 0, 1);
    Matrix4 t;
    translation(t, Vector3(1, 1, 2));
    Matrix4 result;
    product(result, a, t);
    expectMatrixNear(Matrix4(1, 2, 3, 10 + 1 + 2 + 6, 4, 5, 6, 20 + 4 + 5 + 12, 7, 8, 9,
                             30 + 7 + 8 + 18, 0, 0, 0, 1),
                     result);
}

TEST(MatrixProduct, AppliesTheRightOperandFirst) {
    Matrix4 t, r, result;
    translation(t, Vector3(5, 0, 0));
    Quaternion(std::cos(kPi / 4), 0, 0, std::sin(kPi / 4)).toMatrix(r);
    product(result, r, t); // translate, then rotate 90 degrees about z
    float out[4];
    transform(result, 0, 0, 0, out);
    EXPECT_NEAR(0, out[0], 1e-5);
    EXPECT_NEAR(5, out[1], 1e-5);
    Matrix4 turned = r; // a camera turned, then moved: m *= t
    turned *= t;
    expectMatrixNear(result, turned);
}

TEST(MatrixProduct, IgnoresBottomRowsOfBothOperands) {
    Matrix4 a(1, 0, 0, 2, 0, 1, 0, 3, 0, 0, 1, 4, 1, 1, 1, 1);
    Matrix4 b(2, 0, 0, 1, 0, 2, 0, 1, 0, 0, 2, 1, 7, 7, 7, 7);
    Matrix4 result;
    product(result, a, b);
    // B's bottom row counts as (0, 0, 0, 1), A's bottom row plays no part.
    expectMatrixNear(Matrix4(2, 0, 0, 3, 0, 2, 0, 4, 0, 0, 2, 5, 0, 0, 0, 1), result);
}

TEST(MatrixProduct, ResultMayBeAnOperand) {
    Matrix4 a(1, 2, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3, 0, 0, 0, 1);
    Matrix4 expected;
    product(expected, a, a);
    Matrix4 left = a;
    product(left, left, a);
    expectMatrixNear(expected, left);
    Matrix4 right = a;
    product(right, a, right);
    expectMatrixNear(expected, right);
    Matrix4 self = a;
    self *= self;
    expectMatrixNear(expected, self);
    expectMatrixNear(Matrix4(1, 4, 0, 6, 0, 1, 0, 4, 0, 0, 1, 6, 0, 0, 0, 1), expected);
}

// ---- Quaternions -----------------------------------------------------------------------------

TEST(QuaternionRotation, IdentityGivesIdentityMatrix) {
    Matrix4 m(5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5);
    Quaternion().toMatrix(m);
    expectMatrixNear(Matrix4(), m);
}

TEST(QuaternionRotation, QuarterTurnAboutZ) {
    const float half = kPi / 4;
    Matrix4 m;
    Quaternion(std::cos(half), 0, 0, std::sin(half)).toMatrix(m);
    expectMatrixNear(Matrix4(0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1), m, 1e-6f);
}

TEST(QuaternionRotation, IsNotNormalisedFirst) {
    Matrix4 m;
    Quaternion(0, 0, 0, 2).toMatrix(m);
    EXPECT_FLOAT_EQ(1 - 2 * 4, m.at(0, 0));
    EXPECT_FLOAT_EQ(1 - 2 * 4, m.at(1, 1));
    EXPECT_FLOAT_EQ(1, m.at(2, 2));
}

// ---- Camera ----------------------------------------------------------------------------------

TEST(CameraView, InitialPoseGivesIdentityAndRightAxis) {
    OrthoCamera camera;
    camera.view = Matrix4(3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3);
    camera.updateView();
    expectMatrixNear(Matrix4(), camera.view);
    EXPECT_FLOAT_EQ(1, camera.right.x);
    EXPECT_FLOAT_EQ(0, camera.right.y);
    EXPECT_FLOAT_EQ(0, camera.right.z);
}

TEST(CameraView, PositionMovesTheWorldTheOtherWay) {
    OrthoCamera camera;
    camera.position = Vector3(10, 20, 30);
    camera.updateView();
    EXPECT_FLOAT_EQ(-10, camera.view.m[12]);
    EXPECT_FLOAT_EQ(-20, camera.view.m[13]);
    EXPECT_FLOAT_EQ(-30, camera.view.m[14]);
}

TEST(CameraView, OrientationIsUndoneByTheView) {
    OrthoCamera camera;
    const float half = kPi / 4;
    camera.orientation = Quaternion(std::cos(half), 0, 0, std::sin(half));
    camera.updateView();
    // The camera turned 90 degrees about z, so the world's x axis appears along -y.
    float out[4];
    transform(camera.view, 1, 0, 0, out);
    EXPECT_NEAR(0, out[0], 1e-6);
    EXPECT_NEAR(-1, out[1], 1e-6);
}

TEST(CameraView, ForwardIsNormalisedAndRightDividedByUpLength) {
    OrthoCamera camera;
    camera.forward = Vector3(0, 0, 5);
    camera.up = Vector3(0, 1, 1); // not perpendicular to forward, length sqrt(2)
    camera.updateView();
    EXPECT_FLOAT_EQ(1, camera.forward.z);
    // up x forward = (1, 0, 0), divided by |up| rather than by its own length.
    EXPECT_NEAR(1 / std::sqrt(2.0f), camera.right.x, 1e-6);
    EXPECT_NEAR(1 / std::sqrt(2.0f), camera.up.y, 1e-6);
    EXPECT_NEAR(0, camera.up.z, 1e-6);
    EXPECT_NEAR(1 / std::sqrt(2.0f), camera.view.at(0, 0), 1e-6);
}

TEST(CameraProjection, ScreenCornersMapToClipSpace) {
    OrthoCamera camera = screenCamera(1024, 768);
    float out[4];
    transform(camera.projection, 0, 0, 0, out);
    EXPECT_FLOAT_EQ(-1, out[0]);
    EXPECT_FLOAT_EQ(1, out[1]);
    EXPECT_FLOAT_EQ(0, out[2]);
    EXPECT_FLOAT_EQ(1, out[3]);
    transform(camera.projection, 1024, 768, 0, out);
    EXPECT_FLOAT_EQ(1, out[0]);
    EXPECT_FLOAT_EQ(-1, out[1]);
    transform(camera.projection, 512, 384, 0, out);
    EXPECT_NEAR(0, out[0], 1e-6);
    EXPECT_NEAR(0, out[1], 1e-6);
    transform(camera.projection, 0, 0, 0.5f, out);
    EXPECT_FLOAT_EQ(-0.5f, out[2]);
}

TEST(CameraProjection, ColumnMajorEntriesForTheScreen) {
    OrthoCamera camera = screenCamera(1024, 768);
    const float expected[16] = {2.0f / 1024, 0, 0,  0, 0,  -2.0f / 768, 0, 0,
                                0,           0, -1, 0, -1, 1,           0, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(expected[i], camera.projection.m[i]) << "entry " << i;
    expectMatrixNear(Matrix4(), camera.view);
}

TEST(CameraProjection, OffCentreBoxMatchesGlOrtho) {
    OrthoCamera camera;
    camera.minCorner = Vector3(-2, 1, 0.5f);
    camera.maxCorner = Vector3(6, 5, 10.5f);
    camera.updateProjection();
    expectMatrixNear(Matrix4(2.0f / 8, 0, 0, -4.0f / 8, 0, 2.0f / 4, 0, -6.0f / 4, 0, 0, -2.0f / 10,
                             -11.0f / 10, 0, 0, 0, 1),
                     camera.projection);
}

namespace {
struct CountingCamera : OrthoCamera {
    int viewUpdates = 0;
    void updateView() override {
        ++viewUpdates;
        OrthoCamera::updateView();
    }
};
} // namespace

TEST(CameraProjection, RebuildsTheViewThroughTheVirtualInterface) {
    CountingCamera camera;
    camera.updateProjection();
    EXPECT_EQ(1, camera.viewUpdates);
    EXPECT_FLOAT_EQ(1, camera.right.x);
}
