#pragma once
// Materials and embedded images of an exported model. Colours act as the renderer's current
// colour does: multiplied with the texture, lit, and seen from both sides (the viewer does not
// cull back faces unless asked).

#include <string>

#include "gltf/GltfWriter.h"
#include "math/Vector3.h"
#include "render/Texture.h"

namespace qx {

// Adds the texture's picture as an embedded PNG image with its sampler and a glTF texture; -1
// when it holds no pixels (its image was missing or undecodable), as the renderer then draws
// untextured. The rows are written in the order the texture keeps them, bottom row first:
// texture coordinates are exported as stored, and the renderer shows row 0 at t = 0 where glTF
// shows an image's first row at v = 0.
int addTextureImage(GltfWriter& writer, const Texture& texture);

// A material of the given colour, with the texture unless it is -1.
int addMaterial(GltfWriter& writer, const std::string& name, const Vector3& colour, int texture);

}  // namespace qx
