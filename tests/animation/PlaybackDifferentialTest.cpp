// Playback's shortcuts (the remembered piece, the step to the next piece, the bisection of a
// jump) against the plain search, on thousands of random channels and sequences of times. A
// failure prints the seed that makes it: QX_PLAYBACK_SEED=<seed> runs that case first.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

#include "animation/EvaluateChannel.h"
#include "animation/MotionSampler.h"
#include "animation/SkeletalInstance.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tests/support/RandomMotion.h"
#include "tests/support/SkeletonBuilder.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

using test::floatBits;
using test::KeyOrder;

std::vector<std::uint32_t> seeds(std::uint32_t count) {
    std::vector<std::uint32_t> list;
    if (const char* chosen = std::getenv("QX_PLAYBACK_SEED")) list.push_back(static_cast<std::uint32_t>(std::strtoul(chosen, nullptr, 10)));
    for (std::uint32_t i = 0; i < count; ++i) list.push_back(0x5eed0000u + i);
    return list;
}

std::string describe(const MotionChannel& channel) {
    std::ostringstream out;
    out.precision(9);
    for (const MotionKey& k : channel.keys) out << " (" << k.time << ", " << k.value << ", flags " << int(k.flags) << ")";
    return out.str();
}

constexpr KeyOrder Orders[] = {KeyOrder::Ascending, KeyOrder::WithTies, KeyOrder::Disordered};

// The remembered-piece path, over any sequence of times, gives bit for bit what the plain search
// gives over the same sequence; away from exact key times, on keys that do not go back in time,
// that is also what a search from a fresh cursor gives.
TEST(PlaybackDifferential, ChannelsGiveThePlainSearchBitForBit) {
    int compared = 0;
    for (const std::uint32_t seed : seeds(3000)) {
        std::mt19937 random(seed);
        const KeyOrder order = Orders[seed % 3];
        const MotionChannel channel = test::randomChannel(random, order);
        const std::vector<float> times = test::randomTimes(random, {&channel}, true);
        const float empty = seed % 2 == 0 ? 0.0f : 1.0f;
        ChannelCursor played, plain;
        ChannelSegment piece = pieceFor(channel);
        for (std::size_t i = 0; i < times.size(); ++i) {
            const float t = times[i];
            const float fast = playChannel(played, piece, channel, t, empty);
            const float expected = channel.keys.empty() ? empty : evaluateChannel(plain, channel, t);
            ASSERT_EQ(floatBits(fast), floatBits(expected))
                << "seed " << seed << ", time " << i << " = " << t << ": " << fast << " against " << expected
                << "; keys" << describe(channel);
            if (order != KeyOrder::Disordered && !test::isKeyTime(t, {&channel})) {
                ChannelCursor fresh;
                const float first = channel.keys.empty() ? empty : evaluateChannel(fresh, channel, t);
                ASSERT_EQ(floatBits(fast), floatBits(first)) << "seed " << seed << ", time " << i << " = " << t;
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 500000);
}

bool samePose(const Pose& a, const Pose& b) {
    const float x[] = {a.translation.x, a.translation.y, a.translation.z, a.scale.x, a.scale.y, a.scale.z,
                       a.rotation.x, a.rotation.y, a.rotation.z, a.rotation.w};
    const float y[] = {b.translation.x, b.translation.y, b.translation.z, b.scale.x, b.scale.y, b.scale.z,
                       b.rotation.x, b.rotation.y, b.rotation.z, b.rotation.w};
    for (int i = 0; i < 10; ++i)
        if (floatBits(x[i]) != floatBits(y[i])) return false;
    return true;
}

// A sampler that has played a while poses every track as a sampler made just now would, at every
// time that is not a key's own.
TEST(PlaybackDifferential, WarmSamplerPosesAsAFreshOne) {
    int compared = 0;
    for (const std::uint32_t seed : seeds(400)) {
        std::mt19937 random(seed);
        const SkeletalMotion motion = test::randomMotion(random, seed % 2 == 0 ? KeyOrder::Ascending : KeyOrder::WithTies);
        std::vector<const MotionChannel*> channels;
        for (const MotionTrack& track : motion.tracks)
            for (const MotionChannel& channel : track.channels) channels.push_back(&channel);
        const std::vector<float> times = test::randomTimes(random, channels, true);
        MotionSampler warm(motion);
        for (std::size_t i = 0; i < times.size(); ++i) {
            const float t = times[i];
            for (std::size_t k = 0; k < motion.tracks.size(); ++k) {
                const Pose played = sampleTrack(warm.tracks[k], t);
                if (test::isKeyTime(t, channels)) continue;
                MotionSampler fresh(motion);
                ASSERT_TRUE(samePose(played, sampleTrack(fresh.tracks[k], t)))
                    << "seed " << seed << ", track " << k << ", time " << i << " = " << t;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 100000);
}

// Motions that once made playback answer by history or read before a channel's keys (a NaN
// duration makes every sampling time NaN): every channel as the plain search gives it, and the
// motion played as the viewer plays it.
TEST(PlaybackDifferential, RegressionMotionsPlayAsThePlainSearch) {
    QX_REQUIRE_TESTDATA("regressions");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(test::testDataDir() / "regressions")) {
        if (entry.path().extension() != ".qm2") continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::unique_ptr<SkeletalMotion> motion = readSkeletalMotion(entry.path().string());
        ASSERT_NE(motion, nullptr);
        ++files;
        for (const MotionTrack& track : motion->tracks)
            for (const MotionChannel& channel : track.channels) {
                std::vector<float> times = {std::numeric_limits<float>::quiet_NaN(), 0.3f, -1.0f, 1e9f};
                for (const MotionKey& key : channel.keys)
                    times.insert(times.end(), {std::nextafter(key.time, -1.0f), key.time, std::nextafter(key.time, 2.0f)});
                for (float t = 0.0f; t < 1.0f; t += 1.0f / 60.0f) times.push_back(t);
                ChannelCursor played, plain;
                ChannelSegment piece = pieceFor(channel);
                for (const float t : times)
                    ASSERT_EQ(floatBits(playChannel(played, piece, channel, t, 0.0f)),
                              floatBits(channel.keys.empty() ? 0.0f : evaluateChannel(plain, channel, t)))
                        << "at " << t;
            }

        SkeletalModel model;
        auto mesh = std::make_unique<SkeletalMesh>();
        for (std::size_t i = 0; i < motion->tracks.size(); ++i)
            mesh->bones.push_back(test::uprightBone(motion->tracks[i].name, ZeroVector, static_cast<std::int32_t>(i) - 1));
        test::linkBones(mesh->bones);
        model.addMesh(std::move(mesh));
        motion->nameHash = 1;
        model.addMotion(std::move(motion));
        SkeletalInstance instance(model);
        MotionSettings settings;
        settings.motionId = 1;
        ASSERT_TRUE(instance.start(settings));
        for (int frame = 0; frame < 8; ++frame) ASSERT_NE(instance.update(0.3f), nullptr);
    }
    EXPECT_GE(files, 3);
}

}  // namespace
}  // namespace qx
