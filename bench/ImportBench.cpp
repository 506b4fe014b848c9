// A:M import throughput: reading a large ".ply" model and converting it, reading a long ".kfm"
// motion and converting it.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/ByteSink.h"
#include "import/KfmFile.h"
#include "import/MeshFromPly.h"
#include "import/MotionFromKfm.h"
#include "import/PlyFile.h"

namespace {

// About 9 MB: a grid of 100,000 positions with one normal each, 100,000 patches with one
// mapping each over two surfaces and two images, and 60 bones in a chain sharing the positions.
const std::vector<std::uint8_t>& bigPlyFile() {
    static const std::vector<std::uint8_t> bytes = [] {
        constexpr int Side = 316;  // 316 x 316 grid, a little under 100,000 positions
        constexpr int Positions = Side * Side;
        constexpr int Bones = 60;
        qx::ByteSink out;
        out.bytes("PLY", 3);
        out.i32(2);
        out.count(2);
        for (int s = 0; s < 2; ++s) {
            const std::uint8_t rgb[3] = {200, 150, static_cast<std::uint8_t>(100 * s)};
            out.bytes(rgb, 3);
            out.i32(0);
            out.bytes(rgb, 3);
            for (int v = 0; v < 8; ++v) out.i32(v);
        }
        out.count(2);
        for (const char* name : {"body.bmp", "head.tga"}) {
            out.cString(name);
            out.i16(0);
            out.i16(0);
        }
        out.count(Positions);
        for (int p = 0; p < Positions; ++p)
            out.vector3({static_cast<float>(p % Side), static_cast<float>(p / Side), 0});
        out.count(Positions);
        for (int p = 0; p < Positions; ++p) out.vector3({0, 0, 1});
        const int patches = (Side - 1) * (Side - 1);
        out.count(patches);
        for (int i = 0; i < patches; ++i) {
            const int p = i / (Side - 1) * Side + i % (Side - 1);
            const int corners[4] = {p, p + 1, p + Side + 1, p + Side};
            out.i32(i % 2);
            for (const int c : corners) out.i32(c);
            for (const int c : corners) out.i32(c);
            out.count(1);
            out.i32(i % 4 < 2 ? 0 : 1);
            for (int v = 0; v < 3; ++v) out.i32(0);
            out.u8(0);
            out.u8(0);
            for (int c = 0; c < 8; ++c) out.f32(0.5f);
        }
        for (int b = 0; b < Bones; ++b) {
            out.u8(b + 1 < Bones ? 1 : 0);
            out.u8(0);
            out.cString("bone" + std::to_string(b));
            out.vector3({0, 0, static_cast<float>(b)});
            out.vector3({0.5f, 0, static_cast<float>(b) + 1});
            out.vector3({0, 1, static_cast<float>(b)});
            out.count((Positions - b + Bones - 1) / Bones);
            for (int p = b; p < Positions; p += Bones) out.i32(p);
        }
        return out.take();
    }();
    return bytes;
}

// About 5 MB: 60 tracks, each with 10 channels of 400 curve keys with their handles.
const std::vector<std::uint8_t>& longKfmFile() {
    static const std::vector<std::uint8_t> bytes = [] {
        constexpr int Tracks = 60;
        constexpr int Keys = 400;
        qx::ByteSink out;
        out.i32(0x12345679);
        out.f32(Keys / 30.0f);
        out.u16(Tracks);
        for (int t = 0; t < Tracks; ++t) {
            out.cString("bone" + std::to_string(t));
            out.vector3({0, 0, 1});
            out.vector3({0, 1, 0});
            out.vector3({1, 0, 0});
            out.vector3({0, 1, 0});
            for (int c = 0; c < 10; ++c) {
                out.u16(Keys);
                for (int k = 0; k < Keys; ++k) {
                    out.f32(k / 30.0f);
                    out.f32(static_cast<float>((k * 7 + c) % 13));
                    out.u8(4);
                    for (int h = 0; h < 4; ++h) out.f32(0.0f);
                }
            }
        }
        return out.take();
    }();
    return bytes;
}

void BM_ParsePly(benchmark::State& state) {
    const auto& bytes = bigPlyFile();
    for (auto _ : state) {
        auto model = qx::parsePly(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(model.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["fileMB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_MeshFromPly(benchmark::State& state) {
    const auto& bytes = bigPlyFile();
    const auto model = qx::parsePly(bytes.data(), bytes.size());
    for (auto _ : state) {
        auto mesh = qx::meshFromPly(*model);
        benchmark::DoNotOptimize(mesh.get());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * model->patches.size()));
}

void BM_ParseKfm(benchmark::State& state) {
    const auto& bytes = longKfmFile();
    for (auto _ : state) {
        auto motion = qx::parseKfm(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(motion.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["fileMB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_MotionFromKfm(benchmark::State& state) {
    const auto& bytes = longKfmFile();
    const auto kfm = qx::parseKfm(bytes.data(), bytes.size());
    for (auto _ : state) {
        auto motion = qx::motionFromKfm(*kfm, 0.0f, 0.0f, qx::CycleAnimation);
        benchmark::DoNotOptimize(motion.get());
    }
}

}  // namespace

BENCHMARK(BM_ParsePly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeshFromPly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseKfm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MotionFromKfm)->Unit(benchmark::kMillisecond);
