#include "app/CVModelDoc.h"

#include "app/SharedGlContext.h"
#include "render/ModelScene.h"

namespace qx::app {

std::unique_ptr<CVModelDoc> CVModelDoc::load(const std::string& path, std::string* reason) {
    const SharedGlScope gl;
    std::unique_ptr<VertexModel> model = readVertexModelToShow(path, reason, ImageLoading::Upload);
    if (!model) return nullptr;
    return std::unique_ptr<CVModelDoc>(new CVModelDoc(path, std::move(model)));
}

CVModelDoc::CVModelDoc(std::string path, std::unique_ptr<VertexModel> model)
    : CBaseDoc(VertexModelKind, std::move(path)), model_(std::move(model)) {}

CVModelDoc::~CVModelDoc() {
    const SharedGlScope gl;
    model_.reset();
}

}  // namespace qx::app
