// One pose of a 67-bone character: the mixer's step and every bone posed from one looping
// motion that animates every channel of every bone (no skinning). Linear keys, and curve keys
// for comparison; keys every 1/30 s over two seconds.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

#include "animation/SkeletalInstance.h"
#include "bench/BoneChains.h"
#include "skeletal/ComputeHandles.h"
#include "skeletal/NameHash.h"

namespace {

using namespace qx;

constexpr int BoneCount = 67;
constexpr int ChainLength = 22;
constexpr float FrameTime = 1.0f / 60.0f;

std::string boneName(int i) { return "joint" + std::to_string(i); }

// A root with three chains of 22 bones.
std::unique_ptr<SkeletalMesh> makeSkeleton() {
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.resize(BoneCount);
    bench::linkBoneChains(mesh->bones, "joint", ChainLength);
    for (int i = 0; i < BoneCount; ++i) {
        MeshBone& b = mesh->bones[static_cast<std::size_t>(i)];
        const int chain = bench::chainOf(i, ChainLength), link = bench::linkOf(i, ChainLength);
        const float angle = static_cast<float>(chain) * 2.1f;
        const Vector3 direction{std::cos(angle), std::sin(angle), 0.4f};
        b.start = i == 0 ? ZeroVector : direction * static_cast<float>(link);
        b.end = i == 0 ? UnitZ : direction * static_cast<float>(link + 1);
        b.roll = b.start + Vector3{0.0f, 0.0f, 1.0f};
        computeBoneFrame(b);
    }
    return mesh;
}

std::unique_ptr<SkeletalMotion> makeMotion(int kind) {
    auto motion = std::make_unique<SkeletalMotion>();
    motion->nameHash = 7;
    motion->duration = 2.0f;
    for (int i = 0; i < BoneCount; ++i) {
        MotionTrack track;
        track.name = boneName(i);
        track.nameHash = nameHash(track.name);
        for (int c = 0; c < ChannelCount; ++c) {
            for (int k = 0; k <= 60; ++k) {
                MotionKey key;
                key.time = static_cast<float>(k) / 30.0f;
                const float rest = (c >= ScaleX && c <= ScaleZ) || c == RotationW ? 1.0f : 0.0f;
                key.value = rest + 0.2f * std::sin(key.time * 3.0f + static_cast<float>(i + c));
                key.flags = static_cast<std::uint8_t>((kind << 1) | KeyHandlesOmitted);
                track.channels[static_cast<std::size_t>(c)].keys.push_back(key);
            }
            computeHandles(track.channels[static_cast<std::size_t>(c)]);
        }
        motion->tracks.push_back(std::move(track));
    }
    return motion;
}

void posing(benchmark::State& state, int kind) {
    SkeletalModel model;
    model.addMesh(makeSkeleton());
    model.addMotion(makeMotion(kind));
    SkeletalInstance instance(model);
    MotionSettings settings;
    settings.motionId = 7;
    instance.start(settings);
    for (auto _ : state) {
        instance.updateMixer(FrameTime);
        benchmark::DoNotOptimize(instance.pose());
    }
    state.counters["bones"] = BoneCount;
}

void BM_PoseLinear67Bones(benchmark::State& state) { posing(state, LinearKind); }
void BM_PoseCurve67Bones(benchmark::State& state) { posing(state, CurveKind); }
BENCHMARK(BM_PoseLinear67Bones)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PoseCurve67Bones)->Unit(benchmark::kMicrosecond);

}  // namespace
