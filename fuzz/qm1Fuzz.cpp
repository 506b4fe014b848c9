// .qm1 meshes: parse (no images), write and read back.

#include <cstddef>
#include <cstdint>

#include "skeletal/SkeletalMeshFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto mesh = qx::parseSkeletalMesh(data, size);
    if (!mesh) return 0;
    const auto bytes = qx::encodeSkeletalMesh(*mesh);
    auto again = qx::parseSkeletalMesh(bytes.data(), bytes.size());
    if (!again || again->bones.size() != mesh->bones.size() || again->faces.size() != mesh->faces.size())
        __builtin_trap();
    return 0;
}
