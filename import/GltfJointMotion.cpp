#include "import/GltfJointMotion.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "animation/EvaluateChannel.h"
#include "skeletal/ComputeHandles.h"

namespace qx {

namespace {

using Value = std::array<double, 4>;

enum class Property { Translation, Rotation, Scale };

// The map of one property, and how far two of its values part where it matters.
struct PropertyMap {
    Property property;
    const JointMap& joint;
    const JointTolerance& tolerance;
    int components() const { return property == Property::Rotation ? 4 : 3; }

    Value operator()(const double* v) const {
        Value out{};
        const auto& r = joint.rest.rotation;  // x, y, z, w; its inverse is its conjugate
        if (property == Property::Rotation) {
            const double ax = -r[0], ay = -r[1], az = -r[2], aw = r[3];
            out = {aw * v[0] + ax * v[3] + ay * v[2] - az * v[1], aw * v[1] - ax * v[2] + ay * v[3] + az * v[0],
                   aw * v[2] + ax * v[1] - ay * v[0] + az * v[3], aw * v[3] - ax * v[0] - ay * v[1] - az * v[2]};
        } else if (property == Property::Scale) {
            for (std::size_t c = 0; c < 3; ++c) out[c] = v[c] / joint.restScale;
        } else {
            GltfTrs inverse;
            inverse.rotation = {-r[0], -r[1], -r[2], r[3]};
            const ColumnMatrix turn = matrixOf(inverse);
            const std::array<double, 3> d = {v[0] - joint.rest.translation[0], v[1] - joint.rest.translation[1],
                                             v[2] - joint.rest.translation[2]};
            const auto t = qx::apply(turn, d);
            for (std::size_t c = 0; c < 3; ++c) out[c] = t[c] * joint.translationFactor / joint.restScale;
        }
        return inBoneAxes(out);
    }

    // The pose P in the joint's axes as C^-1 x P x C, C turning the joint's axes into the bone's:
    // vectors (a translation, a rotation's axis) take their components from the renamed axes, a
    // rotation's angle and a scale's size stay.
    Value inBoneAxes(const Value& pose) const {
        const BoneAxes& axes = joint.axes;
        Value out = pose;
        for (std::size_t i = 0; i < 3; ++i) {
            const auto from = static_cast<std::size_t>(axes.axis[i]);
            out[i] = property == Property::Scale ? pose[from] : axes.sign[i] * pose[from];
        }
        return out;
    }

    double distance(const Value& a, const Value& b) const {
        if (property == Property::Rotation) {
            double d = 0.0, la = 0.0, lb = 0.0;
            for (std::size_t c = 0; c < 4; ++c) d += a[c] * b[c], la += a[c] * a[c], lb += b[c] * b[c];
            const double cosine = std::min(1.0, std::fabs(d) / std::sqrt(la * lb));
            return 2.0 * std::acos(cosine) * tolerance.reach;
        }
        double worst = 0.0;
        for (std::size_t c = 0; c < 3; ++c) worst = std::max(worst, std::fabs(a[c] - b[c]));
        return property == Property::Scale ? worst * tolerance.reach : worst * std::sqrt(3.0);
    }
};

struct Key {
    float time;
    Value value;
};

// Linear keys through the target, added where playback's straight line (normalised, for a
// rotation) parts from it.
class LinearKeys {
public:
    LinearKeys(const GltfCurve& curve, const PropertyMap& map, KeyBudget& budget)
        : curve_(curve), map_(map), budget_(budget) {}

    std::vector<Key> build() {
        std::vector<Key> keys;
        for (std::size_t k = 0; k < curve_.times.size(); ++k) {
            const Key key = at(curve_.times[k]);
            if (k > 0) refine(keys, keys.back(), key, 0);
            keys.push_back(key);
            align(keys);
        }
        return keys;
    }

private:
    Key at(float t) const {
        double v[4];
        curve_.evaluate(t, v);
        return {t, map_(v)};
    }

    // A rotation key in the hemisphere of the one before: the same rotation, reached the short way.
    void align(std::vector<Key>& keys) const {
        if (map_.property != Property::Rotation || keys.size() < 2) return;
        Value& q = keys.back().value;
        const Value& before = keys[keys.size() - 2].value;
        if (q[0] * before[0] + q[1] * before[1] + q[2] * before[2] + q[3] * before[3] < 0.0)
            for (double& c : q) c = -c;
    }

    bool strays(const Key& a, const Key& b) const {
        for (const double f : {0.093, 0.217, 0.358, 0.5, 0.637, 0.771, 0.904}) {
            const double t = a.time + (static_cast<double>(b.time) - a.time) * f;
            Value line{};
            for (std::size_t c = 0; c < 4; ++c) line[c] = a.value[c] + (b.value[c] - a.value[c]) * f;
            double exact[4];
            curve_.evaluate(t, exact);
            if (!(map_.distance(line, map_(exact)) <= map_.tolerance.tolerance)) return true;
        }
        return false;
    }

    void refine(std::vector<Key>& keys, Key a, const Key& b, int depth) {
        if (curve_.interpolation == GltfInterpolation::Step || !strays(a, b)) return;
        const float middle = a.time + (b.time - a.time) * 0.5f;
        if (depth >= 24 || budget_.left == 0 || !(middle > a.time && middle < b.time)) {
            budget_.exceeded = true;
            return;
        }
        --budget_.left;
        const Key m = at(middle);
        refine(keys, a, m, depth + 1);
        keys.push_back(m);
        align(keys);
        refine(keys, keys.back(), b, depth + 1);
    }

    const GltfCurve& curve_;
    const PropertyMap& map_;
    KeyBudget& budget_;
};

void fillChannels(MotionTrack& track, int firstChannel, int components, const std::vector<Key>& keys, int kind) {
    for (int c = 0; c < components; ++c) {
        MotionChannel& channel = track.channels[static_cast<std::size_t>(firstChannel + c)];
        channel.keys.clear();
        for (const Key& key : keys) {
            MotionKey k;
            k.time = key.time;
            k.value = static_cast<float>(key.value[static_cast<std::size_t>(c)]);
            k.flags = static_cast<std::uint8_t>((kind << 1) | KeyHandlesOmitted);
            channel.keys.push_back(k);
        }
        computeHandles(channel);
    }
}

// Whether playback of the channels (curve keys) follows the glTF curve within the tolerance.
bool curvesFollow(const MotionTrack& track, int firstChannel, const GltfCurve& curve, const PropertyMap& map) {
    const int components = map.components();
    for (std::size_t k = 0; k + 1 < curve.times.size(); ++k)
        for (const double f : {0.093, 0.217, 0.358, 0.5, 0.637, 0.771, 0.904}) {
            const float t = curve.times[k] + (curve.times[k + 1] - curve.times[k]) * static_cast<float>(f);
            Value played{};
            for (int c = 0; c < components; ++c) {
                const auto& keys = track.channels[static_cast<std::size_t>(firstChannel + c)].keys;
                played[static_cast<std::size_t>(c)] = interpolateSegment(keys[k], keys[k + 1], t);
            }
            double exact[4];
            curve.evaluate(t, exact);
            if (!(map.distance(played, map(exact)) <= map.tolerance.tolerance)) return false;
        }
    return true;
}

void convertProperty(const GltfCurve& curve, const PropertyMap& map, KeyBudget& budget, MotionTrack& track,
                     int firstChannel) {
    if (curve.interpolation == GltfInterpolation::CubicSpline) {
        std::vector<Key> keys;
        for (std::size_t k = 0; k < curve.times.size(); ++k) {
            double v[4];
            std::copy_n(curve.keyValue(k), map.components(), v);
            keys.push_back({curve.times[k], map(v)});
        }
        fillChannels(track, firstChannel, map.components(), keys, CurveKind);
        if (curvesFollow(track, firstChannel, curve, map)) return;
    }
    const int kind = curve.interpolation == GltfInterpolation::Step ? HoldKind : LinearKind;
    fillChannels(track, firstChannel, map.components(), LinearKeys(curve, map, budget).build(), kind);
}

}  // namespace

void convertJointCurves(const GltfAnimation& animation, const GltfNodeCurves& curves, const JointMap& map,
                        const JointTolerance& tolerance, KeyBudget& budget, MotionTrack& track) {
    const auto curve = [&](int index) -> const GltfCurve* {
        return index >= 0 ? &animation.curves[static_cast<std::size_t>(index)] : nullptr;
    };
    if (const GltfCurve* c = curve(curves.translation))
        convertProperty(*c, {Property::Translation, map, tolerance}, budget, track, TranslationX);
    if (const GltfCurve* c = curve(curves.rotation))
        convertProperty(*c, {Property::Rotation, map, tolerance}, budget, track, RotationX);
    if (const GltfCurve* c = curve(curves.scale))
        convertProperty(*c, {Property::Scale, map, tolerance}, budget, track, ScaleX);
}

}  // namespace qx
