#pragma once
// Exported vertices against played ones: where an export must put the model's vertices.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "tests/gltf/GltfEvaluator.h"

namespace qx::test {

// The diagonal of the box around the points.
inline double sizeOf(const std::vector<Point>& rest) {
    Point low = rest.front(), high = rest.front();
    for (const Point& p : rest)
        for (int c = 0; c < 3; ++c) low[c] = std::min(low[c], p[c]), high[c] = std::max(high[c], p[c]);
    return std::hypot(high[0] - low[0], high[1] - low[1], high[2] - low[2]);
}

// Each exported vertex against the played vertices resting where it rests (several vertices may
// share a rest place): the nearest must lie within 1e-4 of the model's size.
inline void expectPlayedAlike(const std::vector<EvaluatedVertex>& exported, const std::vector<Point>& rest,
                              const std::vector<Point>& played, const std::string& what) {
    ASSERT_FALSE(exported.empty()) << what;
    std::map<Point, std::vector<std::size_t>> atRest;
    for (std::size_t i = 0; i < rest.size(); ++i) atRest[rest[i]].push_back(i);
    const double tolerance = 1e-4 * sizeOf(rest);
    double worst = 0.0;
    for (const EvaluatedVertex& v : exported) {
        const auto found = atRest.find(v.rest);
        ASSERT_NE(found, atRest.end()) << what << ": an exported vertex rests where no model vertex does";
        double nearest = INFINITY;
        for (const std::size_t i : found->second)
            nearest = std::min(
                nearest, std::hypot(v.posed[0] - played[i][0], v.posed[1] - played[i][1], v.posed[2] - played[i][2]));
        worst = std::max(worst, nearest);
    }
    EXPECT_LE(worst, tolerance) << what;
}

}  // namespace qx::test
