// One displayed frame of a skeletal character: the mixer, posing every bone from two cycles and
// an overlay, and rigid skinning of the mesh. The character has 60 bones in five chains and
// 20,000 positions, each with a normal of its own; the motions have curve keys in every
// channel of every bone they animate.

#include <time.h>

#include <cmath>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "animation/SkeletalInstance.h"
#include "bench/BoneChains.h"
#include "skeletal/ComputeHandles.h"
#include "skeletal/NameHash.h"

namespace {

using namespace qx;

constexpr int BoneCount = 60;
constexpr int PositionCount = 20000;
constexpr int ChainLength = 12;  // five chains hang from the root: bones 1-12, 13-24, ...
constexpr float FrameTime = 1.0f / 60.0f;

std::string boneName(int i) { return "bone" + std::to_string(i); }

std::unique_ptr<SkeletalMesh> makeCharacter() {
    auto mesh = std::make_unique<SkeletalMesh>();
    mesh->bones.resize(BoneCount);
    bench::linkBoneChains(mesh->bones, "bone", ChainLength);
    for (int i = 0; i < BoneCount; ++i) {
        MeshBone& b = mesh->bones[i];
        const int chain = bench::chainOf(i, ChainLength);
        const int link = bench::linkOf(i, ChainLength);
        const float angle = static_cast<float>(chain) * 1.2566f;
        const Vector3 direction{std::cos(angle), std::sin(angle), 0.3f};
        b.start = i == 0 ? ZeroVector : direction * static_cast<float>(link);
        b.end = i == 0 ? UnitZ : direction * static_cast<float>(link + 1);
        b.roll = b.start + Vector3{0.0f, 0.0f, 1.0f};
        computeBoneFrame(b);
    }
    for (int p = 0; p < PositionCount; ++p) {
        const int bone = p * BoneCount / PositionCount;  // each bone owns a run of positions
        const float f = static_cast<float>(p) * 0.001f;
        mesh->positions.push_back(mesh->bones[bone].start + Vector3{std::sin(f), std::cos(f), 0.1f * f});
        mesh->normals.push_back(normalize(Vector3{std::cos(f), std::sin(f), 0.5f}));
        mesh->positionNormals.push_back({p});
        mesh->bones[bone].attachedPositions.push_back(p);
    }
    return mesh;
}

// A motion animating bones [first, first + count) with keys every 0.1 s.
std::unique_ptr<SkeletalMotion> makeMotion(std::int32_t id, std::int32_t type, float duration, int first, int count,
                                           float phase) {
    auto motion = std::make_unique<SkeletalMotion>();
    motion->nameHash = id;
    motion->animationType = type;
    motion->duration = duration;
    const int keyCount = static_cast<int>(duration * 10.0f) + 1;
    for (int i = first; i < first + count; ++i) {
        MotionTrack track;
        track.name = boneName(i);
        track.nameHash = nameHash(track.name);
        for (int c = 0; c < ChannelCount; ++c) {
            for (int k = 0; k < keyCount; ++k) {
                MotionKey key;
                key.time = static_cast<float>(k) * 0.1f;
                const float wave = std::sin(key.time * 3.0f + phase + static_cast<float>(i + c));
                const float rest = (c >= ScaleX && c <= ScaleZ) || c == RotationW ? 1.0f : 0.0f;
                key.value = rest + 0.2f * wave;
                key.flags = static_cast<std::uint8_t>((CurveKind << 1) | KeyHandlesOmitted);
                track.channels[c].keys.push_back(key);
            }
            computeHandles(track.channels[c]);
        }
        motion->tracks.push_back(std::move(track));
    }
    return motion;
}

struct Character {
    Character() {
        model.addMesh(makeCharacter());
        model.addMotion(makeMotion(1, CycleAnimation, 1.2f, 0, BoneCount, 0.0f));          // walk
        model.addMotion(makeMotion(2, CycleAnimation, 2.0f, 0, BoneCount, 1.0f));          // sway
        model.addMotion(makeMotion(3, OverlayAnimation, 1000.0f, 13, ChainLength, 2.0f));  // wave, one arm
        instance = std::make_unique<SkeletalInstance>(model);
        for (std::int32_t id : {1, 2, 3}) {
            MotionSettings s;
            s.motionId = id;
            s.attackLength = 0.5f;
            instance->start(s);
        }
        // Past the fades, and past the first frame that sizes the drawable.
        for (int i = 0; i < 60; ++i) instance->update(FrameTime);
    }

    SkeletalModel model;
    std::unique_ptr<SkeletalInstance> instance;
};

void BM_SkeletalUpdate(benchmark::State& state) {
    Character c;
    for (auto _ : state) benchmark::DoNotOptimize(c.instance->update(FrameTime));
    state.counters["positions"] = PositionCount;
}
BENCHMARK(BM_SkeletalUpdate)->Unit(benchmark::kMicrosecond);

// The thread's own processor time in microseconds: on a shared machine the wall clock also
// counts the time other programs ran.
double threadMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) * 1e-3;
}

// The same frame timed stage by stage: mixer, posing, skinning (microseconds of processor time
// per frame).
void BM_SkeletalUpdateStages(benchmark::State& state) {
    Character c;
    double mixer = 0.0, posing = 0.0, skinning = 0.0;
    for (auto _ : state) {
        const double t0 = threadMicroseconds();
        c.instance->updateMixer(FrameTime);
        const double t1 = threadMicroseconds();
        SkeletalDrawable* d = c.instance->pose();
        const double t2 = threadMicroseconds();
        c.instance->skin(*d);
        const double t3 = threadMicroseconds();
        mixer += t1 - t0;
        posing += t2 - t1;
        skinning += t3 - t2;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["mixer_us"] = mixer / n;
    state.counters["posing_us"] = posing / n;
    state.counters["skinning_us"] = skinning / n;
}
BENCHMARK(BM_SkeletalUpdateStages)->Unit(benchmark::kMicrosecond);

// Skinning alone (copying the rest mesh and moving every position and its normal); items are
// positions.
void BM_Skinning(benchmark::State& state) {
    Character c;
    SkeletalDrawable* d = c.instance->pose();
    for (auto _ : state) {
        c.instance->skin(*d);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * PositionCount);
}
BENCHMARK(BM_Skinning)->Unit(benchmark::kMicrosecond);

}  // namespace
