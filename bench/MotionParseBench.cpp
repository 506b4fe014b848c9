// .qm2 parse throughput against a plain copy of the same bytes.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "skeletal/SkeletalMotionFile.h"

namespace {

// About 21 MB: 100 tracks of ten channels of 850 keys, each key with its handles (25 bytes).
const std::vector<std::uint8_t>& bigMotionFile() {
    static const std::vector<std::uint8_t> bytes = [] {
        qx::SkeletalMotion motion;
        motion.duration = 85.0f;
        motion.tracks.resize(100);
        for (std::size_t t = 0; t < motion.tracks.size(); ++t) {
            auto& track = motion.tracks[t];
            track.name = "bone" + std::to_string(t);
            for (auto& channel : track.channels) {
                for (int k = 0; k < 850; ++k) {
                    qx::MotionKey key;
                    key.time = static_cast<float>(k) * 0.1f;
                    key.value = static_cast<float>(k % 7);
                    key.flags = 4;
                    channel.keys.push_back(key);
                }
            }
        }
        return qx::encodeSkeletalMotion(motion);
    }();
    return bytes;
}

void BM_ParseMotion(benchmark::State& state) {
    const auto& bytes = bigMotionFile();
    for (auto _ : state) {
        auto motion = qx::parseSkeletalMotion(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(motion.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_MemcpyMotionBytes(benchmark::State& state) {
    const auto& bytes = bigMotionFile();
    std::vector<std::uint8_t> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

}  // namespace

BENCHMARK(BM_ParseMotion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyMotionBytes)->Unit(benchmark::kMillisecond);
