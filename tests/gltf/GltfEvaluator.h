#pragma once
// A small glTF 2.0 reader and evaluator of the tests' own, written from the format alone
// and independent of the exporter: it reads a .glb, plays one animation at a time (linear
// translation, scale and weights; spherical linear rotation) and returns every vertex of the
// scene's meshes skinned and morphed, in double precision.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace qx::test {

using Point = std::array<double, 3>;

struct EvaluatedVertex {
    Point rest;   // the POSITION attribute as stored
    Point posed;  // where the animation puts it
};

class GltfEvaluator {
public:
    // Reads a .glb; false with a reason when it is not one.
    bool read(const std::string& path, std::string* reason);

    // The index of the animation of that name, -1 when none.
    int animation(const std::string& name) const;
    // Every vertex of every mesh in the scene at time t of the animation (-1: none playing).
    std::vector<EvaluatedVertex> evaluate(int animation, double t) const;

    // Every component of an accessor, as stored.
    const std::vector<double>& numbers(int accessor) const;

    nlohmann::json doc;
    std::vector<std::uint8_t> bin;

private:
    mutable std::map<int, std::vector<double>> read_;  // accessors read so far
};

}  // namespace qx::test
