// What a user pays to open a big file, the way qxtool does it (the file read from the page
// cache, parsed into the model, the model freed), beside a plain copy of the same bytes.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/FileBytes.h"
#include "core/HeapPages.h"
#include "scene/OpenFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "vertex/VertexModelFile.h"

namespace {

namespace fs = std::filesystem;

// Written once per run, removed at exit.
struct BigFiles {
    fs::path folder = fs::temp_directory_path() / ("qxbench-" + std::to_string(::getpid()));
    std::string motion = (folder / "big.qm2").string();
    std::string vertexModel = (folder / "big.qv1").string();

    BigFiles() {
        fs::create_directories(folder);
        // 34 MB: 200 tracks of ten channels of 680 keys, each key with its handles.
        qx::SkeletalMotion m;
        m.duration = 22.6f;
        m.tracks.resize(200);
        for (std::size_t t = 0; t < m.tracks.size(); ++t) {
            m.tracks[t].name = "bone" + std::to_string(t);
            for (auto& channel : m.tracks[t].channels) {
                channel.keys.resize(680);
                for (std::size_t k = 0; k < channel.keys.size(); ++k) {
                    channel.keys[k].time = static_cast<float>(k) / 30.0f;
                    channel.keys[k].value = std::sin(static_cast<float>(k + t));
                    channel.keys[k].flags = 4;
                }
            }
        }
        qx::writeSkeletalMotion(motion, m);
        // 48 MB: 1000 frames of 2000 vertices.
        qx::VertexModel v;
        v.vertexCount = 2000;
        v.frames.resize(1000);
        for (std::size_t f = 0; f < v.frames.size(); ++f) {
            v.frames[f].name = "run" + std::to_string(f);
            v.frames[f].vertices.resize(2000);
            for (std::size_t i = 0; i < 2000; ++i) v.frames[f].vertices[i].position.x = static_cast<float>(i + f);
        }
        qx::writeVertexModel(vertexModel, v);
        // As qxtool runs.
        qx::backHeapWithLargePages();
    }
    ~BigFiles() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

const BigFiles& bigFiles() {
    static const BigFiles files;
    return files;
}

template <typename Open>
void openFile(benchmark::State& state, const std::string& path, Open open) {
    for (auto _ : state) {
        auto model = open(path);
        if (!model) state.SkipWithError("the file did not read");
        benchmark::DoNotOptimize(model.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(path)));
}

void copyFile(benchmark::State& state, const std::string& path) {
    qx::FileBytes bytes;
    qx::readFileBytes(path, bytes, nullptr);
    std::vector<std::uint8_t> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_OpenMotionFile34MB(benchmark::State& state) {
    openFile(state, bigFiles().motion, [](const std::string& p) { return qx::readMotionToPlay(p); });
}
void BM_MemcpyMotionFile34MB(benchmark::State& state) { copyFile(state, bigFiles().motion); }
void BM_OpenVertexModelFile48MB(benchmark::State& state) {
    openFile(state, bigFiles().vertexModel,
             [](const std::string& p) { return qx::readVertexModelToShow(p, nullptr, qx::ImageLoading::Skip); });
}
void BM_MemcpyVertexModelFile48MB(benchmark::State& state) { copyFile(state, bigFiles().vertexModel); }

}  // namespace

BENCHMARK(BM_OpenMotionFile34MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyMotionFile34MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenVertexModelFile48MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyVertexModelFile48MB)->Unit(benchmark::kMillisecond);
