#pragma once
// The JSON forms of vertex model parts, shared by dump (".qv1", ".md2") and play.

#include <string_view>
#include <vector>

#include "tools/qxtool/Json.h"
#include "vertex/VertexModel.h"

namespace qx::tool {

// {name, vertices[ {position, normal} ]}
Json frameJson(std::string_view name, const std::vector<FrameVertex>& vertices);
// [ {type, vertices[ {s, t, vertexIndex} ]} ]
Json commandsJson(const std::vector<DrawCommand>& commands);
// The first count entries of list (fewer when the list is shorter), as [x, y, z] arrays.
Json vectorsJson(const std::vector<Vector3>& list, std::size_t count);

}  // namespace qx::tool
