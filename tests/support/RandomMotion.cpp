#include "tests/support/RandomMotion.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "skeletal/ComputeHandles.h"

namespace qx::test {

namespace {

constexpr float Infinity = std::numeric_limits<float>::infinity();

float uniform(std::mt19937& random, float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
}
int below(std::mt19937& random, int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
float odd(std::mt19937& random) {
    const float values[] = {std::numeric_limits<float>::quiet_NaN(), Infinity, -Infinity, -0.0f, 3e38f};
    return values[below(random, 5)];
}

}  // namespace

MotionChannel randomChannel(std::mt19937& random, KeyOrder order) {
    MotionChannel channel;
    const int shape = below(random, 10);
    const int count = shape < 2 ? shape : 2 + below(random, 40);
    float t = below(random, 4) == 0 ? uniform(random, -2.0f, 0.0f) : 0.0f;
    for (int i = 0; i < count; ++i) {
        MotionKey key;
        key.time = t;
        key.value = below(random, 10) == 0 ? odd(random) : uniform(random, -5.0f, 5.0f);
        key.flags = static_cast<std::uint8_t>(below(random, 256));
        key.outHandle = {uniform(random, -1.0f, 1.0f), uniform(random, -2.0f, 2.0f)};
        key.inHandle = {uniform(random, -1.0f, 1.0f), uniform(random, -2.0f, 2.0f)};
        channel.keys.push_back(key);
        if (order == KeyOrder::Ascending || below(random, 4) != 0)  // mostly 1/30 s, sometimes far
            t = std::max(t + (below(random, 5) == 0 ? uniform(random, 0.001f, 3.0f) : 1.0f / 30.0f),
                         std::nextafter(t, Infinity));
    }
    if (order == KeyOrder::Disordered && count > 1) {
        for (int swaps = below(random, 4); swaps >= 0; --swaps)
            std::swap(channel.keys[static_cast<std::size_t>(below(random, count))].time,
                      channel.keys[static_cast<std::size_t>(below(random, count))].time);
        if (below(random, 3) == 0) channel.keys[static_cast<std::size_t>(below(random, count))].time = odd(random);
    }
    if (below(random, 5) != 0) computeHandles(channel);
    return channel;
}

std::vector<float> randomTimes(std::mt19937& random, const std::vector<const MotionChannel*>& channels) {
    std::vector<float> keyTimes;
    for (const MotionChannel* channel : channels)
        for (const MotionKey& key : channel->keys)
            if (std::isfinite(key.time)) keyTimes.push_back(key.time);
    float low = -0.5f, high = 2.0f;
    if (!keyTimes.empty()) {
        low = *std::min_element(keyTimes.begin(), keyTimes.end()) - 0.25f;
        high = *std::max_element(keyTimes.begin(), keyTimes.end()) + 0.25f;
    }
    std::vector<float> times;
    for (float t = low; times.size() < 300;) {
        switch (below(random, 8)) {
            case 0:
                t = uniform(random, low, high);
                break;  // a jump
            case 1:
                t = low + uniform(random, 0.0f, 0.1f);
                break;  // a cycle starting over
            case 2:
                t -= uniform(random, 0.0f, 0.5f);
                break;  // backward
            case 3:     // at or beside a key
                if (!keyTimes.empty()) {
                    t = keyTimes[static_cast<std::size_t>(below(random, static_cast<int>(keyTimes.size())))];
                    if (const int side = below(random, 3); side > 0)
                        t = std::nextafter(t, side == 1 ? -Infinity : Infinity);
                }
                break;
            case 4:
                break;  // the same time again
            default:    // playing forward
                t += uniform(random, 0.0f, 1.0f / 30.0f);
                if (t > high) t = low;
        }
        times.push_back(below(random, 50) == 0 ? odd(random) : t);
    }
    return times;
}

bool isKeyTime(float t, const std::vector<const MotionChannel*>& channels) {
    for (const MotionChannel* channel : channels)
        for (const MotionKey& key : channel->keys)
            if (key.time == t) return true;
    return false;
}

std::uint32_t floatBits(float f) { return std::bit_cast<std::uint32_t>(f); }

}  // namespace qx::test
