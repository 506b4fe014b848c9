#pragma once
// The viewer's camera: a model turned about its own origin and pushed back along -z in front of
// a perspective projection, fitted so that the whole model shows when a window opens. The
// viewer's GL view and `qxtool render` share it, so that a snapshot shows what the window
// shows at first.
//
// Measuring and fitting are plain arithmetic; only the apply functions issue GL calls.

#include <vector>

#include "math/Vector3.h"

namespace qx {

class SkeletalModel;
class VertexModel;

struct Camera {
    float rotationX = 0.0f;  // degrees about x, y and z
    float rotationY = 0.0f;
    float rotationZ = 0.0f;
    float width = 0.0f;  // pixels, as the window last reported them
    float height = 0.0f;
    Vector3 extent;             // size of the model's bounding box per axis
    float fieldOfView = 45.0f;  // vertical, degrees
    float nearClip = 10.0f;
    float farClip = 10000.0f;
    Vector3 translation{0.0f, 0.0f, -200.0f};  // in eye space
    Vector3 centre;                            // centre of the model's bounding box
};

// Sets extent and centre from the bounding box of the positions. With no position there is no
// box: the extent becomes (1, 1, 1) around the origin, so that fitting still gives a usable
// projection.
void measureBox(Camera& camera, const std::vector<Vector3>& positions);
// The box the viewer frames: the rest positions of the model's first mesh.
void measureModel(Camera& camera, const SkeletalModel& model);
// The box the viewer frames: the positions of the model's first frame.
void measureModel(Camera& camera, const VertexModel& model);

// Moves the model back until its height fits the field of view (its width, when the window is
// relatively narrower than the model), centres it, and sets the clip distances from its depth:
// near a tenth of the depth, far a thousand times near. A model without depth (a flat one)
// takes near as a tenth of the viewing distance instead, since a zero near plane leaves no
// projection at all; one without height takes its depth, or 1, as its height. A zero width or
// height skips the width test. The window then applies the projection (applyProjection).
void fitCamera(Camera& camera);

// The window's projection: viewport over width x height (truncated; a zero height counts as 1
// for the viewport and the aspect), perspective from the field of view and clip distances,
// then the modelview matrix reset to the identity. On a screen with several device pixels per
// window pixel the viewport covers width x height times pixelRatio device pixels.
void applyProjection(const Camera& camera, float pixelRatio = 1.0f);
// The modelview matrix of a frame: identity, translated, then turned about z, x and y in this
// order (so a vertex turns about y first).
void applyCameraTransform(const Camera& camera);

// A turn of the camera about the model's centre, relative to where the camera stands: yaw
// degrees about the model's vertical (y) axis, then pitch degrees about the view's horizontal
// axis (positive looks down on the model), and the distance from the centre scaled by a factor.
// qxtool's --yaw, --pitch, --distance and --orbit and the viewer's turntable are such turns.
struct CameraTurn {
    double yaw = 0.0;
    double pitch = 0.0;
    double distance = 1.0;
};

// Whether the turn changes nothing: both angles whole turns and the distance as it is.
bool isNoTurn(const CameraTurn& turn);
// The camera's modelview matrix with the turn applied about the measured centre. No turn at all
// gives exactly the matrix of applyCameraTransform (so that --yaw 360 draws the same pixels as
// no option).
void applyCameraTransform(const Camera& camera, const CameraTurn& turn);

}  // namespace qx
