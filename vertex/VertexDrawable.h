#pragma once
// What a VertexInstance hands to the renderer: the interpolated positions and normals of the
// latest update, indexed by the commands' vertexIndex. The commands and the skin are reached
// through the owning instance's model.

#include <vector>

#include "core/Drawable.h"
#include "core/ModelKind.h"
#include "math/Vector3.h"

namespace qx {

class VertexInstance;
class VertexModel;

class VertexDrawable : public Drawable {
public:
    // The lists start with this many zero vectors, or with the model's vertex count when that
    // is larger: they are never shorter than the vertices an update writes. A model without
    // frames has no vertices to show, and its lists stay empty.
    static constexpr std::size_t InitialSize = 4000;

    int kind() const override { return VertexKind; }

    // The played model: its commands and skin.
    const VertexModel& model() const;

    std::vector<Vector3> positions;
    std::vector<Vector3> normals;
    const VertexInstance* instance = nullptr;  // the owner
};

}  // namespace qx
