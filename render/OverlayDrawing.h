#pragma once
// The GL drawing of the overlays, after the model: the ground grid and its axes, the bounds,
// the wireframe, the normals, and the skeleton over everything (the depth test never hides it),
// its selected bone in a colour of its own and a mark at each bone's start.
//
// Lighting and texturing are off while they are drawn; every GL setting they change (the
// capabilities, colour, line width, point size, polygon mode and offset, depth function,
// vertex array) reads afterwards as before.

#include <vector>

#include "math/Vector3.h"
#include "render/OverlayGeometry.h"
#include "render/OverlayOptions.h"

namespace qx {

// Draws what the options ask for of the geometry; positions are the posed positions its
// triangles index. The caller has set the camera, as for the model.
void drawOverlays(const OverlayGeometry& geometry, const OverlayOptions& options,
                  const std::vector<Vector3>& positions);

}  // namespace qx
