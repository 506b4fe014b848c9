#pragma once
// A vertex model document: the model read from a ".qv1" file, or an MD2 model converted in
// memory, with its skin.

#include <memory>
#include <string>

#include "app/CBaseDoc.h"
#include "vertex/VertexModel.h"

namespace qx::app {

class CVModelDoc : public CBaseDoc {
public:
    // Reads the model with its skin uploaded in the shared GL context; none, with the reader's
    // reason, when the file cannot be read.
    static std::unique_ptr<CVModelDoc> load(const std::string& path, std::string* reason);
    // Frees the skin in the shared GL context.
    ~CVModelDoc() override;

    VertexModel& model() const { return *model_; }

private:
    CVModelDoc(std::string path, std::unique_ptr<VertexModel> model);

    std::unique_ptr<VertexModel> model_;
};

}  // namespace qx::app
