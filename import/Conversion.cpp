#include "import/Conversion.h"

#include "core/FilePath.h"
#include "import/KfmFile.h"
#include "import/MeshFromPly.h"
#include "import/MotionFromKfm.h"
#include "import/PlyFile.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "vertex/Md2Model.h"
#include "vertex/VertexModelFile.h"
#include "vertex/VertexModelFromMd2.h"

namespace qx {

namespace {

const Conversion Conversions[] = {{"md2", "qv1"}, {"ply", "qm1"}, {"kfm", "qm2"}};

}  // namespace

const Conversion* findConversion(const std::string& sourcePath) {
    const std::string extension = lowerExtension(sourcePath);
    for (const Conversion& conversion : Conversions)
        if (extension == conversion.from) return &conversion;
    return nullptr;
}

std::string convertibleExtensions() {
    std::string list;
    for (const Conversion& conversion : Conversions) list += (list.empty() ? "." : ", .") + std::string(conversion.from);
    return list;
}

std::unique_ptr<ConvertedFile> convertFile(const std::string& sourcePath, std::string* reason) {
    const Conversion* conversion = findConversion(sourcePath);
    if (conversion == nullptr) {
        if (reason != nullptr) *reason = "cannot convert this file type (known: " + convertibleExtensions() + ")";
        return nullptr;
    }
    auto result = std::make_unique<ConvertedFile>();
    const std::string from = conversion->from;
    if (from == "ply") {
        const auto ply = readPly(sourcePath, reason);
        if (!ply) return nullptr;
        result->mesh = meshFromPly(*ply);
    } else if (from == "md2") {
        const auto md2 = readMd2(sourcePath, reason);
        if (!md2) return nullptr;
        result->vertexModel = vertexModelFromMd2(*md2, reason, ImageLoading::Skip);
        if (!result->vertexModel) return nullptr;
    } else {
        const auto kfm = readKfm(sourcePath, reason);
        if (!kfm) return nullptr;
        result->motion = motionFromKfm(*kfm, 0.0f, 0.0f, CycleAnimation);
    }
    return result;
}

bool ConvertedFile::write(const std::string& path, std::string* reason) const {
    if (mesh) return writeSkeletalMesh(path, *mesh, reason);
    if (motion) return writeSkeletalMotion(path, *motion, reason);
    if (vertexModel) return writeVertexModel(path, *vertexModel, reason);
    if (reason != nullptr) *reason = "nothing to write";
    return false;
}

}  // namespace qx
