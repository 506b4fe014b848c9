#include "vertex/VertexInstance.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace qx {

namespace {

// The vertices an update can blend: no more than the frames hold. A model without frames
// declares a count that nothing in its file bounds; it gets no room at all.
std::size_t heldVertices(const VertexModel& model) {
    std::size_t held = 0;
    for (const ModelFrame& frame : model.frames) held = std::max(held, frame.vertices.size());
    return std::min(held, vertexCountOf(model));
}

}  // namespace

VertexInstance::VertexInstance(const VertexModel& model, std::int32_t first, std::int32_t last, float fps)
    : model_(model) {
    const std::int32_t count = frameCount();
    if (first == -1 && last == -1) {
        first = 0;
        last = count;
    }
    start_ = std::clamp(first, 0, count);
    end_ = std::clamp(last, 0, count);
    current_ = start_;
    setFps(fps);
    settle();

    const std::size_t vertices = heldVertices(model);
    positions_.assign(vertices, Vector3{});
    normals_.assign(vertices, Vector3{});
    // The drawable's lists and the work lists trade places on every update, so both pairs must
    // hold every vertex however many the model has. Without frames both stay empty, so that
    // the renderer, which skips command vertices beyond the lists, draws nothing.
    const std::size_t drawn = model.frames.empty() ? 0 : std::max(VertexDrawable::InitialSize, vertices);
    drawable_.positions.assign(drawn, Vector3{});
    drawable_.normals.assign(drawn, Vector3{});
    drawable_.instance = this;
}

bool VertexInstance::playable() const { return start_ >= 0 && start_ < end_ && end_ <= frameCount(); }

std::int32_t VertexInstance::wrap(double frame) const {
    return static_cast<std::int32_t>(std::fmod(frame - end_, static_cast<double>(end_ - start_)) + start_);
}

void VertexInstance::settle() {
    if (!playable()) {
        current_ = next_ = std::clamp(current_, 0, std::max(frameCount() - 1, 0));
        fraction_ = 0.0f;
        elapsed_ = 0.0f;
        return;
    }
    next_ = current_ + 1;
    if (next_ >= end_) next_ = wrap(next_);
}

void VertexInstance::setFps(float value) {
    fps_ = std::fabs(value);
    frameDuration_ = 1.0f / fps_;
}

bool VertexInstance::acceptsRange(std::int32_t frameCount, std::int32_t first, std::int32_t last) {
    return first >= 0 && static_cast<std::uint32_t>(last) <= static_cast<std::uint32_t>(frameCount);
}

std::int32_t VertexInstance::frameOfNumber(float value) {
    // NaN compares false both ways and would pass the clamp: it names no frame.
    if (std::isnan(value)) return -1;
    return static_cast<std::int32_t>(std::clamp(value, -1.0f, 2147483520.0f));
}

int VertexInstance::setRange(std::int32_t first, std::int32_t last, std::int32_t currentFrame) {
    if (!acceptsRange(frameCount(), first, last)) return 0;
    if (currentFrame != -1 && (currentFrame < first || currentFrame >= last)) return 0;
    start_ = first;
    end_ = last;
    fraction_ = 0.0f;
    elapsed_ = 0.0f;
    current_ = currentFrame == -1 ? first : currentFrame;
    settle();
    return 1;
}

VertexDrawable* VertexInstance::update(float dt) {
    // Time only moves forward here: a NaN or infinite step would poison elapsed for good.
    if (!(dt >= 0.0f) || std::isinf(dt)) dt = 0.0f;
    if (playable()) {
        elapsed_ += dt;
        if (elapsed_ < frameDuration_) {
            fraction_ = elapsed_ * fps_;
        } else {
            const float ratio = elapsed_ / frameDuration_;
            if (!std::isfinite(ratio)) {
                // An infinite or NaN rate has no frame to go to: hold the current one.
                elapsed_ = 0.0f;
                fraction_ = 0.0f;
            } else {
                // Counted in double: a huge step must wrap, not overflow an integer.
                const double steps = std::trunc(static_cast<double>(ratio));
                elapsed_ = std::fmod(elapsed_, frameDuration_);
                fraction_ = elapsed_ * fps_;
                const double advanced = current_ + steps;
                current_ = advanced >= end_ ? wrap(advanced) : static_cast<std::int32_t>(advanced);
                next_ = current_ + 1;
                if (next_ >= end_) next_ = wrap(next_);
            }
        }
    }

    if (!model_.frames.empty()) {
        const auto& a = model_.frames[static_cast<std::size_t>(next_)].vertices;
        const auto& b = model_.frames[static_cast<std::size_t>(current_)].vertices;
        const std::size_t count = std::min({vertexCountOf(model_), a.size(), b.size()});
        const float f = fraction_;
        const float g = 1.0f - fraction_;
        for (std::size_t i = 0; i < count; ++i) {
            const Vector3& pa = a[i].position;
            const Vector3& pb = b[i].position;
            const Vector3& na = a[i].normal;
            const Vector3& nb = b[i].normal;
            positions_[i] = {f * pa.x + g * pb.x, f * pa.y + g * pb.y, f * pa.z + g * pb.z};
            normals_[i] = {f * na.x + g * nb.x, f * na.y + g * nb.y, f * na.z + g * nb.z};
        }
    }
    std::swap(positions_, drawable_.positions);
    std::swap(normals_, drawable_.normals);
    return &drawable_;
}

}  // namespace qx
