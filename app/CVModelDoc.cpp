#include "app/CVModelDoc.h"

#include <cmath>

#include "app/SharedGlContext.h"
#include "vertex/VertexInstance.h"

namespace qx::app {

CVModelDoc::CVModelDoc(std::string path, std::unique_ptr<VertexModel> model)
    : CBaseDoc(std::move(path)), model_(std::move(model)), last_(frameCount()) {}

CVModelDoc::~CVModelDoc() {
    const SharedGlScope gl;
    model_.reset();
}

bool CVModelDoc::setRange(std::int32_t first, std::int32_t last) {
    if (!VertexInstance::acceptsRange(frameCount(), first, last)) return false;
    first_ = first;
    last_ = last;
    emit rangeChanged();
    return true;
}

void CVModelDoc::setFps(float fps) {
    fps_ = std::fabs(fps);
    emit rateChanged();
}

}  // namespace qx::app
