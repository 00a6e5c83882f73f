// The camera's view and projection matrices and their loading into OpenGL.
#include "graphics/Camera.h"

#include "platform/platform.h"

void Camera::updateView() {
    forward.normalize();
    // Divided by up's length rather than the cross product's own: with up perpendicular to
    // forward (the only pose this engine uses) both are the same.
    Vector3 side;
    divide(right, cross(side, up, forward), up.length());
    cross(up, forward, right);

    view = Matrix4(right.x, up.x, forward.x, 0, right.y, up.y, forward.y, 0, right.z, up.z,
                   forward.z, 0, 0, 0, 0, 1);
    Quaternion inverse;
    Matrix4 rotation;
    view *= conjugate(inverse, orientation).toMatrix(rotation);
    Vector3 back;
    Matrix4 shift;
    view *= translation(shift, negate(back, position));
}

void Camera::apply() const {
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection.m);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(view.m);
}

void OrthoCamera::updateProjection() {
    const float l = minCorner.x, b = minCorner.y, n = minCorner.z;
    const float r = maxCorner.x, t = maxCorner.y, f = maxCorner.z;
    const float dx = r - l, dy = t - b, dz = f - n;
    projection = Matrix4(2 / dx, 0, 0, -(l + r) / dx, 0, 2 / dy, 0, -(b + t) / dy, 0, 0, -2 / dz,
                         -(n + f) / dz, 0, 0, 0, 1);
    updateView();
}
