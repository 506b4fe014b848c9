#pragma once
// The texture pictures of a model already open, decoded again from their image files for as
// long as this lives. A window's model keeps its textures in GL only (the pixels are released
// once uploaded); an export of what the window shows needs the pixels. Nothing else of the
// model changes: its geometry, names and GL textures stay as they are, and the pixels are
// released again at the end.

#include <string>
#include <vector>

#include "render/Texture.h"
#include "skeletal/SkeletalMesh.h"
#include "vertex/VertexModel.h"

namespace qx {

class DecodedPictures {
public:
    // modelPath: the file the model was read from, beside which its images are found.
    DecodedPictures(SkeletalMesh& mesh, const std::string& modelPath);
    DecodedPictures(VertexModel& model, const std::string& modelPath);
    ~DecodedPictures();
    DecodedPictures(const DecodedPictures&) = delete;
    DecodedPictures& operator=(const DecodedPictures&) = delete;

private:
    void decode(Texture& texture, const std::string& imagePath);

    std::vector<Texture*> decoded_;
};

}  // namespace qx
