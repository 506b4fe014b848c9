#include "vertex/VertexModelFromMd2.h"

#include "core/FileBytes.h"

namespace qx {

std::unique_ptr<VertexModel> vertexModelFromMd2(const Md2Model& md2, std::string* reason, ImageLoading mode) {
    const std::int32_t vertexCount = md2.header[Md2VertexCount];
    if (vertexCount < 0) {
        setReason(reason, "negative vertex count " + std::to_string(vertexCount));
        return nullptr;
    }
    const auto count = static_cast<std::size_t>(vertexCount);
    for (std::size_t f = 0; f < md2.frames.size(); ++f) {
        if (md2.frames[f].vertices.size() < count) {
            setReason(reason,
                      "frame " + std::to_string(f) + " holds fewer than " + std::to_string(count) + " vertices");
            return nullptr;
        }
    }

    auto model = std::make_unique<VertexModel>();
    model->vertexCount = vertexCount;
    model->frames.reserve(md2.frames.size());
    for (const Md2Frame& source : md2.frames) {
        ModelFrame frame;
        frame.name = md2FrameName(source);
        frame.vertices.assign(source.vertices.begin(), source.vertices.begin() + static_cast<std::ptrdiff_t>(count));
        model->frames.push_back(std::move(frame));
    }
    model->commands.reserve(md2.commands.size());
    for (const DrawCommand& source : md2.commands) {
        DrawCommand command;
        command.type = source.type == TriangleStrip ? TriangleStrip : TriangleFan;
        command.vertices = source.vertices;
        model->commands.push_back(std::move(command));
    }
    loadTextureImage(model->skin, md2.skinPath, mode);
    return model;
}

}  // namespace qx
