#pragma once
// Where each bone's name goes in the picture, as plain data: the viewer paints the names with
// its window toolkit over the GL picture, and pictures drawn without one (qxtool) draw them
// with the stroke font here.

#include <cstdint>
#include <string_view>
#include <vector>

#include "render/OverlayGeometry.h"

namespace qx {

struct SkeletalMesh;

struct BoneLabel {
    std::string_view name;  // the mesh bone's name: valid while the mesh is
    float x = 0.0f;         // the bone's midpoint in viewport pixels from the left
    float y = 0.0f;         // and from the top
    std::int32_t bone = 0;  // index in the mesh's bones
    // The name goes on the side of the point away from the middle of the skeleton's labels
    // (their mean x), so that a pair of limbs' names spread apart rather than over each other:
    // true when it ends left of the point, false when it starts right of it.
    bool leftward = false;
};

// Appends a label for each segment whose midpoint lies between the near and far planes,
// projected through the current GL modelview, projection and viewport, and sets the side of
// the labels appended. Needs a context current.
void projectBoneLabels(const std::vector<BoneSegment>& bones, const SkeletalMesh& mesh, std::vector<BoneLabel>& out);

// Draws the labels with the stroke font, each name beside its point on its side, light over a
// dark shadow so that it reads over the model and the background alike, over everything drawn.
// Leaves the GL state and matrices as it found them.
void drawBoneLabels(const std::vector<BoneLabel>& labels, int viewportWidth, int viewportHeight);

}  // namespace qx
