#include "app/CSModelDoc.h"

#include <filesystem>

#include "app/SharedGlContext.h"
#include "render/ModelScene.h"

namespace qx::app {

std::string CBaseDoc::title() const { return std::filesystem::path(pathName_).filename().string(); }

std::unique_ptr<CSModelDoc> CSModelDoc::load(const std::string& path, std::string* reason) {
    const SharedGlScope gl;
    std::unique_ptr<SkeletalMesh> mesh = readMeshToShow(path, reason, ImageLoading::Upload);
    if (!mesh) return nullptr;
    auto model = std::make_unique<SkeletalModel>();
    model->addMesh(std::move(mesh));
    return std::unique_ptr<CSModelDoc>(new CSModelDoc(path, std::move(model)));
}

CSModelDoc::CSModelDoc(std::string path, std::unique_ptr<SkeletalModel> model)
    : CBaseDoc(SkeletalMeshKind, std::move(path)), model_(std::move(model)) {}

CSModelDoc::~CSModelDoc() {
    records_.clear();
    const SharedGlScope gl;
    model_.reset();
}

CSMotionDoc& CSModelDoc::addMotion(std::unique_ptr<SkeletalMotion> motion, const std::string& path) {
    SkeletalMotion& added = *motion;
    model_->addMotion(std::move(motion));
    records_.push_back(std::make_unique<CSMotionDoc>(added, path));
    return *records_.back();
}

}  // namespace qx::app
