// Rigid skinning alone, positions and their normals, at three mesh sizes: a typical character
// (3,934 positions), the qxbench character (20,000) and a mesh far larger than the caches
// (1,000,000). Each size comes ordered (each bone owns one run of positions, as exporters
// usually write them) and scattered (each bone's positions spread over the whole array), since
// skinning must cost the same whichever order a file uses. The skeleton is the qxbench one:
// 60 bones in five chains hanging from the root, every bone turned and moved by a cycle.

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "animation/SkeletalInstance.h"
#include "bench/BoneChains.h"
#include "skeletal/NameHash.h"

namespace {

using namespace qx;

constexpr int BoneCount = 60;
constexpr int ChainLength = 12;

std::string boneName(int i) { return "bone" + std::to_string(i); }

// A fixed mix of the index (a 32-bit integer hash), so that scattered layouts are the same
// from run to run.
std::uint32_t scramble(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

std::unique_ptr<SkeletalMesh> makeMesh(int positionCount, bool scattered) {
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.resize(BoneCount);
    bench::linkBoneChains(mesh->bones, "bone", ChainLength);
    mesh->positions.reserve(positionCount);
    mesh->normals.reserve(positionCount);
    mesh->positionNormals.reserve(positionCount);
    for (int p = 0; p < positionCount; ++p) {
        const auto ordered = static_cast<int>(static_cast<std::int64_t>(p) * BoneCount / positionCount);
        const int bone = scattered ? static_cast<int>(scramble(static_cast<std::uint32_t>(p)) % BoneCount) : ordered;
        const float f = static_cast<float>(p) * 0.001f;
        mesh->positions.push_back({std::sin(f), std::cos(f), 0.1f * f});
        mesh->normals.push_back(normalize(Vector3{std::cos(f), std::sin(f), 0.5f}));
        mesh->positionNormals.push_back({p});
        mesh->bones[bone].attachedPositions.push_back(p);
    }
    return mesh;
}

// A cycle turning and moving every bone, with linear keys.
std::unique_ptr<SkeletalMotion> makeMotion() {
    auto motion = std::make_unique<SkeletalMotion>();
    motion->nameHash = 1;
    motion->animationType = CycleAnimation;
    motion->duration = 1.0f;
    for (int i = 0; i < BoneCount; ++i) {
        MotionTrack track;
        track.name = boneName(i);
        track.nameHash = nameHash(track.name);
        for (int c = 0; c < ChannelCount; ++c) {
            const float rest = (c >= ScaleX && c <= ScaleZ) || c == RotationW ? 1.0f : 0.0f;
            for (int k = 0; k < 2; ++k) {
                MotionKey key;
                key.time = static_cast<float>(k);
                key.value = rest + 0.2f * std::sin(static_cast<float>(i + c + k));
                key.flags = static_cast<std::uint8_t>(LinearKind << 1);
                track.channels[c].keys.push_back(key);
            }
        }
        motion->tracks.push_back(std::move(track));
    }
    return motion;
}

void BM_RigidSkinning(benchmark::State& state) {
    const auto positionCount = static_cast<int>(state.range(0));
    SkeletalModel model;
    model.addMesh(makeMesh(positionCount, state.range(1) != 0));
    model.addMotion(makeMotion());
    SkeletalInstance instance(model);
    MotionSettings settings;
    settings.motionId = 1;
    instance.start(settings);
    SkeletalDrawable* d = instance.update(0.3f);  // sizes the drawable and poses every bone
    for (auto _ : state) {
        instance.skin(*d);
        benchmark::ClobberMemory();
    }
    state.counters["vertices"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * positionCount, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RigidSkinning)
    ->ArgNames({"positions", "scattered"})
    ->ArgsProduct({{3934, 20000, 1000000}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
