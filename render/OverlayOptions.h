#pragma once
// Which overlays the renderer draws after the models: the views to see inside a model (its
// skeleton, the names of its bones, its triangles' edges, its normals, its bounds and the ground
// it stands on). The viewer's toggles and qxtool's flags both fill one of these.

#include <cstdint>

namespace qx {

enum class Wireframe : std::int32_t {
    Off,
    Over,   // the triangles' edges over the shaded model
    Alone,  // the edges instead of the shaded model
};

struct OverlayOptions {
    bool skeleton = false;   // every bone from its posed start to its posed end (skeletal meshes)
    bool boneNames = false;  // each bone's name beside it (skeletal meshes)
    Wireframe wireframe = Wireframe::Off;
    bool normals = false;  // a line per vertex along its posed normal
    bool bounds = false;   // the box around the posed positions
    bool grid = false;     // the ground grid under the lowest rest point, with the axes
    // A bone drawn in the selection colour, shown even with the skeleton off; -1 = none.
    std::int32_t selectedBone = -1;

    // True when anything at all is drawn after the models.
    bool any() const {
        return skeleton || boneNames || wireframe != Wireframe::Off || normals || bounds || grid || selectedBone >= 0;
    }
};

}  // namespace qx
