// .qv1 vertex models: parse, play through every kind of range, write and compare with the input
// (a model read and written again gives back the bytes it was read from).

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "vertex/VertexInstance.h"
#include "vertex/VertexModelFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto model = qx::parseVertexModel(data, size);
    if (!model) return 0;
    const auto frames = static_cast<std::int32_t>(model->frames.size());
    qx::VertexInstance instance(*model, -1, -1, 15.0f);
    for (float dt : {0.0f, 0.05f, 0.7f, 1e9f}) (void)instance.update(dt);
    for (const std::int32_t first : {0, 1, frames - 1, frames}) {
        for (const std::int32_t last : {0, 1, frames / 2, frames}) {
            instance.setRange(first, last, -1);
            (void)instance.update(0.13f);
        }
    }
    const auto bytes = qx::encodeVertexModel(*model);
    if (bytes.size() > size || std::memcmp(bytes.data(), data, bytes.size()) != 0) __builtin_trap();
    return 0;
}
