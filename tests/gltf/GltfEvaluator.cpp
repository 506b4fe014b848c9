#include "tests/gltf/GltfEvaluator.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <map>

#include "tests/support/TempDir.h"

namespace qx::test {

namespace {

using Mat = std::array<double, 16>;  // column-major, as glTF stores matrices
constexpr Mat Identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Mat multiply(const Mat& a, const Mat& b) {
    Mat r{};
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k) r[c * 4 + row] += a[k * 4 + row] * b[c * 4 + k];
    return r;
}

// translation x rotation x scale, the rotation a unit quaternion as glTF 2.0 stores it (x, y, z, w).
Mat trs(const std::vector<double>& t, const std::vector<double>& q, const std::vector<double>& s) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    const Mat r{1 - 2 * (y * y + z * z),
                2 * (x * y + z * w),
                2 * (x * z - y * w),
                0,
                2 * (x * y - z * w),
                1 - 2 * (x * x + z * z),
                2 * (y * z + x * w),
                0,
                2 * (x * z + y * w),
                2 * (y * z - x * w),
                1 - 2 * (x * x + y * y),
                0,
                t[0],
                t[1],
                t[2],
                1};
    return multiply(r, Mat{s[0], 0, 0, 0, 0, s[1], 0, 0, 0, 0, s[2], 0, 0, 0, 0, 1});
}

Point transform(const Mat& m, const Point& p) {
    Point r{};
    for (int row = 0; row < 3; ++row) r[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
    return r;
}

std::vector<double> slerp(std::vector<double> a, std::vector<double> b, double f) {
    double d = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
    if (d < 0) {
        for (double& c : b) c = -c;
        d = -d;
    }
    double wa = 1 - f, wb = f;
    if (d < 0.9999999) {
        const double angle = std::acos(d);
        wa = std::sin((1 - f) * angle) / std::sin(angle);
        wb = std::sin(f * angle) / std::sin(angle);
    }
    for (int i = 0; i < 4; ++i) a[i] = wa * a[i] + wb * b[i];
    return a;
}

std::uint32_t u32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    std::uint32_t v = 0;
    if (at + 4 <= bytes.size()) std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

}  // namespace

bool GltfEvaluator::read(const std::string& path, std::string* reason) {
    const std::vector<std::uint8_t> file = readBytes(path);
    const std::uint32_t jsonLength = u32At(file, 12);
    if (u32At(file, 0) != 0x46546C67 || u32At(file, 8) != file.size() || 20 + jsonLength + 8 > file.size()) {
        *reason = "not a glb";
        return false;
    }
    doc = nlohmann::json::parse(file.begin() + 20, file.begin() + 20 + jsonLength);
    bin.assign(file.begin() + 28 + jsonLength, file.begin() + 28 + jsonLength + u32At(file, 20 + jsonLength));
    return true;
}

int GltfEvaluator::animation(const std::string& name) const {
    for (std::size_t i = 0; i < doc.value("animations", nlohmann::json::array()).size(); ++i)
        if (doc["animations"][i]["name"] == name) return static_cast<int>(i);
    return -1;
}

const std::vector<double>& GltfEvaluator::numbers(int index) const {
    if (const auto found = read_.find(index); found != read_.end()) return found->second;
    const auto& accessor = doc["accessors"][index];
    const auto& view = doc["bufferViews"][accessor["bufferView"].get<int>()];
    static const std::map<std::string, int> Widths{{"SCALAR", 1}, {"VEC2", 2}, {"VEC3", 3}, {"VEC4", 4}, {"MAT4", 16}};
    const std::size_t count = accessor["count"].get<std::size_t>() * Widths.at(accessor["type"]);
    const std::uint8_t* at = bin.data() + view.value("byteOffset", 0) + accessor.value("byteOffset", 0);
    std::vector<double> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        switch (accessor["componentType"].get<int>()) {
            case 5126: {
                float f;
                std::memcpy(&f, at + 4 * i, 4);
                out[i] = f;
                break;
            }
            case 5125: {
                std::uint32_t u;
                std::memcpy(&u, at + 4 * i, 4);
                out[i] = u;
                break;
            }
            case 5123: {
                std::uint16_t u;
                std::memcpy(&u, at + 2 * i, 2);
                out[i] = u;
                break;
            }
            default:
                out[i] = at[i];
        }
    }
    return read_[index] = std::move(out);
}

std::vector<EvaluatedVertex> GltfEvaluator::evaluate(int animation, double t) const {
    const auto& nodes = doc["nodes"];
    // Each node's translation, rotation, scale and weights: as stored, then as animated.
    std::vector<std::map<std::string, std::vector<double>>> state(nodes.size());
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        state[n] = {{"translation", nodes[n].value("translation", std::vector<double>{0, 0, 0})},
                    {"rotation", nodes[n].value("rotation", std::vector<double>{0, 0, 0, 1})},
                    {"scale", nodes[n].value("scale", std::vector<double>{1, 1, 1})}};
        if (nodes[n].contains("mesh")) {
            const auto& mesh = doc["meshes"][nodes[n]["mesh"].get<int>()];
            const std::size_t targets = mesh["primitives"][0].value("targets", nlohmann::json::array()).size();
            state[n]["weights"] = mesh.value("weights", std::vector<double>(targets, 0.0));
        }
    }
    if (animation >= 0) {
        const auto& a = doc["animations"][animation];
        for (const auto& channel : a["channels"]) {
            const auto& sampler = a["samplers"][channel["sampler"].get<int>()];
            const std::vector<double>& times = numbers(sampler["input"]);
            const std::vector<double>& values = numbers(sampler["output"]);
            const std::size_t width = values.size() / times.size();
            std::size_t k = 0;
            while (k + 1 < times.size() && times[k + 1] <= t) ++k;
            const double f = k + 1 < times.size() && t > times[k] ? (t - times[k]) / (times[k + 1] - times[k]) : 0.0;
            const std::size_t next = k + 1 < times.size() ? k + 1 : k;
            std::vector<double> a0(values.begin() + k * width, values.begin() + (k + 1) * width);
            std::vector<double> a1(values.begin() + next * width, values.begin() + (next + 1) * width);
            const std::string path = channel["target"]["path"];
            if (path == "rotation") {
                a0 = slerp(a0, a1, f);
            } else {
                for (std::size_t i = 0; i < width; ++i) a0[i] += f * (a1[i] - a0[i]);
            }
            state[channel["target"]["node"].get<std::size_t>()][path] = a0;
        }
    }
    std::vector<Mat> world(nodes.size(), Identity);
    std::vector<std::size_t> shown;  // the scene's nodes, parents first
    const std::function<void(std::size_t, const Mat&)> place = [&](std::size_t n, const Mat& parent) {
        shown.push_back(n);
        Mat local = trs(state[n]["translation"], state[n]["rotation"], state[n]["scale"]);
        if (nodes[n].contains("matrix")) local = nodes[n]["matrix"].get<Mat>();
        world[n] = multiply(parent, local);
        for (const auto& child : nodes[n].value("children", std::vector<std::size_t>{})) place(child, world[n]);
    };
    const auto& roots = doc["scenes"][doc.value("scene", 0)]["nodes"];
    for (const auto& root : roots) place(root.get<std::size_t>(), Identity);

    std::vector<EvaluatedVertex> out;
    for (const std::size_t index : shown) {
        const auto& node = nodes[index];
        if (!node.contains("mesh")) continue;
        std::vector<Mat> skin;
        if (node.contains("skin")) {
            const auto& s = doc["skins"][node["skin"].get<int>()];
            const std::vector<double>& ibm = numbers(s["inverseBindMatrices"]);
            for (std::size_t j = 0; j < s["joints"].size(); ++j) {
                Mat inverse;
                std::copy(ibm.begin() + 16 * j, ibm.begin() + 16 * (j + 1), inverse.begin());
                skin.push_back(multiply(world[s["joints"][j].get<std::size_t>()], inverse));
            }
        }
        const std::vector<double>& weights = state[index]["weights"];
        std::map<int, bool> seen;  // primitives may share their vertices
        for (const auto& primitive : doc["meshes"][node["mesh"].get<int>()]["primitives"]) {
            const int positions = primitive["attributes"]["POSITION"];
            if (seen[positions]) continue;
            seen[positions] = true;
            const std::vector<double>& p = numbers(positions);
            std::vector<double> moved = p;
            for (std::size_t i = 0; i < weights.size(); ++i) {
                const std::vector<double>& d = numbers(primitive["targets"][i]["POSITION"]);
                for (std::size_t c = 0; c < p.size(); ++c) moved[c] += weights[i] * d[c];
            }
            std::vector<double> joints, jointWeights;
            if (!skin.empty()) {
                joints = numbers(primitive["attributes"]["JOINTS_0"]);
                jointWeights = numbers(primitive["attributes"]["WEIGHTS_0"]);
            }
            for (std::size_t v = 0; v < p.size() / 3; ++v) {
                const Point at{moved[3 * v], moved[3 * v + 1], moved[3 * v + 2]};
                Point posed = transform(world[index], at);
                if (!skin.empty()) {
                    posed = {0, 0, 0};
                    for (int k = 0; k < 4; ++k) {
                        const Point q = transform(skin[static_cast<std::size_t>(joints[4 * v + k])], at);
                        for (int c = 0; c < 3; ++c) posed[c] += jointWeights[4 * v + k] * q[c];
                    }
                }
                out.push_back({{p[3 * v], p[3 * v + 1], p[3 * v + 2]}, posed});
            }
        }
    }
    return out;
}

}  // namespace qx::test
