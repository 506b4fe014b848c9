#include "vertex/VertexModelFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "core/ByteSink.h"
#include "skeletal/NameHash.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/VertexModelBuilder.h"

namespace qx {
namespace {

using test::TempDir;

std::unique_ptr<VertexModel> parse(const std::vector<std::uint8_t>& bytes, std::string* reason = nullptr) {
    return parseVertexModel(bytes.data(), bytes.size(), reason);
}

// Two vertices, two frames (the second with an empty name), a strip and a command of type 7.
std::vector<std::uint8_t> smallFile() {
    ByteSink out;
    out.bytes("QXV1", 4);
    out.i32(2);  // vertexCount
    out.i32(2);  // frames
    out.cString("idle1");
    for (float v : {1.0f, 2.0f, 3.0f, 0.0f, 1.0f, 0.0f, 4.0f, 5.0f, 6.0f, 0.0f, 0.0f, 2.0f}) out.f32(v);
    out.cString("");
    for (float v : {-1.0f, -2.0f, -3.0f, 0.5f, 0.5f, 0.5f, 7.0f, 8.0f, 9.0f, 0.0f, -1.0f, 0.0f}) out.f32(v);
    out.i32(2);  // commands
    out.i32(1);
    out.i32(2);
    out.f32(0.25f);
    out.f32(0.75f);
    out.i32(0);
    out.f32(1.0f);
    out.f32(0.0f);
    out.i32(1);
    out.i32(7);
    out.i32(1);
    out.f32(0.5f);
    out.f32(0.5f);
    out.i32(1);
    return out.take();
}

TEST(VertexModelFile, ModelWithoutFramesIsSixteenBytesBothWaysWhateverItsVertexCount) {
    for (const std::int32_t vertexCount : {0, 20, INT_MAX}) {
        std::vector<std::uint8_t> bytes = {'Q', 'X', 'V', '1', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        std::memcpy(bytes.data() + 4, &vertexCount, 4);
        std::string reason;
        const auto model = parse(bytes, &reason);
        ASSERT_TRUE(model) << vertexCount << ": " << reason;
        EXPECT_EQ(model->kind(), 0);
        EXPECT_EQ(model->vertexCount, vertexCount);
        EXPECT_TRUE(model->frames.empty());
        EXPECT_TRUE(model->commands.empty());
        EXPECT_EQ(encodeVertexModel(*model), bytes);
    }
}

TEST(VertexModelFile, ReadsEveryFieldInOrder) {
    const auto model = parse(smallFile());
    ASSERT_TRUE(model);
    EXPECT_EQ(model->vertexCount, 2);
    ASSERT_EQ(model->frames.size(), 2u);
    EXPECT_EQ(model->frames[0].name, "idle1");
    EXPECT_EQ(model->frames[0].vertices[0].position, Vector3(1, 2, 3));
    EXPECT_EQ(model->frames[0].vertices[1].normal, Vector3(0, 0, 2));  // kept unnormalised
    EXPECT_EQ(model->frames[1].name, "");
    EXPECT_EQ(model->frames[1].vertices[0].normal, Vector3(0.5f, 0.5f, 0.5f));
    ASSERT_EQ(model->commands.size(), 2u);
    EXPECT_EQ(model->commands[0].type, 1);
    ASSERT_EQ(model->commands[0].vertices.size(), 2u);
    EXPECT_EQ(model->commands[0].vertices[0], (CommandVertex{0.25f, 0.75f, 0}));
    EXPECT_EQ(model->commands[1].type, 7);
}

TEST(VertexModelFile, ReadAndWrittenAgainGivesTheSameBytes) {
    const auto bytes = smallFile();
    const auto model = parse(bytes);
    ASSERT_TRUE(model);
    EXPECT_EQ(encodeVertexModel(*model), bytes);
}

// A big file is read into memory of its own, and each frame's bytes are given back once read:
// every frame must still come out exactly as written.
TEST(VertexModelFile, BigFileReadFromDiskGivesEveryFrame) {
    VertexModel model;
    model.vertexCount = 1000;
    model.frames.resize(300);  // 7 MB
    for (std::size_t f = 0; f < model.frames.size(); ++f) {
        model.frames[f].name = "frame" + std::to_string(f);
        model.frames[f].vertices.resize(1000);
        for (std::size_t i = 0; i < 1000; ++i) model.frames[f].vertices[i].position = {float(f), float(i), 1.0f};
    }
    model.commands = {DrawCommand{TriangleStrip, {{0.5f, 0.5f, 999}}}};
    TempDir dir;
    const std::string path = dir.file("big.qv1");
    ASSERT_TRUE(writeVertexModel(path, model));
    std::string reason;
    const auto read = readVertexModel(path, &reason, ImageLoading::Skip);
    ASSERT_TRUE(read) << reason;
    EXPECT_TRUE(read->frames == model.frames);
    EXPECT_EQ(read->commands, model.commands);
}

TEST(VertexModelFile, EmptyFrameNameIsOneZeroByteBeforeItsVertices) {
    VertexModel model;
    model.vertexCount = 1;
    model.frames.push_back({"", {{Vector3(1, 2, 3), Vector3(4, 5, 6)}}});
    const auto bytes = encodeVertexModel(model);
    // magic, vertexCount, frameCount, then the frame: a 0 byte and six floats, then no commands.
    ASSERT_EQ(bytes.size(), 12u + 1u + 24u + 4u);
    EXPECT_EQ(bytes[12], 0);
    float x = 0;
    std::memcpy(&x, bytes.data() + 13, 4);
    EXPECT_EQ(x, 1.0f);
}

TEST(VertexModelFile, CommandIndicesOutsideTheVerticesAreKeptAsRead) {
    VertexModel model;
    test::fillVertexModel(model, 1, 2);
    model.commands[0].vertices = {{0, 0, -5}, {0, 0, 2}, {0, 0, INT_MAX}};
    const auto bytes = encodeVertexModel(model);
    const auto back = parse(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->commands[0].vertices[0].vertexIndex, -5);
    EXPECT_EQ(back->commands[0].vertices[2].vertexIndex, INT_MAX);
}

TEST(VertexModelFile, TrailingBytesAreIgnored) {
    auto bytes = smallFile();
    bytes.insert(bytes.end(), {1, 2, 3});
    const auto model = parse(bytes);
    ASSERT_TRUE(model);
    EXPECT_EQ(encodeVertexModel(*model), smallFile());
}

TEST(VertexModelFile, RejectsAnyOtherMagic) {
    std::string reason;
    for (const char* magic : {"QXV2", "QXM1", "qxv1", "\0\0\0\0"}) {
        auto bytes = smallFile();
        std::memcpy(bytes.data(), magic, 4);
        EXPECT_FALSE(parse(bytes, &reason)) << magic;
        EXPECT_EQ(reason, "not a vertex model file (bad magic)");
    }
    EXPECT_FALSE(parse({'Q', 'X'}, &reason));
}

TEST(VertexModelFile, RejectsEveryTruncation) {
    const auto bytes = smallFile();
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::string reason;
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(parse(cut, &reason)) << "cut at " << size;
        EXPECT_FALSE(reason.empty()) << "cut at " << size;
    }
}

TEST(VertexModelFile, NameRunningToTheEndStopsTheReader) {
    ByteSink out;
    out.bytes("QXV1", 4);
    out.i32(0);
    out.i32(1);
    out.bytes("endless", 7);
    std::string reason;
    EXPECT_FALSE(parse(out.take(), &reason));
    EXPECT_EQ(reason, "frame 0: name runs past the end of the file");
}

TEST(VertexModelFile, RejectsCountsTheFileCannotHold) {
    struct Case {
        std::int32_t vertexCount, frameCount;
        const char* reason;
    };
    for (const Case& c :
         {Case{-1, 0, "negative vertex count -1"}, Case{INT_MAX, 1, "frame count 1 is more than the file can hold"},
          Case{0, INT_MAX, "frame count 2147483647 is more than the file can hold"},
          Case{0, -3, "frame count -3 is more than the file can hold"},
          Case{1, 1, "frame count 1 is more than the file can hold"}}) {
        ByteSink out;
        out.bytes("QXV1", 4);
        out.i32(c.vertexCount);
        out.i32(c.frameCount);
        out.bytes("name\0abcdefghijklmnopqrs", 24);  // 24 bytes: room for one vertex at most
        std::string reason;
        EXPECT_FALSE(parse(out.take(), &reason)) << c.reason;
        EXPECT_EQ(reason, c.reason);
    }
    for (const std::int32_t commandCount : {-1, 1, INT_MAX}) {
        ByteSink out;
        out.bytes("QXV1", 4);
        out.i32(0);
        out.i32(0);
        out.i32(commandCount);
        out.i32(1);  // only four bytes of a command
        std::string reason;
        EXPECT_FALSE(parse(out.take(), &reason)) << commandCount;
        EXPECT_EQ(reason, "missing, negative or impossible command count");
    }
    ByteSink out;
    out.bytes("QXV1", 4);
    out.i32(0);
    out.i32(0);
    out.i32(1);
    out.i32(1);
    out.i32(1000);  // 1000 vertices of 12 bytes in 0 bytes
    std::string reason;
    EXPECT_FALSE(parse(out.take(), &reason));
    EXPECT_EQ(reason, "command 0: missing, negative or impossible vertex count");
}

TEST(VertexModelFile, ReaderHashesThePathAsGiven) {
    TempDir dir;
    const std::string path = dir.file("knight.qv1");
    test::writeBytes(path, smallFile());
    std::string reason;
    const auto model = readVertexModel(path, &reason, ImageLoading::Skip);
    ASSERT_TRUE(model) << reason;
    EXPECT_EQ(model->nameHash, nameHash(path));
    EXPECT_EQ(model->skin.glName, 0u);
    EXPECT_FALSE(readVertexModel(dir.file("missing.qv1"), &reason, ImageLoading::Skip));
    EXPECT_NE(reason.find("cannot open"), std::string::npos);
}

// A 2 x 1 24-bit bitmap: a red pixel and a blue one.
std::vector<std::uint8_t> tinyBmp() {
    test::BmpLayout layout;
    layout.width = 2;
    layout.rows = {{0, 0, 255, 255, 0, 0}};  // B, G, R pairs
    return test::makeBmp(layout);
}

TEST(VertexModelFile, SkinIsLoadedFromTheBitmapNamedAfterTheModelOnlyWhenAsked) {
    TempDir dir;
    const std::string path = dir.file("a.b.qv1");
    test::writeBytes(path, smallFile());
    test::writeBytes(dir.file("a.b.bmp"), tinyBmp());
    test::writeBytes(dir.file("a.bmp"), {'n', 'o'});
    const auto decoded = readVertexModel(path, nullptr, ImageLoading::Decode);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->skin.width, 2);
    EXPECT_EQ(decoded->skin.height, 1);
    EXPECT_EQ(decoded->skin.pixels.size(), 8u);
    const auto skipped = readVertexModel(path, nullptr, ImageLoading::Skip);
    ASSERT_TRUE(skipped);
    EXPECT_TRUE(skipped->skin.pixels.empty());
    // No skin at all: the model loads all the same.
    test::writeBytes(dir.file("bare.qv1"), smallFile());
    const auto bare = readVertexModel(dir.file("bare.qv1"), nullptr, ImageLoading::Decode);
    ASSERT_TRUE(bare);
    EXPECT_TRUE(bare->skin.pixels.empty());
}

TEST(VertexModelFile, SkinIsThePathLessItsLastFourCharactersPlusBmp) {
    EXPECT_EQ(vertexSkinPath("knight.qv1"), "knight.bmp");
    EXPECT_EQ(vertexSkinPath("/models/a.b.qv1"), "/models/a.b.bmp");
    EXPECT_EQ(vertexSkinPath("dir/KNIGHT.QV1"), "dir/KNIGHT.bmp");
    EXPECT_EQ(vertexSkinPath("abcd"), ".bmp");
}

TEST(VertexModelFile, WriterCommitsWholeFilesOnly) {
    TempDir dir;
    VertexModel model;
    test::fillVertexModel(model, 3, 4);
    const std::string path = dir.file("wave.qv1");
    std::string reason;
    ASSERT_TRUE(writeVertexModel(path, model, &reason)) << reason;
    EXPECT_EQ(test::readBytes(path), encodeVertexModel(model));
    const auto back = readVertexModel(path, &reason, ImageLoading::Skip);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->frames, model.frames);
    EXPECT_EQ(back->commands, model.commands);

    EXPECT_FALSE(writeVertexModel(dir.file("no/such/folder/wave.qv1"), model, &reason));
    EXPECT_FALSE(reason.empty());
}

TEST(VertexModelFile, WriterPadsShortFramesSoTheFileReadsBack) {
    VertexModel model;
    model.vertexCount = 2;
    model.frames.push_back({"short", {{Vector3(1, 1, 1), Vector3(0, 1, 0)}}});
    const auto back = parse(encodeVertexModel(model));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->frames[0].vertices.size(), 2u);
    EXPECT_EQ(back->frames[0].vertices[0].position, Vector3(1, 1, 1));
    EXPECT_EQ(back->frames[0].vertices[1], FrameVertex{});
}

}  // namespace
}  // namespace qx
