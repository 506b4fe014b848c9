// Vertex playback and MD2 import: the per-frame cost of interpolating a large vertex model,
// and how fast MD2 files turn into QXV1 bytes.

#include <benchmark/benchmark.h>

#include <cstring>

#include "core/ByteSink.h"
#include "vertex/Md2Model.h"
#include "vertex/VertexInstance.h"
#include "vertex/VertexModelFile.h"
#include "vertex/VertexModelFromMd2.h"

namespace {

qx::VertexModel makeModel(int frames, int vertices) {
    qx::VertexModel model;
    model.vertexCount = vertices;
    for (int f = 0; f < frames; ++f) {
        qx::ModelFrame frame;
        frame.name = "frame" + std::to_string(f);
        for (int i = 0; i < vertices; ++i) {
            const float x = static_cast<float>(i % 100), y = static_cast<float>(i / 100), z = static_cast<float>(f);
            frame.vertices.push_back({{x, y, z}, {0.0f, 0.6f, 0.8f}});
        }
        model.frames.push_back(std::move(frame));
    }
    return model;
}

// 10,000 vertices advanced at 60 displayed frames per second through a 15 fps animation.
void BM_VertexInstanceUpdate10k(benchmark::State& state) {
    const qx::VertexModel model = makeModel(20, 10000);
    qx::VertexInstance instance(model, -1, -1, 15.0f);
    for (auto _ : state) {
        const qx::VertexDrawable* drawable = instance.update(1.0f / 60.0f);
        benchmark::DoNotOptimize(drawable->positions.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_VertexInstanceUpdate10k);

// An MD2 the size of a typical character: 198 frames of 366 vertices and 200 groups of
// 5 command vertices (about 330 KB).
std::vector<std::uint8_t> makeMd2(int frames, int vertices, int groups) {
    qx::ByteSink out;
    const int frameSize = 40 + 4 * vertices;
    const int commandOffset = 68 + frames * frameSize;
    out.bytes("IDP2", 4);
    const std::int32_t header[16] = {8,
                                     256,
                                     256,
                                     frameSize,
                                     0,
                                     vertices,
                                     0,
                                     0,
                                     groups * 16 + 1,
                                     frames,
                                     68,
                                     68,
                                     68,
                                     68,
                                     commandOffset,
                                     commandOffset + (groups * 16 + 1) * 4};
    for (const std::int32_t v : header) out.i32(v);
    for (int f = 0; f < frames; ++f) {
        for (const float v : {0.1f, 0.1f, 0.2f, -12.0f, -12.0f, -25.0f}) out.f32(v);
        char name[16] = {};
        std::snprintf(name, sizeof name, "pose%03d", f);
        out.bytes(name, 16);
        for (int i = 0; i < vertices; ++i) {
            const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 7 + f),
                                           static_cast<std::uint8_t>(i * 13), static_cast<std::uint8_t>(i % 162)};
            out.bytes(bytes, 4);
        }
    }
    for (int g = 0; g < groups; ++g) {
        out.i32(g % 3 == 0 ? 5 : -5);
        for (int k = 0; k < 5; ++k) {
            out.f32(0.25f);
            out.f32(0.5f);
            out.i32((g + k) % vertices);
        }
    }
    out.i32(0);
    return out.take();
}

void BM_Md2ToQxv1Conversion(benchmark::State& state) {
    const std::vector<std::uint8_t> md2 = makeMd2(198, 366, 200);
    for (auto _ : state) {
        const auto parsed = qx::parseMd2(md2.data(), md2.size());
        const auto model = qx::vertexModelFromMd2(*parsed, nullptr, qx::ImageLoading::Skip);
        const std::vector<std::uint8_t> bytes = qx::encodeVertexModel(*model);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(md2.size()));
    state.counters["files/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Md2ToQxv1Conversion)->Unit(benchmark::kMillisecond);

}  // namespace
