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
            return a.value + (t - a.time) / (b.time - a.time) * (b.value - a.value);
        default: {
            const Cubic time = hermite(a.time, b.time, -a.outHandle.time, -b.inHandle.time);
            const Cubic value = hermite(a.value, b.value, -a.outHandle.value, -b.inHandle.value);
            return value.at(solveCurveParameter(time, t, a.time, b.time));
        }
    }
}

namespace {

constexpr float Infinity = std::numeric_limits<float>::infinity();

void hold(ChannelSegment* s, float start, float end, float value) {
    if (s != nullptr) *s = {start, end, value, 0.0f, HoldKind, -Infinity, s->ascending};
}

// Remembers the piece from key i to key i + 1 when every time inside it would give, by the search
// below, that piece's value: it lies strictly inside the key range and is not a curve. Keys out
// of order (a damaged file) may break that, so such pieces are checked rather than assumed.
void rememberPiece(ChannelSegment* s, const std::vector<MotionKey>& keys, std::int32_t i) {
    const auto n = static_cast<std::int32_t>(keys.size());
    if (s == nullptr || i < 0 || i >= n - 1) return;
    const MotionKey& a = keys[i];
    const MotionKey& b = keys[i + 1];
    const int kind = interpolationKind(a.flags);
    const bool inside = (i == 0 || a.time > keys[0].time) && a.time < b.time && b.time <= keys[n - 1].time;
    if (inside && kind != CurveKind)
        *s = {a.time, b.time, a.value, b.value - a.value, kind, keys[n - 1].time, s->ascending};
}

// The last key at or before t among keys [0, end), for strictly ascending keys with t inside
// them: the key the step-by-step search below would stop at.
std::int32_t bisect(const std::vector<MotionKey>& keys, std::int32_t end, float t) {
    const auto after = std::upper_bound(keys.begin(), keys.begin() + end, t,
                                        [](float time, const MotionKey& key) { return time < key.time; });
    return static_cast<std::int32_t>(after - keys.begin()) - 1;
}

}  // namespace

float searchChannel(ChannelCursor& cursor, ChannelSegment* piece, const MotionChannel& channel, float t,
                    float emptyValue) {
    const auto& keys = channel.keys;
    const auto n = static_cast<std::int32_t>(keys.size());
    if (n == 0) {
        hold(piece, -Infinity, Infinity, emptyValue);
        return emptyValue;
    }
    if (t >= keys[n - 1].time) {
        hold(piece, keys[n - 1].time, Infinity, keys[n - 1].value);
        return keys[n - 1].value;
    }
    if (t <= keys[0].time) {
        if (keys[0].time <= keys[n - 1].time) hold(piece, -Infinity, keys[0].time, keys[0].value);
        return keys[0].value;
    }
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
    } else if (piece != nullptr && piece->ascending) {
        i = bisect(keys, i, t);
        result = keys[i].time == t ? keys[i].value : interpolateSegment(keys[i], keys[i + 1], t);
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
    rememberPiece(piece, keys, i);
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

}  // namespace qx
