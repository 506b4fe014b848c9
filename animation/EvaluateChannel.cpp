#include "animation/EvaluateChannel.h"

#include <cmath>

namespace qx {

namespace {

constexpr float NewtonTolerance = 0.0001f;
constexpr float AcceptTolerance = 0.001f;
// Newton steps normally converge in a handful; a segment whose handles make the step stall
// (an infinite or NaN slope) would otherwise loop forever.
constexpr int MaxNewtonSteps = 64;
// The march takes 1000 steps a second of segment. Capping it bounds the work a hostile file
// can ask for; only segments longer than 1000 s lose resolution.
constexpr float MaxMarchSteps = 1000000.0f;

struct Cubic {
    float c0, c1, c2, c3;  // c0 + s*(c1 + s*(c2 + s*c3))
    float at(float s) const { return c0 + s * (c1 + s * (c2 + s * c3)); }
    float slope(float s) const { return c1 + s * (3.0f * c3 * s + 2.0f * c2); }
};

Cubic hermite(float p0, float p1, float m0, float m1) {
    const float k3 = m0 + 2.0f * p0 - 2.0f * p1 + m1;
    const float k2 = 3.0f * p1 - 3.0f * p0 - 2.0f * m0 - m1;
    return {p0, m0, k2, k3};
}

float march(const Cubic& time, float t, float span) {
    const float steps = span * 1000.0f;
    if (!(steps >= 1.0f)) return 0.0f;
    const int n = static_cast<int>(steps < MaxMarchSteps ? steps : MaxMarchSteps);
    const float h = 1.0f / static_cast<float>(n);
    // Forward differences of the cubic at spacing h.
    float value = time.c0;
    float d1 = time.c1 * h + time.c2 * h * h + time.c3 * h * h * h;
    float d2 = 2.0f * time.c2 * h * h + 6.0f * time.c3 * h * h * h;
    const float d3 = 6.0f * time.c3 * h * h * h;
    int taken = 0;
    while (taken < n && !(std::fabs(t - value) <= AcceptTolerance)) {
        value += d1;
        d1 += d2;
        d2 += d3;
        ++taken;
    }
    return static_cast<float>(taken) * h;
}

float solveCurveParameter(const Cubic& time, float t, float t0, float t1) {
    float s = (t - t0) / (t1 - t0);
    float u = t - time.at(s);
    float error = std::fabs(u);
    if (!(error > NewtonTolerance)) return s;
    for (int step = 0; step < MaxNewtonSteps; ++step) {
        s = s + u / time.slope(s);
        u = t - time.at(s);
        const float previous = error;
        error = std::fabs(u);
        if (error <= NewtonTolerance) return s;
        if (error > previous || std::isnan(error)) {
            if (error <= AcceptTolerance) return s;
            return march(time, t, t1 - t0);
        }
    }
    return march(time, t, t1 - t0);
}

}  // namespace

float interpolateSegment(const MotionKey& a, const MotionKey& b, float t) {
    switch (interpolationKind(a.flags)) {
        case HoldKind:
            return a.value;
        case LinearKind:
            return a.value + (t - a.time) / (b.time - a.time) * (b.value - a.value);
        default: {
            const Cubic time = hermite(a.time, b.time, -a.outHandle.time, -b.inHandle.time);
            const Cubic value = hermite(a.value, b.value, -a.outHandle.value, -b.inHandle.value);
            return value.at(solveCurveParameter(time, t, a.time, b.time));
        }
    }
}

float evaluateChannel(ChannelCursor& cursor, const MotionChannel& channel, float t) {
    const auto& keys = channel.keys;
    const auto n = static_cast<std::int32_t>(keys.size());
    if (n == 0) return 0.0f;
    if (t >= keys[n - 1].time) return keys[n - 1].value;
    if (t <= keys[0].time) return keys[0].value;
    if (cursor.evaluated && t == cursor.time) return cursor.value;

    std::int32_t i = cursor.keyIndex;
    if (i < 0 || i >= n) i = 0;
    // Falls back to the clamped ends only when key times are NaN, where no test can succeed.
    float result = keys[n - 1].value;
    if (t >= keys[i].time) {
        for (; i < n - 1; ++i) {
            if (keys[i].time == t) { result = keys[i].value; break; }
            if (keys[i + 1].time == t) { result = keys[i + 1].value; break; }
            if (t < keys[i + 1].time) { result = interpolateSegment(keys[i], keys[i + 1], t); break; }
        }
        if (i >= n - 1) i = n - 1;
    } else {
        result = keys[0].value;
        std::int32_t j = i - 1;
        for (; j >= 0; --j) {
            if (keys[j].time == t) { result = keys[j].value; break; }
            if (keys[j + 1].time == t) { result = keys[j + 1].value; break; }
            if (keys[j].time < t) { result = interpolateSegment(keys[j], keys[j + 1], t); break; }
        }
        i = j < 0 ? 0 : j;
    }
    cursor.keyIndex = i;
    cursor.time = t;
    cursor.value = result;
    cursor.evaluated = true;
    return result;
}

}  // namespace qx
