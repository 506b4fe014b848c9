#pragma once
// Plays a VertexModel: keeps a frame range and a rate, advances by the elapsed time it is given
// and blends every vertex linearly between the frame being left and the next one. The range
// loops forever; there is no pause and no play-once.
//
// Each update writes into the instance's work lists and then exchanges them with the
// drawable's (a swap of storage, no copy), so the drawable always holds the latest result and
// nothing is allocated after construction.
//
// A range that cannot play (end <= start, as when Frame Start is typed equal to Frame End, or a
// model without frames) holds one frame: current and next are the same frame, clamped into the
// model's frames, and the time does not advance. No frame outside the model is ever read.
//
// The lists hold no more vertices than the frames do: a model without frames gets empty ones
// whatever its vertexCount says, and its drawable draws nothing.

#include <cstdint>
#include <vector>

#include "core/ModelInstance.h"
#include "core/ModelKind.h"
#include "math/Vector3.h"
#include "vertex/VertexDrawable.h"
#include "vertex/VertexModel.h"

namespace qx {

class VertexInstance : public ModelInstance {
public:
    // first = last = -1 plays the whole model. Any other range is clamped into the model's
    // frames. The rate's absolute value is taken; 0 holds the current frame.
    VertexInstance(const VertexModel& model, std::int32_t first = -1, std::int32_t last = -1, float fps = 15.0f);
    VertexInstance(const VertexInstance&) = delete;
    VertexInstance& operator=(const VertexInstance&) = delete;

    int kind() const override { return VertexKind; }

    // Advances by dt seconds (a negative or non-finite dt advances nothing) and returns the
    // drawable holding the blended vertices.
    VertexDrawable* update(float dt) override;

    // Plays first..last-1 from currentFrame (-1: from first). Returns 1, or 0 and changes nothing
    // when first < 0, last is above the frame count (compared unsigned, so a negative last is
    // refused too), or currentFrame is neither -1 nor inside first..last-1.
    int setRange(std::int32_t first, std::int32_t last, std::int32_t currentFrame);
    // Whether setRange takes first..last with currentFrame -1 on a model of frameCount frames.
    static bool acceptsRange(std::int32_t frameCount, std::int32_t first, std::int32_t last);
    // The frame a number typed by a user names: its whole part, any number beyond every frame
    // count clamped first so that the cut is safe (the range test then refuses it).
    static std::int32_t frameOfNumber(float value);

    // fps = |value|, frameDuration = 1 / |value|; taken at the next update, nothing else changes.
    void setFps(float value);

    float fraction() const { return fraction_; }
    std::int32_t current() const { return current_; }
    std::int32_t next() const { return next_; }
    std::int32_t start() const { return start_; }
    std::int32_t end() const { return end_; }
    float elapsed() const { return elapsed_; }
    float frameDuration() const { return frameDuration_; }
    float fps() const { return fps_; }
    const VertexModel& model() const { return model_; }
    const VertexDrawable& drawable() const { return drawable_; }

private:
    std::int32_t frameCount() const { return static_cast<std::int32_t>(model_.frames.size()); }
    bool playable() const;
    // current wrapped back into start..end-1 as the stored arithmetic does, in floating point.
    std::int32_t wrap(double frame) const;
    // Sets next from current; holds current when the range cannot play.
    void settle();

    float fraction_ = 0.0f;
    std::int32_t current_ = 0;
    std::int32_t next_ = 0;
    std::int32_t start_ = 0;
    std::int32_t end_ = 0;
    float elapsed_ = 0.0f;
    float frameDuration_ = 0.0f;
    float fps_ = 0.0f;
    std::vector<Vector3> positions_;
    std::vector<Vector3> normals_;
    const VertexModel& model_;
    VertexDrawable drawable_;
};

}  // namespace qx
