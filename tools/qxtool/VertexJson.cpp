#include "tools/qxtool/VertexJson.h"

#include <algorithm>

namespace qx::tool {

Json frameJson(std::string_view name, const std::vector<FrameVertex>& vertices) {
    Json list = Json::array();
    for (const FrameVertex& vertex : vertices) {
        Json v;
        v["position"] = jsonVector(vertex.position);
        v["normal"] = jsonVector(vertex.normal);
        list.push_back(std::move(v));
    }
    Json out;
    out["name"] = jsonBytes(name);
    out["vertices"] = std::move(list);
    return out;
}

Json commandsJson(const std::vector<DrawCommand>& commands) {
    Json out = Json::array();
    for (const DrawCommand& command : commands) {
        Json vertices = Json::array();
        for (const CommandVertex& vertex : command.vertices) {
            Json v;
            v["s"] = jsonFloat(vertex.s);
            v["t"] = jsonFloat(vertex.t);
            v["vertexIndex"] = vertex.vertexIndex;
            vertices.push_back(std::move(v));
        }
        Json c;
        c["type"] = command.type;
        c["vertices"] = std::move(vertices);
        out.push_back(std::move(c));
    }
    return out;
}

Json vectorsJson(const std::vector<Vector3>& list, std::size_t count) {
    Json out = Json::array();
    const std::size_t n = std::min(count, list.size());
    for (std::size_t i = 0; i < n; ++i) out.push_back(jsonVector(list[i]));
    return out;
}

}  // namespace qx::tool
