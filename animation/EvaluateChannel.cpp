#include "animation/EvaluateChannel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

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
            return linearValue(a.time, a.value, b.time, b.value - a.value, t);
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
            if (keys[i].time == t) {
                result = keys[i].value;
                break;
            }
            if (keys[i + 1].time == t) {
                result = keys[i + 1].value;
                break;
            }
            if (t < keys[i + 1].time) {
                result = interpolateSegment(keys[i], keys[i + 1], t);
                break;
            }
        }
        if (i >= n - 1) i = n - 1;
    } else {
        result = keys[0].value;
        std::int32_t j = i - 1;
        for (; j >= 0; --j) {
            if (keys[j].time == t) {
                result = keys[j].value;
                break;
            }
            if (keys[j + 1].time == t) {
                result = keys[j + 1].value;
                break;
            }
            if (keys[j].time < t) {
                result = interpolateSegment(keys[j], keys[j + 1], t);
                break;
            }
        }
        i = j < 0 ? 0 : j;
    }
    cursor.keyIndex = i;
    cursor.time = t;
    cursor.value = result;
    cursor.evaluated = true;
    return result;
}

bool keysAscend(const MotionChannel& channel) {
    const auto& keys = channel.keys;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (std::isnan(keys[i].time)) return false;
        if (i > 0 && !(keys[i - 1].time < keys[i].time)) return false;
    }
    return true;
}

namespace {

constexpr float Infinity = std::numeric_limits<float>::infinity();

void hold(ChannelSegment& s, float start, float end, float value) {
    s.start = start;
    s.end = end;
    s.startValue = value;
    s.valueStep = 0.0f;
    s.kind = HoldKind;
    s.lastKeyTime = -Infinity;
}

// The key i with keys[i].time <= t < keys[i + 1].time, for strictly ascending keys with
// keys[0].time < t < keys[n - 1].time, found from the hint: a step or two forward while
// playing, a bisection for a jump or a cycle starting over. Never leaves [0, n - 2].
std::size_t segmentAt(const std::vector<MotionKey>& keys, std::size_t hint, float t) {
    const auto later = [](float time, const MotionKey& key) { return time < key.time; };
    const std::size_t last = keys.size() - 1;
    std::size_t i = hint < last ? hint : last - 1;
    if (t < keys[i].time) {
        // keys[0].time < t, so at least key 0 lies at or before t.
        return static_cast<std::size_t>(std::upper_bound(keys.begin(), keys.begin() + i, t, later) - keys.begin()) - 1;
    }
    for (int step = 0; step < 2; ++step, ++i)
        if (t < keys[i + 1].time) return i;
    // t < keys[last].time, so the first key after t lies at or before the last.
    return static_cast<std::size_t>(std::upper_bound(keys.begin() + i, keys.end(), t, later) - keys.begin()) - 1;
}

}  // namespace

float searchForPlayback(ChannelCursor& cursor, ChannelSegment& piece, const MotionChannel& channel, float t,
                        float emptyValue) {
    const auto& keys = channel.keys;
    if (keys.empty()) {
        hold(piece, -Infinity, Infinity, emptyValue);
        return emptyValue;
    }
    if (!piece.ascending) return evaluateChannel(cursor, channel, t);
    const MotionKey& first = keys.front();
    const MotionKey& last = keys.back();
    if (t >= last.time) {
        hold(piece, last.time, Infinity, last.value);
        return last.value;
    }
    if (t <= first.time) {
        hold(piece, -Infinity, first.time, first.value);
        return first.value;
    }
    // Only a NaN time is left that is neither inside nor outside the keys; the plain search
    // gives it the first key's value.
    if (std::isnan(t)) return evaluateChannel(cursor, channel, t);

    const std::size_t i = segmentAt(keys, static_cast<std::size_t>(cursor.keyIndex), t);
    const MotionKey& a = keys[i];
    const MotionKey& b = keys[i + 1];
    const float result = a.time == t ? a.value : interpolateSegment(a, b, t);
    cursor.keyIndex = static_cast<std::int32_t>(i);
    cursor.time = t;
    cursor.value = result;
    cursor.evaluated = true;
    const int kind = interpolationKind(a.flags);
    if (kind == HoldKind || kind == LinearKind) {
        piece.start = a.time;
        piece.end = b.time;
        piece.startValue = a.value;
        piece.valueStep = b.value - a.value;
        piece.kind = kind;
        piece.lastKeyTime = last.time;
    } else {
        hold(piece, Infinity, -Infinity, 0.0f);  // a curve: remember nothing
    }
    return result;
}

}  // namespace qx
