#include "vertex/Md2Model.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <set>
#include <tuple>

#include "tests/support/Md2Builder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"
#include "vertex/Md2NormalTable.h"
#include "vertex/VertexModelFile.h"
#include "vertex/VertexModelFromMd2.h"

namespace qx {
namespace {

using test::Md2FrameLayout;
using test::Md2Layout;

std::unique_ptr<Md2Model> parse(const std::vector<std::uint8_t>& bytes, std::string* reason = nullptr) {
    return parseMd2(bytes.data(), bytes.size(), reason);
}

void expectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// One frame of one vertex with coordinate bytes (1, 2, 3) and normal index 5, and the
// command list given.
Md2Layout oneVertex(std::vector<test::Md2Word> commands = {test::md2Int(0)}) {
    Md2Layout layout;
    layout.vertexCount = 1;
    layout.frames.push_back({Vector3(1, 1, 1), Vector3(0, 0, 0), "base", {{1, 2, 3, 5}}});
    layout.commands = std::move(commands);
    return layout;
}

TEST(Md2NormalTable, HoldsTheIcosahedralUnitVectorsInOrder) {
    // Entries checked against the format's table: the first, the axis directions, the last.
    expectNear(Md2Normals[0], {-0.525731f, 0.0f, 0.850651f}, 0.0f);
    EXPECT_EQ(Md2Normals[5], Vector3(0, 0, 1));
    EXPECT_EQ(Md2Normals[32], Vector3(0, 1, 0));
    EXPECT_EQ(Md2Normals[52], Vector3(1, 0, 0));
    EXPECT_EQ(Md2Normals[84], Vector3(0, 0, -1));
    EXPECT_EQ(Md2Normals[104], Vector3(0, -1, 0));
    EXPECT_EQ(Md2Normals[143], Vector3(-1, 0, 0));
    expectNear(Md2Normals[161], {-0.688191f, -0.587785f, -0.425325f}, 0.0f);

    // A mistyped sign or swapped value breaks the table's symmetry: the set of 162 directions
    // is closed under mirroring each axis and under turning x -> y -> z.
    std::set<std::tuple<float, float, float>> all;
    for (const Vector3& n : Md2Normals) {
        EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0f, 2e-6f);
        all.insert({n.x, n.y, n.z});
    }
    ASSERT_EQ(all.size(), 162u);
    for (const Vector3& n : Md2Normals) {
        const float x = n.x, y = n.y, z = n.z;
        for (const auto& image :
             {std::tuple{-x, y, z}, std::tuple{x, -y, z}, std::tuple{x, y, -z}, std::tuple{y, z, x}}) {
            auto [a, b, c] = image;
            // -0.0f and 0.0f compare equal but order apart in a set: normalise the zeros.
            EXPECT_TRUE(all.count({a == 0 ? 0.0f : a, b == 0 ? 0.0f : b, c == 0 ? 0.0f : c}))
                << x << ' ' << y << ' ' << z;
        }
    }
}

TEST(Md2NormalTable, BytesBeyondTheTableGetStraightUp) {
    EXPECT_EQ(&md2Normal(161), &Md2Normals[161]);
    EXPECT_EQ(md2Normal(162), Vector3(0, 0, 1));
    EXPECT_EQ(md2Normal(255), Vector3(0, 0, 1));
}

TEST(Md2Model, DecodesPositionsIntoTheProgramsAxes) {
    const auto md2 = parse(test::md2Bytes(oneVertex()));
    ASSERT_TRUE(md2);
    ASSERT_EQ(md2->frames.size(), 1u);
    ASSERT_EQ(md2->frames[0].vertices.size(), 1u);
    // MD2 (1, 2, 3) is (2, 3, 1) here: MD2's up axis z becomes y.
    expectNear(md2->frames[0].vertices[0].position, {2, 3, 1});
    expectNear(md2->frames[0].vertices[0].normal, {0, 1, 0});  // entry 5, MD2's up

    Md2Layout layout;
    layout.vertexCount = 2;
    layout.frames.push_back({Vector3(2, 0.5f, 1), Vector3(10, 20, 30), "scaled", {{1, 4, 255, 52}, {0, 0, 0, 84}}});
    const auto scaled = parse(test::md2Bytes(layout));
    ASSERT_TRUE(scaled);
    // (1 * 2 + 10, 4 * 0.5 + 20, 255 * 1 + 30) = (12, 22, 285) in MD2. The turn is built from
    // the degree factor 0.0174533, a hair above pi / 180, so each axis picks up about 7e-7 of
    // another: 285 * 7e-7 = 2e-4.
    expectNear(scaled->frames[0].vertices[0].position, {22, 285, 12}, 5e-4f);
    expectNear(scaled->frames[0].vertices[0].normal, {0, 0, 1});  // MD2 +x
    expectNear(scaled->frames[0].vertices[1].position, {20, 30, 10}, 5e-5f);
    expectNear(scaled->frames[0].vertices[1].normal, {0, -1, 0});  // MD2 -z, straight down
}

TEST(Md2Model, NormalIndexBytesBeyondTheTablePointUp) {
    Md2Layout layout;
    layout.vertexCount = 2;
    layout.frames.push_back({Vector3(1, 1, 1), Vector3(), "", {{0, 0, 0, 162}, {0, 0, 0, 255}}});
    const auto md2 = parse(test::md2Bytes(layout));
    ASSERT_TRUE(md2);
    expectNear(md2->frames[0].vertices[0].normal, {0, 1, 0});
    expectNear(md2->frames[0].vertices[1].normal, {0, 1, 0});
}

TEST(Md2Model, CommandGroupsBecomeStripsAndFansWithTFlipped) {
    std::vector<test::Md2Word> words;
    test::addMd2Group(words, 4, {{0.0f, 0.25f, 0}, {1.0f, 0.0f, 0}, {0.5f, 1.0f, 0}, {0.5f, 0.5f, 0}});
    test::addMd2Group(words, -3, {{0.125f, 0.75f, 0}, {0.0f, 0.0f, 7}, {0.0f, 0.0f, -2}});
    words.push_back(test::md2Int(0));
    words.push_back(test::md2Int(1));  // after the closing 0: never read
    const auto md2 = parse(test::md2Bytes(oneVertex(words)));
    ASSERT_TRUE(md2);
    ASSERT_EQ(md2->commands.size(), 2u);
    EXPECT_EQ(md2->commands[0].type, 1);
    ASSERT_EQ(md2->commands[0].vertices.size(), 4u);
    EXPECT_EQ(md2->commands[0].vertices[0], (CommandVertex{0.0f, 0.75f, 0}));
    EXPECT_EQ(md2->commands[0].vertices[1].t, 1.0f);
    EXPECT_EQ(md2->commands[0].vertices[2].t, 0.0f);
    EXPECT_EQ(md2->commands[1].type, 0);
    ASSERT_EQ(md2->commands[1].vertices.size(), 3u);
    EXPECT_EQ(md2->commands[1].vertices[0], (CommandVertex{0.125f, 0.25f, 0}));
    // Indices are kept as read, even outside the vertices.
    EXPECT_EQ(md2->commands[1].vertices[1].vertexIndex, 7);
    EXPECT_EQ(md2->commands[1].vertices[2].vertexIndex, -2);
}

TEST(Md2Model, CommandListEndsAtZeroOrAtTheEndOfTheData) {
    const auto none = parse(test::md2Bytes(oneVertex({test::md2Int(0), test::md2Int(3)})));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->commands.empty());

    std::vector<test::Md2Word> unended;
    test::addMd2Group(unended, -3, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
    const auto one = parse(test::md2Bytes(oneVertex(unended)));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->commands.size(), 1u);

    // A second group announcing 5 vertices with data for 2: dropped, the first kept.
    auto cut = unended;
    test::addMd2Group(cut, 5, {{0, 0, 0}, {0, 0, 0}});
    const auto dropped = parse(test::md2Bytes(oneVertex(cut)));
    ASSERT_TRUE(dropped);
    ASSERT_EQ(dropped->commands.size(), 1u);
    EXPECT_EQ(dropped->commands[0].type, 0);

    for (const std::int32_t count : {INT_MIN, INT_MAX}) {
        const auto huge = parse(test::md2Bytes(oneVertex({test::md2Int(count)})));
        ASSERT_TRUE(huge) << count;
        EXPECT_TRUE(huge->commands.empty());
    }
    auto partial = test::md2Bytes(oneVertex({}));
    partial.push_back(3);  // two bytes of a count
    partial.push_back(0);
    const auto shortCount = parse(partial);
    ASSERT_TRUE(shortCount);
    EXPECT_TRUE(shortCount->commands.empty());
}

TEST(Md2Model, CommandOffsetAtTheEndGivesNoCommandsAndBeyondIsRejected) {
    auto bytes = test::md2Bytes(oneVertex({}));
    test::setMd2Field(bytes, Md2CommandOffset, static_cast<std::int32_t>(bytes.size()));
    const auto md2 = parse(bytes);
    ASSERT_TRUE(md2);
    EXPECT_TRUE(md2->commands.empty());
    std::string reason;
    test::setMd2Field(bytes, Md2CommandOffset, static_cast<std::int32_t>(bytes.size() + 1));
    EXPECT_FALSE(parse(bytes, &reason));
    EXPECT_EQ(reason, "command offset 113 lies outside the file (112 bytes)");
    test::setMd2Field(bytes, Md2CommandOffset, -4);
    EXPECT_FALSE(parse(bytes, &reason));
    EXPECT_EQ(reason, "command offset -4 lies outside the file (112 bytes)");
}

TEST(Md2Model, RejectsWhatIsNotAVersion8Md2) {
    std::string reason;
    auto bytes = test::md2Bytes(oneVertex());
    auto wrong = bytes;
    std::memcpy(wrong.data(), "IDPO", 4);
    EXPECT_FALSE(parse(wrong, &reason));
    EXPECT_EQ(reason, "not an MD2 file (bad magic)");
    wrong = bytes;
    test::setMd2Field(wrong, Md2Version, 7);
    EXPECT_FALSE(parse(wrong, &reason));
    EXPECT_EQ(reason, "MD2 version 7 is not 8");
    EXPECT_FALSE(parse(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 67), &reason));
    EXPECT_EQ(reason, "truncated MD2 header");
    EXPECT_FALSE(parse({}, &reason));
    EXPECT_EQ(reason, "not an MD2 file (bad magic)");
}

TEST(Md2Model, RejectsFramesTheFileCannotHold) {
    // 68 header + 44 frame + 4 command bytes: one frame has room for 2 vertices, not 3.
    const auto bytes = test::md2Bytes(oneVertex());
    struct Case {
        int field;
        std::int32_t value;
        const char* reason;
    };
    for (const Case& c :
         {Case{Md2FrameCount, 3, "3 frames of 1 vertices do not fit in the file after offset 68"},
          Case{Md2FrameCount, -1, "-1 frames of 1 vertices do not fit in the file after offset 68"},
          Case{Md2VertexCount, 3, "1 frames of 3 vertices do not fit in the file after offset 68"},
          Case{Md2VertexCount, -1, "negative vertex count -1"},
          Case{Md2VertexCount, INT_MAX, "1 frames of 2147483647 vertices do not fit in the file after offset 68"},
          Case{Md2FrameOffset, 80, "1 frames of 1 vertices do not fit in the file after offset 80"},
          Case{Md2FrameOffset, 117, "frame offset 117 lies outside the file (116 bytes)"},
          Case{Md2FrameOffset, INT_MIN, "frame offset -2147483648 lies outside the file (116 bytes)"}}) {
        auto damaged = bytes;
        test::setMd2Field(damaged, c.field, c.value);
        std::string reason;
        EXPECT_FALSE(parse(damaged, &reason)) << c.reason;
        EXPECT_EQ(reason, c.reason);
    }
    // Without frames no vertex is stored, however many the header declares: all of it fits.
    auto frameless = bytes;
    test::setMd2Field(frameless, Md2FrameCount, 0);
    test::setMd2Field(frameless, Md2VertexCount, INT_MAX);
    std::string reason;
    const auto empty = parse(frameless, &reason);
    ASSERT_TRUE(empty) << reason;
    EXPECT_TRUE(empty->frames.empty());
    EXPECT_EQ(empty->header[Md2VertexCount], INT_MAX);
}

TEST(Md2Model, FrameNamesStopAtTheFirstZeroByteOrAfterSixteen) {
    Md2Layout layout;
    layout.vertexCount = 0;
    layout.frames.push_back({Vector3(), Vector3(), "sixteen_letters!", {}});
    layout.frames.push_back({Vector3(), Vector3(), std::string("run1\0\xcc\xcc", 7), {}});
    layout.commands = {test::md2Int(0)};
    const auto md2 = parse(test::md2Bytes(layout));
    ASSERT_TRUE(md2);
    EXPECT_EQ(md2FrameName(md2->frames[0]), "sixteen_letters!");
    EXPECT_EQ(md2FrameName(md2->frames[1]), "run1");
    const auto model = vertexModelFromMd2(*md2, nullptr, ImageLoading::Skip);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->frames[0].name.size(), 16u);
    EXPECT_EQ(model->frames[1].name, "run1");
}

TEST(VertexModelFromMd2, CarriesFramesAndCommandsIntoAFileThatReadsBack) {
    Md2Layout layout;
    layout.vertexCount = 2;
    layout.frames.push_back({Vector3(1, 1, 1), Vector3(), "pose1", {{1, 2, 3, 0}, {4, 5, 6, 52}}});
    layout.frames.push_back({Vector3(1, 1, 1), Vector3(), "pose2", {{2, 2, 3, 0}, {4, 5, 7, 52}}});
    test::addMd2Group(layout.commands, -3, {{0.5f, 0.25f, 0}, {1.0f, 0.0f, 1}, {0.0f, 0.0f, 1}});
    layout.commands.push_back(test::md2Int(0));
    const auto md2 = parse(test::md2Bytes(layout));
    ASSERT_TRUE(md2);
    const auto model = vertexModelFromMd2(*md2, nullptr, ImageLoading::Skip);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->vertexCount, 2);
    EXPECT_EQ(model->nameHash, 0);
    ASSERT_EQ(model->frames.size(), 2u);
    EXPECT_EQ(model->frames[1].name, "pose2");
    EXPECT_EQ(model->frames[1].vertices, md2->frames[1].vertices);
    ASSERT_EQ(model->commands.size(), 1u);
    EXPECT_EQ(model->commands[0].type, 0);
    EXPECT_EQ(model->commands[0].vertices[0].t, 0.75f);

    const auto bytes = encodeVertexModel(*model);
    const auto back = parseVertexModel(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->frames, model->frames);
    EXPECT_EQ(back->commands, model->commands);
}

TEST(VertexModelFromMd2, TypesOtherThanStripBecomeFansAndBadModelsAreRefused) {
    Md2Model md2;
    md2.header[Md2VertexCount] = 1;
    md2.frames.resize(1);
    md2.frames[0].vertices.resize(3);
    md2.commands.push_back({5, {}});
    md2.commands.push_back({1, {}});
    const auto model = vertexModelFromMd2(md2, nullptr, ImageLoading::Skip);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->frames[0].vertices.size(), 1u);  // the first vertexCount entries only
    EXPECT_EQ(model->commands[0].type, 0);
    EXPECT_EQ(model->commands[1].type, 1);

    std::string reason;
    md2.header[Md2VertexCount] = 4;
    EXPECT_FALSE(vertexModelFromMd2(md2, &reason, ImageLoading::Skip));
    EXPECT_EQ(reason, "frame 0 holds fewer than 4 vertices");
    md2.frames.clear();  // no frame is short of the 4 vertices
    const auto frameless = vertexModelFromMd2(md2, &reason, ImageLoading::Skip);
    ASSERT_TRUE(frameless) << reason;
    EXPECT_EQ(frameless->vertexCount, 4);
    md2.frames.resize(1);
    md2.header[Md2VertexCount] = -1;
    EXPECT_FALSE(vertexModelFromMd2(md2, &reason, ImageLoading::Skip));
}

TEST(Md2Model, ReaderNamesTheSkinAfterTheModel) {
    test::TempDir dir;
    const std::string path = dir.file("ogre.v2.MD2");
    test::writeBytes(path, test::md2Bytes(oneVertex()));
    std::string reason;
    const auto md2 = readMd2(path, &reason);
    ASSERT_TRUE(md2) << reason;
    EXPECT_EQ(md2->skinPath, dir.file("ogre.v2.bmp"));
    EXPECT_FALSE(readMd2(dir.file("none.md2"), &reason));
}

// Real models made by other people. Expected positions are worked out by hand from the bytes
// of the file: scale * byte + translate, then MD2 (x, y, z) becomes (y, z, x).
TEST(Md2RealModels, FlagHasTenFramesOfFansAndItsFirstVertexWhereTheBytesPutIt) {
    QX_REQUIRE_TESTDATA("md2/flag.md2");
    std::string reason;
    const auto md2 = readMd2((test::testDataDir() / "md2/flag.md2").string(), &reason);
    ASSERT_TRUE(md2) << reason;
    EXPECT_EQ(md2->header[Md2VertexCount], 106);
    ASSERT_EQ(md2->frames.size(), 10u);
    // "stand01" followed by a 0 and garbage (0xCC 0xCC 0xCC 0xCC 0x50 0x0E 0x10 0x02).
    EXPECT_EQ(md2FrameName(md2->frames[0]), "stand01");
    EXPECT_EQ(static_cast<unsigned char>(md2->frames[0].name[8]), 0xCCu);
    EXPECT_EQ(md2FrameName(md2->frames[1]), "stand02");
    ASSERT_EQ(md2->frames[0].vertices.size(), 106u);
    // Frame 0 at offset 4964: scale (0x3C2350C0, 0x3E29FBE8, 0x3EC7FB2E) = (0.00996798, 0.166,
    // 0.390588), translate (0xBFA61C7A, 0x3DCCCCCD, 0) = (-1.297744, 0.1, 0); vertex 0 at 5004 is
    // 82 05 B0 65: bytes (130, 5, 176), normal 101 = (0.688191, -0.587785, -0.425325).
    // MD2 position (130 * 0.00996798 - 1.297744, 5 * 0.166 + 0.1, 176 * 0.390588) =
    // (-0.0019063, 0.93, 68.743527).
    expectNear(md2->frames[0].vertices[0].position, {0.93f, 68.743527f, -0.0019063f}, 1e-4f);
    expectNear(md2->frames[0].vertices[0].normal, {-0.587785f, -0.425325f, 0.688191f});
    ASSERT_EQ(md2->commands.size(), 204u);
    for (const DrawCommand& command : md2->commands) {
        EXPECT_EQ(command.type, 0);
        for (const CommandVertex& v : command.vertices) {
            EXPECT_GE(v.vertexIndex, 0);
            EXPECT_LT(v.vertexIndex, 106);
        }
    }
    // The first group at 9604: count -3, then s 0x3F7CFB2B (0.98820752), t 0x3F3075FE
    // (0.68930042), index 0.
    ASSERT_EQ(md2->commands[0].vertices.size(), 3u);
    EXPECT_NEAR(md2->commands[0].vertices[0].s, 0.98820752f, 1e-7f);
    EXPECT_NEAR(md2->commands[0].vertices[0].t, 1.0f - 0.68930042f, 1e-7f);
    EXPECT_EQ(md2->commands[0].vertices[0].vertexIndex, 0);
}

TEST(Md2RealModels, FaerieSydneyAndDolphinHaveTheirFramesVerticesAndGroups) {
    struct Expected {
        const char* file;
        std::size_t frames;
        std::int32_t vertices;
        std::size_t strips, fans;
        const char* firstName;
        const char* lastName;
    };
    for (const Expected& e : {Expected{"md2/faerie.md2", 198, 366, 30, 166, "stand01", "death308"},
                              Expected{"md2/sydney.md2", 198, 342, 37, 147, "stand1", "death20"},
                              // "jump45" is followed by a 0 and garbage bytes.
                              Expected{"md2/dolphin.md2", 59, 324, 36, 76, "glide1", "jump45"}}) {
        QX_REQUIRE_TESTDATA(e.file);
        std::string reason;
        const auto md2 = readMd2((test::testDataDir() / e.file).string(), &reason);
        ASSERT_TRUE(md2) << e.file << ": " << reason;
        EXPECT_EQ(md2->frames.size(), e.frames) << e.file;
        EXPECT_EQ(md2->header[Md2VertexCount], e.vertices) << e.file;
        std::size_t strips = 0;
        for (const DrawCommand& c : md2->commands) strips += c.type == 1 ? 1 : 0;
        EXPECT_EQ(strips, e.strips) << e.file;
        EXPECT_EQ(md2->commands.size() - strips, e.fans) << e.file;
        if (e.firstName) { EXPECT_EQ(md2FrameName(md2->frames.front()), e.firstName) << e.file; }
        if (e.lastName) { EXPECT_EQ(md2FrameName(md2->frames.back()), e.lastName) << e.file; }
        const auto model = vertexModelFromMd2(*md2, &reason, ImageLoading::Skip);
        ASSERT_TRUE(model) << e.file;
        for (const ModelFrame& frame : model->frames)
            EXPECT_EQ(frame.vertices.size(), static_cast<std::size_t>(e.vertices));
    }
}

TEST(Md2RealModels, FaerieFirstVertexWhereTheBytesPutIt) {
    QX_REQUIRE_TESTDATA("md2/faerie.md2");
    const auto md2 = readMd2((test::testDataDir() / "md2/faerie.md2").string());
    ASSERT_TRUE(md2);
    // Frame 0 at 9864: scale (0.0787666, 0.1027995, 0.2037974), translate (-16.813763,
    // -14.130598, -24.530266); vertex 0 is D9 D6 7B 9B: bytes (217, 214, 123), normal 155 =
    // (-0.850651, 0, -0.525731). MD2 position (0.278596, 7.868494, 0.536818).
    expectNear(md2->frames[0].vertices[0].position, {7.868494f, 0.536818f, 0.278596f}, 1e-4f);
    expectNear(md2->frames[0].vertices[0].normal, {0.0f, -0.525731f, -0.850651f});
}

TEST(Md2RealModels, SydneyTakesTheSkinBesideItWhenImagesAreAskedFor) {
    QX_REQUIRE_TESTDATA("md2/sydney.bmp");
    const auto md2 = readMd2((test::testDataDir() / "md2/sydney.md2").string());
    ASSERT_TRUE(md2);
    EXPECT_EQ(md2->skinPath, (test::testDataDir() / "md2/sydney.bmp").string());
    const auto decoded = vertexModelFromMd2(*md2, nullptr, ImageLoading::Decode);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->skin.width, 308);
    EXPECT_EQ(decoded->skin.height, 193);
    const auto skipped = vertexModelFromMd2(*md2, nullptr, ImageLoading::Skip);
    ASSERT_TRUE(skipped);
    EXPECT_EQ(skipped->skin.width, 0);
}

TEST(Md2RealModels, MalformedFileWithNoVerticesReadsAsOneEmptyFrame) {
    QX_REQUIRE_TESTDATA("md2/malformed_zero_numvertices.md2");
    std::string reason;
    const auto md2 = readMd2((test::testDataDir() / "md2/malformed_zero_numvertices.md2").string(), &reason);
    ASSERT_TRUE(md2) << reason;
    ASSERT_EQ(md2->frames.size(), 1u);
    EXPECT_TRUE(md2->frames[0].vertices.empty());
    // Its command offset is 0: the first "count" is the magic, far more than the file holds.
    EXPECT_TRUE(md2->commands.empty());
}

}  // namespace
}  // namespace qx
