// Recording's parts apart: the figure walking drawn 120 times at 640x480 off-screen with nothing
// encoded (each frame replayed from time 0 and read back, as a recording draws it), and 120
// frames encoded into each kind of output with no drawing. bench/record-time sets qxtool record
// beside their sum.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "scene/Recorder.h"

namespace {

using namespace qx;

constexpr int Frames = 120;

RecordingRequest walk() {
    RecordingRequest request;
    const std::string samples = QX_SOURCE_DIR "/samples/";
    request.scene.file = samples + "figure.qm1";
    request.scene.motions = {samples + "figure-walk.qm2"};
    request.scene.width = 640;
    request.scene.height = 480;
    return request;
}

// Takes the frames and keeps nothing.
struct Discard : FrameWriter {
    bool write(const std::uint8_t* rgba, std::string*) override {
        benchmark::DoNotOptimize(rgba[0]);
        return true;
    }
    bool finish(std::string*) override { return true; }
};

void DrawAlone(benchmark::State& state) {
    Recorder recorder;
    SnapshotProblem problem;
    if (!recorder.open(walk(), problem)) return state.SkipWithError(problem.reason.c_str());
    for (auto _ : state) {
        Discard sink;
        recorder.record(Frames, sink, {}, nullptr);
    }
}
BENCHMARK(DrawAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

// The walk's first frame encoded 120 times, shifted a pixel a frame so that the encoders work.
void EncodeAlone(benchmark::State& state, const char* name) {
    Recorder recorder;
    SnapshotProblem problem;
    if (!recorder.open(walk(), problem)) return state.SkipWithError(problem.reason.c_str());
    struct Keep : FrameWriter {
        std::vector<std::uint8_t> frame;
        bool write(const std::uint8_t* rgba, std::string*) override {
            frame.assign(rgba, rgba + 640 * 480 * 4);
            return true;
        }
        bool finish(std::string*) override { return true; }
    } first;
    recorder.record(1, first, {}, nullptr);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "qx-record-bench";
    std::filesystem::create_directories(folder);
    for (auto _ : state) {
        std::string reason;
        auto writer = openFrameWriter((folder / name).string(), {640, 480, 30.0, Frames}, &reason);
        if (!writer) return state.SkipWithError(reason.c_str());
        for (int k = 0; k < Frames; ++k) writer->write(first.frame.data() + (k % 8) * 4, &reason);
        writer->finish(&reason);
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK_CAPTURE(EncodeAlone, mp4, "walk.mp4")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(EncodeAlone, gif, "walk.gif")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(EncodeAlone, png, "walk-%04d.png")->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
