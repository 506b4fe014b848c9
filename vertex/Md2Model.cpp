#include "vertex/Md2Model.h"

#include <cstdlib>
#include <cstring>

#include "core/ByteReader.h"
#include "core/ReadProblem.h"
#include "core/ReadWith.h"
#include "math/Matrix3.h"
#include "math/Trig.h"
#include "vertex/Md2NormalTable.h"
#include "vertex/VertexModelFile.h"

namespace qx {

namespace {

constexpr std::size_t HeaderBytes = Md2HeaderFields * 4;
// Scale, translate and the 16-byte name, then 4 bytes per vertex.
constexpr std::size_t FrameHeaderBytes = 40;
constexpr std::size_t FileVertexBytes = 4;
constexpr std::size_t CommandVertexBytes = 12;
constexpr std::int32_t Md2Ident = 0x32504449;  // "IDP2"

// MD2 keeps z up; this program keeps y up. Up to rounding M maps (x, y, z) to (y, z, x). It is
// built from two quarter turns rather than written as an exact axis swap because its rounding
// (entries of about 1e-8 instead of 0) is part of what converted files hold.
Matrix3 md2AxisRotation() {
    const float angle = -90.0f * DegreeFactor;
    Matrix3 m = Matrix3::rotationY(angle);
    m.rotateZ(angle);
    return m;
}

bool readFrames(ByteReader& in, std::int32_t frameCount, std::size_t vertexCount, const Matrix3& axes,
                std::vector<Md2Frame>& frames) {
    Vector3 normals[Md2NormalCount];
    for (int k = 0; k < Md2NormalCount; ++k) normals[k] = transform(Md2Normals[k], axes);
    const Vector3 stray = transform(md2Normal(255), axes);

    frames.resize(static_cast<std::size_t>(frameCount));
    for (Md2Frame& frame : frames) {
        Vector3 scale;
        Vector3 translate;
        if (!in.vector3(scale) || !in.vector3(translate) || !in.bytes(frame.name, sizeof frame.name)) return false;
        if (!in.fits(vertexCount, FileVertexBytes)) return false;
        const std::uint8_t* p = in.current();
        in.skip(vertexCount * FileVertexBytes);
        frame.vertices.resize(vertexCount);
        for (FrameVertex& vertex : frame.vertices) {
            const Vector3 decoded{static_cast<float>(p[0]) * scale.x + translate.x,
                                  static_cast<float>(p[1]) * scale.y + translate.y,
                                  static_cast<float>(p[2]) * scale.z + translate.z};
            vertex.position = transform(decoded, axes);
            vertex.normal = p[3] < Md2NormalCount ? normals[p[3]] : stray;
            p += FileVertexBytes;
        }
    }
    return true;
}

void readCommands(ByteReader& in, std::vector<DrawCommand>& commands) {
    std::int32_t n = 0;
    while (in.i32(n) && n != 0) {
        const std::int64_t count = std::llabs(static_cast<std::int64_t>(n));
        // A group the data cannot finish is dropped: the list ends with the data.
        if (!in.fits(static_cast<std::size_t>(count), CommandVertexBytes)) return;
        DrawCommand command;
        command.type = n > 0 ? TriangleStrip : TriangleFan;
        command.vertices.resize(static_cast<std::size_t>(count));
        for (CommandVertex& vertex : command.vertices) {
            float t = 0.0f;
            in.f32(vertex.s);
            in.f32(t);
            in.i32(vertex.vertexIndex);
            // MD2 measures t from the top of the skin; skins are uploaded bottom row first.
            vertex.t = 1.0f - t;
        }
        commands.push_back(std::move(command));
    }
}

std::string offsetProblem(const char* what, std::int32_t offset, std::size_t size) {
    return std::string(what) + " offset " + std::to_string(offset) + " lies outside the file (" + std::to_string(size) +
           " bytes)";
}

}  // namespace

std::string md2FrameName(const Md2Frame& frame) {
    const void* zero = std::memchr(frame.name, 0, sizeof frame.name);
    const std::size_t length =
        zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - frame.name) : sizeof frame.name;
    return std::string(frame.name, length);
}

namespace {

// Frames and commands are found through offsets in the header, so this reader seeks.
bool readMd2Model(ByteReader& in, Md2Model& model, ReadProblem& problem) {
    const std::uint8_t* data = in.current();
    const std::size_t size = in.size();
    if (!in.bytes(model.header, HeaderBytes))
        return problem.fail(size >= 4 && std::memcmp(data, "IDP2", 4) == 0 ? "truncated MD2 header"
                                                                           : "not an MD2 file (bad magic)");
    const std::int32_t* header = model.header;
    if (header[Md2Magic] != Md2Ident) return problem.fail("not an MD2 file (bad magic)");
    if (header[Md2Version] != 8) return problem.fail("MD2 version " + std::to_string(header[Md2Version]) + " is not 8");
    const std::int32_t vertexCount = header[Md2VertexCount];
    const std::int32_t frameCount = header[Md2FrameCount];
    const std::int32_t frameOffset = header[Md2FrameOffset];
    const std::int32_t commandOffset = header[Md2CommandOffset];
    if (vertexCount < 0) return problem.fail("negative vertex count " + std::to_string(vertexCount));
    if (frameOffset < 0 || !in.seek(static_cast<std::size_t>(frameOffset)))
        return problem.fail(offsetProblem("frame", frameOffset, size));
    const std::size_t frameBytes = FrameHeaderBytes + static_cast<std::size_t>(vertexCount) * FileVertexBytes;
    if (frameCount < 0 || !in.fits(static_cast<std::size_t>(frameCount), frameBytes))
        return problem.fail(std::to_string(frameCount) + " frames of " + std::to_string(vertexCount) +
                            " vertices do not fit in the file after offset " + std::to_string(frameOffset));
    // Only now, with every size checked, is room made for the frames.
    if (!readFrames(in, frameCount, static_cast<std::size_t>(vertexCount), md2AxisRotation(), model.frames))
        return problem.fail("truncated frame data");
    // An offset equal to the file size is an empty list; past it there is nothing to read.
    if (commandOffset < 0 || !in.seek(static_cast<std::size_t>(commandOffset)))
        return problem.fail(offsetProblem("command", commandOffset, size));
    readCommands(in, model.commands);
    return true;
}

}  // namespace

std::unique_ptr<Md2Model> parseMd2(const std::uint8_t* data, std::size_t size, std::string* reason) {
    return readWith(ByteReader(data, size), readMd2Model, reason);
}

std::unique_ptr<Md2Model> readMd2(const std::string& path, std::string* reason) {
    auto model = readFileWith(path, readMd2Model, reason);
    if (model) model->skinPath = vertexSkinPath(path);
    return model;
}

}  // namespace qx
