#pragma once
// A glTF asset without a skin as a vertex model (see GltfImport.h for the whole): every mesh the
// nodes show, placed in the world, its frames each animation sampled at a rate (node transforms
// and morph weights as glTF plays them), named "<animation><number>" so that each animation
// shows as a clip; a still asset is one frame. Triangles become three-vertex draw commands; the
// first base-colour picture becomes the skin.

#include <string>
#include <vector>

#include "import/GltfAnimation.h"
#include "import/GltfDocument.h"
#include "import/GltfImport.h"
#include "import/GltfNodeTree.h"

namespace qx {

bool importVertexModel(const GltfDocument& document, const GltfNodeTree& tree,
                       const std::vector<GltfAnimation>& animations, const GltfImportOptions& options,
                       GltfImport& result, std::string* reason);

}  // namespace qx
