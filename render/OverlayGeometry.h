#pragma once
// What the overlays draw, worked out from a posed drawable as plain data, without GL: the bones
// as segments, a line per vertex along its normal, the triangles whose edges the wireframe
// draws, the box around the posed positions and the ground grid. The renderer draws it; tests
// and the viewer's forms can read it.
//
// A bone's segment is its rest start and end moved by the world matrix skinning moved its
// positions by (BoneState::world), so the skeleton follows the skin exactly. The model's size
// is the diagonal of its rest box (the rest positions of a skeletal mesh, the first frame of a
// vertex model): normals are drawn 2% of it long, and the grid is scaled to it, so that neither
// changes as the model moves.
//
// The compute functions write into the caller's lists: after the first frame of a model they
// allocate nothing. Indices read from files are never trusted; what lies outside its list is
// left out, as the renderer leaves it out.

#include <cstdint>
#include <vector>

#include "math/Vector3.h"
#include "render/OverlayOptions.h"

namespace qx {

class SkeletalDrawable;
class VertexDrawable;

struct BoneSegment {
    Vector3 start;
    Vector3 end;
    std::int32_t parent = -1;  // as the mesh stores it
};

struct BoundingBox {
    Vector3 low;
    Vector3 high;
    bool empty = true;  // no point: low and high mean nothing
};

// Lines at x = lowX + i * spacing (i below linesX) from lowZ to highZ, and likewise across,
// in the plane y = height; the axes run from (0, height, 0) along +x, +y and +z.
struct GroundGrid {
    float height = 0.0f;   // the model's lowest rest point
    float spacing = 0.0f;  // 1, 2 or 5 times a power of ten; 0: no grid (no size to scale to)
    float lowX = 0.0f;
    float highX = 0.0f;
    float lowZ = 0.0f;
    float highZ = 0.0f;
    std::int32_t linesX = 0;
    std::int32_t linesZ = 0;
    float axisLength = 0.0f;
};

struct OverlayGeometry {
    float size = 0.0f;                     // diagonal of the rest box; 0 without positions
    std::vector<BoneSegment> bones;        // one per bone, in the mesh's order (skeletal meshes)
    std::vector<Vector3> normalLines;      // start and end of each vertex's normal line
    std::vector<std::uint32_t> triangles;  // three indices into the posed positions per drawn triangle
    BoundingBox bounds;                    // of the posed positions
    GroundGrid grid;
};

// Fills the parts the options ask for and empties the others. The bones are filled for the
// skeleton, the bone names and a selected bone alike.
void computeOverlayGeometry(const SkeletalDrawable& drawable, const OverlayOptions& options, OverlayGeometry& out);
void computeOverlayGeometry(const VertexDrawable& drawable, const OverlayOptions& options, OverlayGeometry& out);

BoundingBox boxOf(const Vector3* points, std::size_t count);
// The largest of 1, 2 and 5 times a power of ten at most value; 0 for a value that is not a
// positive finite number.
float roundSpacing(float value);
// The grid under a model whose rest box is rest, of the given size: spaced about a tenth of the
// size, reaching a quarter of the size beyond the box on each side.
GroundGrid groundGrid(const BoundingBox& rest, float size);

}  // namespace qx
