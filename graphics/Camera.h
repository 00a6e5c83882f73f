// The camera that turns the screen into the scene's drawing space: a pose (position, basis,
// orientation) with a projection and a view matrix that apply() loads into OpenGL.
// OrthoCamera builds an orthographic projection between two corner points.
#pragma once

#include "graphics/Math.h"

class Camera {
public:
    Vector3 position;         // (0, 0, 0)
    Vector3 right;            // rebuilt by updateView
    Vector3 up{0, 1, 0};      // re-orthogonalised by updateView
    Vector3 forward{0, 0, 1}; // normalised by updateView
    Quaternion orientation;   // identity rotation
    Matrix4 projection;       // loaded into GL_PROJECTION
    Matrix4 view;             // loaded into GL_MODELVIEW

    virtual ~Camera() = default;
    // Rebuilds projection, then calls updateView.
    virtual void updateProjection() = 0;
    // Rebuilds the basis from forward and up, then view from the basis, orientation and position.
    virtual void updateView();
    // Loads projection and view; leaves the matrix mode at GL_MODELVIEW for the drawing after it.
    void apply() const;
};

class OrthoCamera : public Camera {
public:
    Vector3 minCorner{-1, -1, -1}; // (left, bottom, near)
    Vector3 maxCorner{1, 1, 1};    // (right, top, far)

    // The glOrtho matrix of the two corners; equal corners in any coordinate give infinities.
    void updateProjection() override;
};
