#include "skeletal/ComputeHandles.h"

#include <cmath>

namespace qx {

namespace {

// dt / |dt|, without the division: exactly +1 or -1 for finite dt, NaN otherwise, as the
// division gives.
inline float unitSign(float dt) { return std::isfinite(dt) ? std::copysign(1.0f, dt) : NAN; }

}  // namespace

void computeHandles(MotionChannel& channel) {
    MotionKey* k = channel.keys.data();
    const std::size_t n = channel.keys.size();
    if (n == 0) return;
    if (n == 1) {
        k[0].inHandle = k[0].outHandle;
        return;
    }
    k[0].outHandle = {(k[0].time - k[1].time) * 0.5f, (k[0].value - k[1].value) * 0.5f};
    k[0].inHandle = k[0].outHandle;

    // Interior keys, with the neighbours' times and values carried in registers.
    float prevTime = k[0].time, prevValue = k[0].value;
    float time = k[1].time, value = k[1].value;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const float nextTime = k[i + 1].time, nextValue = k[i + 1].value;
        const float dt = prevTime - nextTime;
        const float dv = prevValue - nextValue;
        const float m = std::fabs(dt);
        if (m == 0.0f) {
            // Neighbours at one time: no direction to take. The pass stops here and later keys
            // keep the handles read for them: files this system wrote must read back the same.
            k[i].outHandle = {0.0f, 0.0f};
            k[i].inHandle = {0.0f, 0.0f};
            return;
        }
        const float a = unitSign(dt);
        const float b = dv / m;
        const float next = nextTime - time;
        const float prev = time - prevTime;
        k[i].outHandle = {a * next, b * next};
        k[i].inHandle = {a * prev, b * prev};
        prevTime = time;
        prevValue = value;
        time = nextTime;
        value = nextValue;
    }

    k[n - 1].inHandle = {(k[n - 2].time - k[n - 1].time) * 0.5f, (k[n - 2].value - k[n - 1].value) * 0.5f};
    k[n - 1].outHandle = k[n - 1].inHandle;
}

}  // namespace qx
