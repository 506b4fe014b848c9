// Playback's shortcuts (the remembered piece, the step to the next piece, the jump search)
// against the plain search, on thousands of seeded random channels and sequences of times.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <random>
#include <vector>

#include "animation/EvaluateChannel.h"
#include "animation/MotionSampler.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tests/support/RandomMotion.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

using test::floatBits;
using test::KeyOrder;

// Plays times through playChannel and the plain search side by side: bit for bit the same over
// the same sequence, and away from key times on keys that do not go back, a fresh search's too.
void expectPlainAnswers(const MotionChannel& channel, const std::vector<float>& times, bool ordered, const char* what) {
    ChannelCursor played, plain;
    ChannelSegment piece = pieceFor(channel);
    for (std::size_t i = 0; i < times.size(); ++i) {
        const float t = times[i], fast = playChannel(played, piece, channel, t, 1.0f);
        const auto search = [&](ChannelCursor& c) {
            return channel.keys.empty() ? 1.0f : evaluateChannel(c, channel, t);
        };
        ASSERT_EQ(floatBits(fast), floatBits(search(plain))) << what << ", time " << i << " = " << t;
        ChannelCursor fresh;
        if (ordered && !test::isKeyTime(t, {&channel})) {
            ASSERT_EQ(floatBits(fast), floatBits(search(fresh))) << what << ", time " << i << " = " << t;
        }
    }
}

TEST(PlaybackDifferential, ChannelsGiveThePlainSearchBitForBit) {
    for (std::uint32_t seed = 1; seed <= 3000; ++seed) {
        std::mt19937 random(seed);
        const KeyOrder order = static_cast<KeyOrder>(seed % 3);
        const MotionChannel channel = test::randomChannel(random, order);
        expectPlainAnswers(channel, test::randomTimes(random, {&channel}), order != KeyOrder::Disordered,
                           ("seed " + std::to_string(seed)).c_str());
    }
}

// A sampler that has played a while poses a track as one made just now, at every non-key time.
TEST(PlaybackDifferential, WarmSamplerPosesAsAFreshOne) {
    for (std::uint32_t seed = 1; seed <= 400; ++seed) {
        std::mt19937 random(seed);
        MotionTrack track;
        std::vector<const MotionChannel*> channels;
        for (MotionChannel& channel : track.channels) {
            channel = test::randomChannel(random, seed % 2 ? KeyOrder::Ascending : KeyOrder::WithTies);
            channels.push_back(&channel);
        }
        SkeletalMotion motion;
        motion.tracks = {track};
        MotionSampler warm(motion);
        for (const float t : test::randomTimes(random, channels)) {
            const Pose played = sampleTrack(warm.tracks[0], t);
            MotionSampler fresh(motion);
            const Pose first = sampleTrack(fresh.tracks[0], t);
            if (test::isKeyTime(t, channels)) continue;
            const float a[] = {played.translation.x, played.translation.y, played.translation.z, played.scale.x,
                               played.scale.y,       played.scale.z,       played.rotation.x,    played.rotation.y,
                               played.rotation.z,    played.rotation.w};
            const float b[] = {first.translation.x, first.translation.y, first.translation.z, first.scale.x,
                               first.scale.y,       first.scale.z,       first.rotation.x,    first.rotation.y,
                               first.rotation.z,    first.rotation.w};
            for (int k = 0; k < 10; ++k) ASSERT_EQ(floatBits(a[k]), floatBits(b[k])) << "seed " << seed << " at " << t;
        }
    }
}

// Motions that once made playback answer by history or read before a channel's keys (a NaN
// duration makes every sampling time NaN).
TEST(PlaybackDifferential, RegressionMotionsPlayAsThePlainSearch) {
    QX_REQUIRE_TESTDATA("regressions");
    for (const auto& entry : std::filesystem::directory_iterator(test::testDataDir() / "regressions")) {
        if (entry.path().extension() != ".qm2") continue;
        const std::unique_ptr<SkeletalMotion> motion = readSkeletalMotion(entry.path().string());
        ASSERT_NE(motion, nullptr) << entry.path();
        for (const MotionTrack& track : motion->tracks)
            for (const MotionChannel& channel : track.channels) {
                std::vector<float> times = {std::numeric_limits<float>::quiet_NaN(), 0.3f, -1.0f, 1e9f};
                for (const MotionKey& key : channel.keys)
                    times.insert(times.end(),
                                 {std::nextafter(key.time, -1.0f), key.time, std::nextafter(key.time, 2.0f)});
                expectPlainAnswers(channel, times, false, entry.path().filename().c_str());
            }
    }
}

}  // namespace
}  // namespace qx
