// Channel evaluation during forward playback in small steps: the cost per displayed frame of
// every bone of every playing motion.

#include <benchmark/benchmark.h>

#include "animation/EvaluateChannel.h"
#include "skeletal/ComputeHandles.h"

namespace {

qx::MotionChannel makeChannel(int keyCount, int kind) {
    qx::MotionChannel channel;
    for (int i = 0; i < keyCount; ++i) {
        qx::MotionKey k;
        k.time = static_cast<float>(i) * 0.1f;
        k.value = static_cast<float>((i * 37) % 11) - 5.0f;
        k.flags = static_cast<std::uint8_t>((kind << 1) | qx::KeyHandlesOmitted);
        channel.keys.push_back(k);
    }
    qx::computeHandles(channel);
    return channel;
}

void forwardPlayback(benchmark::State& state, int kind) {
    const qx::MotionChannel channel = makeChannel(1000, kind);
    const float end = channel.keys.back().time;
    qx::ChannelCursor cursor;
    float t = 0.0f;
    float sum = 0.0f;
    for (auto _ : state) {
        sum += qx::evaluateChannel(cursor, channel, t);
        t += 0.0007f;
        if (t >= end) t -= end;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations());
}

void BM_ForwardPlaybackCurve(benchmark::State& state) { forwardPlayback(state, qx::CurveKind); }
void BM_ForwardPlaybackLinear(benchmark::State& state) { forwardPlayback(state, qx::LinearKind); }

}  // namespace

BENCHMARK(BM_ForwardPlaybackCurve);
BENCHMARK(BM_ForwardPlaybackLinear);
