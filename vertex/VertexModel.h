#pragma once
// A vertex-animated model: a fixed number of vertices, named frames that give every vertex a
// position and a normal, triangle strips and fans that index those vertices with texture
// coordinates, and one skin. Playback (VertexInstance) blends neighbouring frames; the renderer
// draws the commands with the skin bound.
//
// The model is immutable once read. Command vertex indices are kept exactly as stored, so that
// a damaged file can still be inspected and shown; playback and drawing skip an index outside
// the vertices. The reader guarantees that every frame holds exactly vertexCount vertices.
// A model may declare vertices and hold no frame: then nothing holds them, and vertexCount,
// which the file's size does not bound, sizes no list.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Model.h"
#include "core/ModelKind.h"
#include "math/Vector3.h"
#include "render/Texture.h"

namespace qx {

struct FrameVertex {
    Vector3 position;
    Vector3 normal;  // kept exactly as stored; nothing normalises it
    bool operator==(const FrameVertex&) const = default;
};

struct ModelFrame {
    std::string name;                   // no 0 byte inside
    std::vector<FrameVertex> vertices;  // entry i belongs to vertex i
    bool operator==(const ModelFrame&) const = default;
};

struct CommandVertex {
    float s = 0.0f;
    float t = 0.0f;                // 0 is the bottom row of the skin
    std::int32_t vertexIndex = 0;  // into every frame's vertices
    bool operator==(const CommandVertex&) const = default;
};

// Draw command types. Only 1 means a strip: every other value draws as a fan and is kept as
// stored, so that a file read and written again keeps its bytes.
inline constexpr std::int32_t TriangleStrip = 1;
inline constexpr std::int32_t TriangleFan = 0;

struct DrawCommand {
    std::int32_t type = TriangleFan;
    std::vector<CommandVertex> vertices;
    bool operator==(const DrawCommand&) const = default;
};

class VertexModel : public Model {
public:
    int kind() const override { return VertexKind; }

    std::int32_t nameHash = 0;  // of the path it was read from; not stored in the file
    std::int32_t vertexCount = 0;
    std::vector<ModelFrame> frames;
    std::vector<DrawCommand> commands;
    Texture skin;  // found beside the model file, never stored in it
};

// The vertex count as a size: a negative count, which a damaged file may declare, is none.
inline std::size_t vertexCountOf(const VertexModel& model) {
    return model.vertexCount > 0 ? static_cast<std::size_t>(model.vertexCount) : 0;
}

}  // namespace qx
