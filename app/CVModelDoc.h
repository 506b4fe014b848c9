#pragma once
// A vertex model document: the model read from a ".qv1" file, or an MD2 model converted in
// memory, with its skin, and what its window plays of it: a frame range and a rate.
//
// Changes to the range and rate are made here and announced: the view plays them, the form
// shows them.

#include <cstdint>
#include <memory>
#include <string>

#include "app/CBaseDoc.h"
#include "vertex/VertexModel.h"

namespace qx::app {

class CVModelDoc : public CBaseDoc {
    Q_OBJECT
public:
    // The rate a window first plays a vertex model at.
    static constexpr float InitialFps = 15.0f;

    // Takes the model read for the file at path (its skin uploaded in the shared GL context);
    // it plays all its frames at first.
    CVModelDoc(std::string path, std::unique_ptr<VertexModel> model);
    // Frees the skin in the shared GL context.
    ~CVModelDoc() override;

    VertexModel& model() const { return *model_; }
    std::int32_t frameCount() const { return static_cast<std::int32_t>(model_->frames.size()); }

    // Frames first..last-1 played, and their rate (frames per second, never negative).
    std::int32_t first() const { return first_; }
    std::int32_t last() const { return last_; }
    float fps() const { return fps_; }

    // Plays frames first..last-1 from the first (rangeChanged); false, changing nothing, when
    // the model has no such range (VertexInstance::acceptsRange).
    bool setRange(std::int32_t first, std::int32_t last);
    // Plays at the absolute value of fps (rateChanged).
    void setFps(float fps);

signals:
    void rangeChanged();
    void rateChanged();

private:
    std::unique_ptr<VertexModel> model_;
    std::int32_t first_ = 0;
    std::int32_t last_ = 0;
    float fps_ = InitialFps;
};

}  // namespace qx::app
