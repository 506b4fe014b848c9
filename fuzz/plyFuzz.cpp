// A:M .ply models: parse, then convert to a skeletal mesh, which walks the bone tree and every
// patch the reader accepted, then write the mesh as Convert does and read it back.

#include <cstddef>
#include <cstdint>

#include "import/MeshFromPly.h"
#include "import/PlyFile.h"
#include "skeletal/SkeletalMeshFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto model = qx::parsePly(data, size);
    if (!model) return 0;
    const auto mesh = qx::meshFromPly(*model);
    if (mesh->faces.size() != 2 * model->patches.size()) __builtin_trap();
    if (mesh->bones.size() != static_cast<std::size_t>(model->boneCount)) __builtin_trap();
    for (std::size_t k = 0; k < mesh->bones.size(); ++k)
        if (mesh->bones[k].index != static_cast<std::int32_t>(k)) __builtin_trap();
    // What Convert writes must read back.
    const auto bytes = qx::encodeSkeletalMesh(*mesh);
    auto again = qx::parseSkeletalMesh(bytes.data(), bytes.size());
    if (!again || again->faces.size() != mesh->faces.size()) __builtin_trap();
    return 0;
}
