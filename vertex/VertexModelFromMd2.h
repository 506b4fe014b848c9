#pragma once
// The MD2 import's second step: an Md2Model becomes a VertexModel ready to be written as QXV1.

#include <memory>
#include <string>

#include "render/Texture.h"
#include "vertex/Md2Model.h"
#include "vertex/VertexModel.h"

namespace qx {

// Builds the vertex model: vertexCount from the header, one frame per MD2 frame (name up to its
// first 0 byte, the first vertexCount vertices), the commands as strips (type 1) and fans (0).
// The skin is loaded from md2.skinPath as mode asks; conversion does not need it. nameHash stays
// 0. None, with a reason, when the header's vertex count is negative or more than a frame holds
// (neither of which readMd2 lets through). A model without frames keeps its vertex count.
std::unique_ptr<VertexModel> vertexModelFromMd2(const Md2Model& md2, std::string* reason = nullptr,
                                                ImageLoading mode = ImageLoading::Upload);

}  // namespace qx
