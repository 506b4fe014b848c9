// .qm1 parse throughput against a plain copy of the same bytes.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "skeletal/SkeletalMeshFile.h"

namespace {

// About 23 MB shaped like a real character: 100,000 positions with one or two normals each,
// two triangles per position with one texture mapping each, 60 bones sharing the positions,
// and the faces split over two textures and two materials.
const std::vector<std::uint8_t>& bigMeshFile() {
    static const std::vector<std::uint8_t> bytes = [] {
        constexpr int Positions = 100000;
        constexpr int Bones = 60;
        qx::SkeletalMesh mesh;
        for (int p = 0; p < Positions; ++p) {
            const float f = static_cast<float>(p);
            mesh.positions.push_back({f * 0.001f, f * 0.002f, f * 0.003f});
            std::vector<std::int32_t> normals{static_cast<std::int32_t>(mesh.normals.size())};
            mesh.normals.push_back({0, 0, 1});
            if (p % 2 == 0) {
                normals.push_back(static_cast<std::int32_t>(mesh.normals.size()));
                mesh.normals.push_back({0, 1, 0});
            }
            mesh.positionNormals.push_back(std::move(normals));
        }
        mesh.faces.resize(2 * Positions);
        for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
            qx::MeshFace& face = mesh.faces[f];
            face.materialIndex = static_cast<std::int32_t>(f % 2);
            for (int c = 0; c < 4; ++c) {
                face.positionIndex[c] = static_cast<std::int32_t>((f / 2 + static_cast<std::size_t>(c)) % Positions);
                face.normalIndex[c] = face.positionIndex[c];
            }
            qx::FaceMapping mapping;
            mapping.textureIndex = static_cast<std::int32_t>(f % 4 < 2 ? 0 : 1);
            mapping.uv[1][0] = 1.0f;
            mapping.uv[2][1] = 1.0f;
            face.mappings.push_back(mapping);
        }
        mesh.materials.resize(2);
        mesh.textures.resize(2);
        mesh.textures[0].name = "body.bmp";
        mesh.textures[1].name = "head.tga";
        for (int b = 0; b < Bones; ++b) {
            qx::MeshBone bone;
            bone.name = "bone" + std::to_string(b);
            bone.index = b;
            bone.parent = b - 1;
            bone.firstChild = b + 1 < Bones ? b + 1 : -1;
            bone.start = {0, 0, static_cast<float>(b)};
            bone.end = {0.5f, 0, static_cast<float>(b) + 1};
            bone.roll = {0, 1, static_cast<float>(b)};
            for (int p = b; p < Positions; p += Bones) bone.attachedPositions.push_back(p);
            mesh.bones.push_back(std::move(bone));
        }
        for (int t = 0; t < 2; ++t) {
            qx::TextureGroup group;
            group.textureIndex = t;
            for (int m = 0; m < 2; ++m) {
                qx::MaterialBatch batch;
                batch.materialIndex = m;
                for (std::size_t f = 0; f < mesh.faces.size(); ++f)
                    if (mesh.faces[f].mappings[0].textureIndex == t && mesh.faces[f].materialIndex == m)
                        batch.faceIndices.push_back(static_cast<std::int32_t>(f));
                group.batches.push_back(std::move(batch));
            }
            mesh.renderGroups.push_back(std::move(group));
        }
        return qx::encodeSkeletalMesh(mesh);
    }();
    return bytes;
}

void BM_ParseMesh(benchmark::State& state) {
    const auto& bytes = bigMeshFile();
    for (auto _ : state) {
        auto mesh = qx::parseSkeletalMesh(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(mesh.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["fileMB"] = static_cast<double>(bytes.size()) / 1e6;
}

// The same without the release of each parsed mesh, which belongs to whoever holds the mesh.
void BM_ParseMeshKeepingIt(benchmark::State& state) {
    const auto& bytes = bigMeshFile();
    for (auto _ : state) {
        auto mesh = qx::parseSkeletalMesh(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(mesh.get());
        state.PauseTiming();
        mesh.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_MemcpyMeshBytes(benchmark::State& state) {
    const auto& bytes = bigMeshFile();
    std::vector<std::uint8_t> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

}  // namespace

BENCHMARK(BM_ParseMesh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseMeshKeepingIt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyMeshBytes)->Unit(benchmark::kMillisecond);
