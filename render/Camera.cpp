#include "render/Camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "math/Trig.h"
#include "skeletal/SkeletalModel.h"
#include "vertex/VertexModel.h"

namespace qx {

namespace {

// Minimum and maximum per axis, starting from the first position.
template <typename Items, typename Position>
void measure(Camera& camera, const Items& items, Position position) {
    if (items.empty()) {
        camera.extent = {1.0f, 1.0f, 1.0f};
        camera.centre = ZeroVector;
        return;
    }
    Vector3 low = position(items.front());
    Vector3 high = low;
    for (const auto& item : items) {
        const Vector3& p = position(item);
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    camera.extent = high - low;
    camera.centre = (low + high) * 0.5f;
}

}  // namespace

void measureBox(Camera& camera, const std::vector<Vector3>& positions) {
    measure(camera, positions, [](const Vector3& p) -> const Vector3& { return p; });
}

void measureModel(Camera& camera, const SkeletalModel& model) {
    if (model.meshes().empty()) {
        measureBox(camera, {});
        return;
    }
    measureBox(camera, model.meshes().front()->positions);
}

void measureModel(Camera& camera, const VertexModel& model) {
    if (model.frames.empty()) {
        measureBox(camera, {});
        return;
    }
    measure(camera, model.frames.front().vertices, [](const FrameVertex& v) -> const Vector3& { return v.position; });
}

void fitCamera(Camera& camera) {
    Vector3& extent = camera.extent;
    if (camera.width > 0.0f && camera.height > 0.0f && camera.width / camera.height < extent.x / extent.y)
        extent.y = extent.x * (camera.height / camera.width);
    if (!(extent.y > 0.0f)) extent.y = extent.z > 0.0f ? extent.z : 1.0f;

    const float distance = extent.y / (2.0f * static_cast<float>(std::tan(camera.fieldOfView * DegreeFactor * 0.5f)));
    camera.translation.z = -distance - extent.z;
    camera.translation = camera.translation - camera.centre;

    camera.nearClip = extent.z * 0.1f;
    if (!(camera.nearClip > 0.0f)) camera.nearClip = distance * 0.1f;
    camera.farClip = camera.nearClip * 1000.0f;
}

void applyProjection(const Camera& camera, float pixelRatio) {
    const int width = static_cast<int>(camera.width);
    int height = static_cast<int>(camera.height);
    if (height == 0) height = 1;
    glViewport(0, 0, static_cast<int>(static_cast<float>(width) * pixelRatio),
               static_cast<int>(static_cast<float>(height) * pixelRatio));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(camera.fieldOfView, static_cast<double>(width) / height, camera.nearClip, camera.farClip);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void applyCameraTransform(const Camera& camera) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(camera.translation.x, camera.translation.y, camera.translation.z);
    glRotatef(camera.rotationZ, 0.0f, 0.0f, 1.0f);
    glRotatef(camera.rotationX, 1.0f, 0.0f, 0.0f);
    glRotatef(camera.rotationY, 0.0f, 1.0f, 0.0f);
}

bool isNoTurn(const CameraTurn& turn) {
    return std::fmod(turn.yaw, 360.0) == 0.0 && std::fmod(turn.pitch, 360.0) == 0.0 && turn.distance == 1.0;
}

void applyCameraTransform(const Camera& camera, const CameraTurn& turn) {
    if (isNoTurn(turn)) {
        applyCameraTransform(camera);
        return;
    }
    // Where the centre stands in eye space; the camera's own turn is then applied about the
    // model's origin, as the view's mouse turns it.
    const Vector3 eye = camera.translation + camera.centre;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(eye.x, eye.y, eye.z * static_cast<float>(turn.distance));
    glRotatef(static_cast<float>(std::fmod(turn.pitch, 360.0)), 1.0f, 0.0f, 0.0f);
    glRotatef(static_cast<float>(std::fmod(turn.yaw, 360.0)), 0.0f, 1.0f, 0.0f);
    glTranslatef(-camera.centre.x, -camera.centre.y, -camera.centre.z);
    glRotatef(camera.rotationZ, 0.0f, 0.0f, 1.0f);
    glRotatef(camera.rotationX, 1.0f, 0.0f, 0.0f);
    glRotatef(camera.rotationY, 0.0f, 1.0f, 0.0f);
}

}  // namespace qx
