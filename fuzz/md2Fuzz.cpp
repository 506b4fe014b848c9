// .md2 models: parse, convert to a vertex model, and check that its QXV1 bytes read back.

#include <cstddef>
#include <cstdint>

#include "vertex/Md2Model.h"
#include "vertex/VertexModelFile.h"
#include "vertex/VertexModelFromMd2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto md2 = qx::parseMd2(data, size);
    if (!md2) return 0;
    auto model = qx::vertexModelFromMd2(*md2, nullptr, qx::ImageLoading::Skip);
    if (!model) __builtin_trap();  // everything readMd2 accepts converts
    const auto bytes = qx::encodeVertexModel(*model);
    auto again = qx::parseVertexModel(bytes.data(), bytes.size());
    if (!again || again->frames.size() != md2->frames.size()) __builtin_trap();
    return 0;
}
