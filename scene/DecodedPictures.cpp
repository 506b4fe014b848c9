#include "scene/DecodedPictures.h"

#include "vertex/VertexModelFile.h"

namespace qx {

DecodedPictures::DecodedPictures(SkeletalMesh& mesh, const std::string& modelPath) {
    for (Texture& texture : mesh.textures) decode(texture, resolveImagePath(texture.name, modelPath));
}

DecodedPictures::DecodedPictures(VertexModel& model, const std::string& modelPath) {
    decode(model.skin, vertexSkinPath(modelPath));
}

DecodedPictures::~DecodedPictures() {
    for (Texture* texture : decoded_) texture->releasePixels();
}

void DecodedPictures::decode(Texture& texture, const std::string& imagePath) {
    // Pixels already there (a model read to decode) are the model's own to keep.
    if (!texture.pixels.empty()) return;
    loadTextureImage(texture, imagePath, ImageLoading::Decode);
    decoded_.push_back(&texture);
}

}  // namespace qx
