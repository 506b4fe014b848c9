#include "vertex/FrameClips.h"

namespace qx {

namespace {

std::string stemOf(const std::string& name) {
    std::size_t end = name.size();
    while (end > 0 && name[end - 1] >= '0' && name[end - 1] <= '9') --end;
    return name.substr(0, end);
}

}  // namespace

std::vector<FrameClip> frameClips(const std::vector<std::string>& frameNames) {
    std::vector<FrameClip> clips;
    for (std::size_t f = 0; f < frameNames.size(); ++f) {
        const auto frame = static_cast<std::int32_t>(f);
        std::string stem = stemOf(frameNames[f]);
        if (clips.empty() || clips.back().name != stem) clips.push_back({std::move(stem), frame, frame});
        clips.back().last = frame + 1;
    }
    return clips;
}

std::vector<FrameClip> frameClips(const VertexModel& model) {
    std::vector<std::string> names;
    names.reserve(model.frames.size());
    for (const ModelFrame& frame : model.frames) names.push_back(frame.name);
    return frameClips(names);
}

}  // namespace qx
