#include "import/GltfAnimation.h"

#include <algorithm>
#include <cmath>

#include "import/GltfAccessors.h"

namespace qx {

namespace {

bool fail(std::string* reason, const std::string& text) {
    if (reason != nullptr) *reason = text;
    return false;
}

std::size_t targetCount(const tinygltf::Model& model, int node) {
    const int mesh = model.nodes[static_cast<std::size_t>(node)].mesh;
    if (mesh < 0 || static_cast<std::size_t>(mesh) >= model.meshes.size()) return 0;
    std::size_t count = 0;
    for (const tinygltf::Primitive& p : model.meshes[static_cast<std::size_t>(mesh)].primitives)
        count = std::max(count, p.targets.size());
    return count;
}

}  // namespace

const float* GltfCurve::keyValue(std::size_t k) const {
    const auto n = static_cast<std::size_t>(components);
    return interpolation == GltfInterpolation::CubicSpline ? values.data() + (3 * k + 1) * n : values.data() + k * n;
}

void GltfCurve::evaluate(double t, double* out) const {
    const auto n = static_cast<std::size_t>(components);
    const std::size_t keys = times.size();
    const auto copy = [&](std::size_t k) {
        const float* v = keyValue(k);
        for (std::size_t c = 0; c < n; ++c) out[c] = v[c];
    };
    if (keys == 0) return;
    if (t <= times.front()) return copy(0);
    if (t >= times.back()) return copy(keys - 1);
    const std::size_t b = static_cast<std::size_t>(std::upper_bound(times.begin(), times.end(), t) - times.begin());
    const std::size_t a = b - 1;
    const double span = static_cast<double>(times[b]) - times[a];
    const double s = (t - times[a]) / span;
    if (interpolation == GltfInterpolation::Step) return copy(a);
    if (interpolation == GltfInterpolation::Linear) {
        if (rotation) {
            GltfTrs pa, pb;
            std::copy_n(keyValue(a), 4, pa.rotation.begin());
            std::copy_n(keyValue(b), 4, pb.rotation.begin());
            const GltfTrs q = interpolate(pa, pb, s);
            for (std::size_t c = 0; c < 4; ++c) out[c] = q.rotation[c];
            return;
        }
        for (std::size_t c = 0; c < n; ++c) out[c] = keyValue(a)[c] + (keyValue(b)[c] - keyValue(a)[c]) * s;
        return;
    }
    const double s2 = s * s, s3 = s2 * s;
    const float* outTangent = values.data() + (3 * a + 2) * n;
    const float* inTangent = values.data() + (3 * b) * n;
    double length = 0.0;
    for (std::size_t c = 0; c < n; ++c) {
        out[c] = (2 * s3 - 3 * s2 + 1) * keyValue(a)[c] + span * (s3 - 2 * s2 + s) * outTangent[c] +
                 (-2 * s3 + 3 * s2) * keyValue(b)[c] + span * (s3 - s2) * inTangent[c];
        length += out[c] * out[c];
    }
    if (rotation && length > 0.0)
        for (std::size_t c = 0; c < n; ++c) out[c] /= std::sqrt(length);
}

GltfTrs GltfAnimation::poseAt(int node, const GltfTrs& rest, double t) const {
    GltfTrs pose = rest;
    const auto found = nodes.find(node);
    if (found == nodes.end()) return pose;
    double v[4];
    if (found->second.translation >= 0) {
        curves[static_cast<std::size_t>(found->second.translation)].evaluate(t, v);
        for (std::size_t c = 0; c < 3; ++c) pose.translation[c] = static_cast<float>(v[c]);
    }
    if (found->second.rotation >= 0) {
        curves[static_cast<std::size_t>(found->second.rotation)].evaluate(t, v);
        for (std::size_t c = 0; c < 4; ++c) pose.rotation[c] = static_cast<float>(v[c]);
    }
    if (found->second.scale >= 0) {
        curves[static_cast<std::size_t>(found->second.scale)].evaluate(t, v);
        for (std::size_t c = 0; c < 3; ++c) pose.scale[c] = static_cast<float>(v[c]);
    }
    return pose;
}

bool readGltfAnimation(const tinygltf::Model& model, std::size_t index, GltfAnimation& animation, std::string* reason) {
    const tinygltf::Animation& source = model.animations[index];
    const std::string what = "animation " + std::to_string(index);
    animation.name = source.name;
    animation.curves.reserve(source.channels.size());
    for (const tinygltf::AnimationChannel& channel : source.channels) {
        if (channel.target_node < 0) continue;  // an extension's target: nothing of a node moves
        if (static_cast<std::size_t>(channel.target_node) >= model.nodes.size())
            return fail(reason, what + " moves a node that does not exist");
        if (channel.sampler < 0 || static_cast<std::size_t>(channel.sampler) >= source.samplers.size())
            return fail(reason, what + " has a channel without a sampler");
        const tinygltf::AnimationSampler& sampler = source.samplers[static_cast<std::size_t>(channel.sampler)];
        GltfCurve curve;
        const std::string& path = channel.target_path;
        curve.rotation = path == "rotation";
        if (path == "translation" || path == "scale")
            curve.components = 3;
        else if (path == "rotation")
            curve.components = 4;
        else if (path == "weights")
            curve.components = static_cast<int>(targetCount(model, channel.target_node));
        else
            continue;  // "pointer" and the like: not a node's property
        if (sampler.interpolation == "STEP")
            curve.interpolation = GltfInterpolation::Step;
        else if (sampler.interpolation == "CUBICSPLINE")
            curve.interpolation = GltfInterpolation::CubicSpline;
        else if (sampler.interpolation == "LINEAR" || sampler.interpolation.empty())
            curve.interpolation = GltfInterpolation::Linear;
        else
            return fail(reason, what + " has an unknown interpolation \"" + sampler.interpolation + "\"");
        if (!readAccessorFloats(model, sampler.input, 1, curve.times, reason)) return false;
        if (curve.components == 0) continue;  // weights of a mesh without targets
        std::vector<float> flat;
        const std::size_t perKey = static_cast<std::size_t>(curve.components) *
                                   (curve.interpolation == GltfInterpolation::CubicSpline ? 3 : 1);
        const int outputComponents = path == "weights" ? 1 : curve.components;
        if (!readAccessorFloats(model, sampler.output, outputComponents, flat, reason)) return false;
        if (curve.times.empty() || flat.size() != curve.times.size() * perKey)
            return fail(reason, what + ": a sampler's output does not match its key times in count");
        for (std::size_t k = 0; k < curve.times.size(); ++k)
            if (curve.times[k] < 0.0f || (k > 0 && !(curve.times[k - 1] < curve.times[k])))
                return fail(reason, what + ": key times are negative or do not ascend");
        curve.values = std::move(flat);
        if (curve.rotation)
            for (std::size_t k = 0; k < curve.times.size(); ++k) {
                float* q = curve.values.data() + (curve.keyValue(k) - curve.values.data());
                const double length =
                    std::sqrt(double{q[0]} * q[0] + double{q[1]} * q[1] + double{q[2]} * q[2] + double{q[3]} * q[3]);
                if (!(length > 0.0)) return fail(reason, what + ": a rotation key is zero");
                for (int c = 0; c < 4; ++c) q[c] = static_cast<float>(q[c] / length);
            }
        animation.duration = std::max(animation.duration, curve.times.back());
        GltfNodeCurves& node = animation.nodes[channel.target_node];
        int& slot = path == "translation" ? node.translation
                    : path == "rotation"  ? node.rotation
                    : path == "scale"     ? node.scale
                                          : node.weights;
        slot = static_cast<int>(animation.curves.size());
        animation.curves.push_back(std::move(curve));
    }
    return true;
}

}  // namespace qx
