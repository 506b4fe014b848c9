#include "animation/PoseBlending.h"

namespace qx {

namespace {

Vector3 towards(const Vector3& from, const Vector3& to, float f) { return from + (to - from) * f; }

}  // namespace

void blendIntoMean(Pose& acc, const Pose& p, float w) {
    float added = w;
    if (acc.saturated) {
        if (acc.weight == 1.0f) return;
        added = 1.0f - acc.weight;
    }
    if (acc.weight == 0.0f) {
        acc.translation = p.translation;
        acc.scale = p.scale;
        acc.rotation = p.rotation;
        acc.weight = added;
        return;
    }
    acc.weight = acc.weight + added;
    const float f = added / acc.weight;
    acc.translation = towards(acc.translation, p.translation, f);
    acc.scale = towards(acc.scale, p.scale, f);
    acc.rotation = slerp(acc.rotation, p.rotation, f);
}

void fillTowardsIdentity(Pose& acc) {
    const float f = 1.0f - acc.weight;
    acc.translation = towards(acc.translation, ZeroVector, f);
    acc.scale = towards(acc.scale, Vector3{1.0f, 1.0f, 1.0f}, f);
    acc.rotation = slerp(acc.rotation, IdentityQuaternion, f);
    acc.weight = 1.0f;
}

}  // namespace qx
