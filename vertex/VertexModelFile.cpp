#include "vertex/VertexModelFile.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "core/ByteReader.h"
#include "core/ByteSink.h"
#include "core/ReadProblem.h"
#include "core/ReadWith.h"
#include "skeletal/NameHash.h"

namespace qx {

namespace {

constexpr std::size_t FrameVertexBytes = 24;
constexpr std::size_t CommandVertexBytes = 12;
// A command is at least its type and its vertex count.
constexpr std::size_t MinCommandBytes = 8;

// Frame and command vertices are laid out in memory exactly as in the file (little-endian
// floats and integers, no padding), so whole lists are written with one copy.
static_assert(sizeof(FrameVertex) == FrameVertexBytes && std::is_standard_layout_v<FrameVertex>);
static_assert(sizeof(CommandVertex) == CommandVertexBytes && std::is_standard_layout_v<CommandVertex>);

bool readFrame(ByteReader& in, std::size_t vertexCount, ModelFrame& frame, ReadProblem& problem) {
    if (!in.cString(frame.name)) return problem.failHere("name runs past the end of the file");
    return in.list(frame.vertices, vertexCount) || problem.failHere("truncated vertex data");
}

bool readCommand(ByteReader& in, DrawCommand& command, ReadProblem& problem) {
    std::int32_t vertexCount = 0;
    if (!in.i32(command.type)) return problem.failHere("truncated type");
    if (!in.count(vertexCount, CommandVertexBytes))
        return problem.failHere("missing, negative or impossible vertex count");
    return in.list(command.vertices, static_cast<std::size_t>(vertexCount));
}

// Reads forward only, letting go of each frame's bytes once the frame is read.
bool readModel(ByteReader& in, VertexModel& model, ReadProblem& problem) {
    char magic[4] = {};
    if (!in.bytes(magic, 4) || std::memcmp(magic, "QXV1", 4) != 0)
        return problem.fail("not a vertex model file (bad magic)");
    std::int32_t frameCount = 0;
    if (!in.i32(model.vertexCount) || !in.i32(frameCount)) return problem.fail("truncated header");
    const std::int32_t vertexCount = model.vertexCount;
    if (vertexCount < 0) return problem.fail("negative vertex count " + std::to_string(vertexCount));
    const std::size_t frameBytes = 1 + static_cast<std::size_t>(vertexCount) * FrameVertexBytes;
    if (frameCount < 0 || !in.fits(static_cast<std::size_t>(frameCount), frameBytes))
        return problem.fail("frame count " + std::to_string(frameCount) + " is more than the file can hold");
    model.frames.resize(static_cast<std::size_t>(frameCount));
    for (std::int32_t f = 0; f < frameCount; ++f) {
        problem.at("frame", f);
        if (!readFrame(in, static_cast<std::size_t>(vertexCount), model.frames[static_cast<std::size_t>(f)], problem))
            return false;
        in.releaseRead();
    }
    std::int32_t commandCount = 0;
    if (!in.count(commandCount, MinCommandBytes)) return problem.fail("missing, negative or impossible command count");
    model.commands.resize(static_cast<std::size_t>(commandCount));
    for (std::int32_t c = 0; c < commandCount; ++c) {
        problem.at("command", c);
        if (!readCommand(in, model.commands[static_cast<std::size_t>(c)], problem)) return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<VertexModel> parseVertexModel(const std::uint8_t* data, std::size_t size, std::string* reason) {
    return readWith(ByteReader(data, size), readModel, reason);
}

std::string vertexSkinPath(const std::string& path) {
    return path.substr(0, path.size() >= 4 ? path.size() - 4 : 0) + ".bmp";
}

std::unique_ptr<VertexModel> readVertexModel(const std::string& path, std::string* reason, ImageLoading mode) {
    auto model = readFileWith(path, readModel, reason);
    if (!model) return nullptr;
    model->nameHash = nameHash(path);
    loadTextureImage(model->skin, vertexSkinPath(path), mode);
    return model;
}

std::vector<std::uint8_t> encodeVertexModel(const VertexModel& model) {
    ByteSink out;
    out.bytes("QXV1", 4);
    out.i32(model.vertexCount);
    out.count(model.frames.size());
    const std::size_t vertexCount = vertexCountOf(model);
    for (const ModelFrame& frame : model.frames) {
        out.cString(frame.name);
        const std::size_t present = std::min(vertexCount, frame.vertices.size());
        out.bytes(frame.vertices.data(), present * FrameVertexBytes);
        for (std::size_t i = present; i < vertexCount; ++i) {
            const FrameVertex missing;
            out.bytes(&missing, FrameVertexBytes);
        }
    }
    out.count(model.commands.size());
    for (const DrawCommand& command : model.commands) {
        out.i32(command.type);
        out.count(command.vertices.size());
        out.bytes(command.vertices.data(), command.vertices.size() * CommandVertexBytes);
    }
    return out.take();
}

bool writeVertexModel(const std::string& path, const VertexModel& model, std::string* reason) {
    return writeFileAtomically(path, encodeVertexModel(model), reason);
}

}  // namespace qx
