#include "tests/support/RandomMotion.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "skeletal/ComputeHandles.h"
#include "skeletal/NameHash.h"

namespace qx::test {

namespace {

constexpr float Infinity = std::numeric_limits<float>::infinity();
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

float uniform(std::mt19937& random, float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(random);
}

int below(std::mt19937& random, int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

float randomValue(std::mt19937& random) {
    switch (below(random, 40)) {
        case 0: return -0.0f;
        case 1: return NaN;
        case 2: return below(random, 2) == 0 ? Infinity : -Infinity;
        case 3: return uniform(random, -1.0f, 1.0f) * 3e38f;
        default: return uniform(random, -5.0f, 5.0f);
    }
}

float oddTime(std::mt19937& random) {
    switch (below(random, 4)) {
        case 0: return NaN;
        case 1: return Infinity;
        case 2: return -Infinity;
        default: return -0.0f;
    }
}

}  // namespace

MotionChannel randomChannel(std::mt19937& random, KeyOrder order) {
    MotionChannel channel;
    const int shape = below(random, 10);
    const int count = shape == 0 ? 0 : shape == 1 ? 1 : 2 + below(random, 40);
    // Keys at negative times now and then, as A:M exports hold before a motion's start.
    float t = below(random, 4) == 0 ? uniform(random, -2.0f, 0.0f) : 0.0f;
    for (int i = 0; i < count; ++i) {
        MotionKey key;
        key.time = t;
        key.value = randomValue(random);
        key.flags = static_cast<std::uint8_t>(below(random, 256));
        key.outHandle = {uniform(random, -1.0f, 1.0f), uniform(random, -2.0f, 2.0f)};
        key.inHandle = {uniform(random, -1.0f, 1.0f), uniform(random, -2.0f, 2.0f)};
        channel.keys.push_back(key);
        const bool tie = order != KeyOrder::Ascending && below(random, 4) == 0;
        // Mostly the 1/30 s of converted motions, sometimes far apart.
        if (!tie) t += below(random, 5) == 0 ? uniform(random, 0.001f, 3.0f) : 1.0f / 30.0f;
        if (order == KeyOrder::Ascending && i + 1 < count) t = std::max(t, std::nextafter(key.time, Infinity));
    }
    if (order == KeyOrder::Disordered && count > 1) {
        for (int swaps = below(random, 4); swaps >= 0; --swaps)
            std::swap(channel.keys[static_cast<std::size_t>(below(random, count))].time,
                      channel.keys[static_cast<std::size_t>(below(random, count))].time);
        if (below(random, 3) == 0) channel.keys[static_cast<std::size_t>(below(random, count))].time = oddTime(random);
    }
    if (below(random, 5) != 0) computeHandles(channel);
    return channel;
}

SkeletalMotion randomMotion(std::mt19937& random, KeyOrder order) {
    SkeletalMotion motion;
    const int tracks = 1 + below(random, 4);
    for (int i = 0; i < tracks; ++i) {
        MotionTrack track;
        track.name = "bone" + std::to_string(i);
        track.nameHash = nameHash(track.name);
        for (MotionChannel& channel : track.channels) channel = randomChannel(random, order);
        motion.tracks.push_back(std::move(track));
    }
    return motion;
}

std::vector<float> randomTimes(std::mt19937& random, const std::vector<const MotionChannel*>& channels, bool odd) {
    std::vector<float> keyTimes;
    for (const MotionChannel* channel : channels)
        for (const MotionKey& key : channel->keys)
            if (std::isfinite(key.time)) keyTimes.push_back(key.time);
    float low = -0.5f, high = 2.0f;
    if (!keyTimes.empty()) {
        const auto [least, most] = std::minmax_element(keyTimes.begin(), keyTimes.end());
        low = *least - 0.25f;
        high = *most + 0.25f;
    }
    std::vector<float> times;
    float t = low;
    while (times.size() < 300) {
        switch (below(random, 8)) {
            case 0:  // a jump anywhere
                t = uniform(random, low, high);
                break;
            case 1:  // a cycle starting over
                t = low + uniform(random, 0.0f, 0.1f);
                break;
            case 2:  // backward
                t -= uniform(random, 0.0f, 0.5f);
                break;
            case 3:  // an exact key time, or the float just beside one
                if (!keyTimes.empty()) {
                    t = keyTimes[static_cast<std::size_t>(below(random, static_cast<int>(keyTimes.size())))];
                    if (const int side = below(random, 3); side > 0) t = std::nextafter(t, side == 1 ? -Infinity : Infinity);
                }
                break;
            case 4:  // the same time again
                break;
            default:  // playing forward, one frame at a time
                t += uniform(random, 0.0f, 1.0f / 30.0f);
                if (t > high) t = low;
                break;
        }
        times.push_back(odd && below(random, 50) == 0 ? oddTime(random) : t);
    }
    return times;
}

bool isKeyTime(float t, const std::vector<const MotionChannel*>& channels) {
    for (const MotionChannel* channel : channels)
        for (const MotionKey& key : channel->keys)
            if (key.time == t) return true;
    return false;
}

std::uint32_t floatBits(float f) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

}  // namespace qx::test
