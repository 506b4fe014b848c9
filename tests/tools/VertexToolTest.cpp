// End-to-end runs of the real qxtool binary on vertex models and MD2 files.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "render/ImageDecoders.h"
#include "scene/OpenFile.h"
#include "tests/support/Md2Builder.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"
#include "tests/support/VertexModelBuilder.h"
#include "vertex/VertexModelFile.h"

namespace qx {
namespace {

using nlohmann::json;
using test::quoted;
using test::runQxtool;
using test::TempDir;

// A ten-frame model "wave1".."wave10" of two vertices: vertex i of frame k at (k, 10 i, -k).
std::string writeWaveModel(const TempDir& dir, const std::string& name = "wave.qv1") {
    VertexModel model;
    test::fillVertexModel(model, 10, 2);
    const std::string path = dir.file(name);
    EXPECT_TRUE(writeVertexModel(path, model));
    return path;
}

std::vector<std::uint8_t> smallMd2() {
    test::Md2Layout layout;
    layout.vertexCount = 1;
    layout.frames.push_back({Vector3(1, 1, 1), Vector3(), "stand1", {{1, 2, 3, 5}}});
    layout.frames.push_back({Vector3(1, 1, 1), Vector3(), "stand2", {{2, 2, 3, 5}}});
    test::addMd2Group(layout.commands, -3, {{0.0f, 0.25f, 0}, {1.0f, 0.0f, 0}, {0.0f, 1.0f, 0}});
    layout.commands.push_back(test::md2Int(0));
    return test::md2Bytes(layout);
}

TEST(QxtoolPlay, ScriptSetsRangeRateAndStepsThroughFrames) {
    TempDir dir;
    const std::string model = writeWaveModel(dir);
    const auto run = runQxtool("play " + quoted(model),
                               "# the whole model at 15 fps to begin with\n"
                               "dump\n"
                               "range 0 10 9\n"
                               "fps -10\n"
                               "\n"
                               "update 0.25\n"
                               "dump\n"
                               "range 2 5 7\n"
                               "new -1 -1 0\n"
                               "update 100\n"
                               "dump\n");
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    std::string line;
    std::vector<json> out;
    while (std::getline(lines, line)) out.push_back(json::parse(line));
    ASSERT_EQ(out.size(), 5u);

    // Before any update: the start state and zero vertices, vertexCount of them.
    EXPECT_EQ(out[0]["current"], 0);
    EXPECT_EQ(out[0]["next"], 1);
    EXPECT_EQ(out[0]["start"], 0);
    EXPECT_EQ(out[0]["end"], 10);
    EXPECT_EQ(out[0]["fps"], 15.0);
    EXPECT_EQ(out[0]["positions"], json::parse("[[0.0,0.0,0.0],[0.0,0.0,0.0]]"));
    EXPECT_EQ(out[0]["normals"].size(), 2u);

    EXPECT_EQ(out[1], json::parse(R"({"setRange": 1})"));
    // 0.25 s at 10 fps from frame 9: two frames on, 11 wraps to 1, half way to 2.
    EXPECT_EQ(out[2]["current"], 1);
    EXPECT_EQ(out[2]["next"], 2);
    EXPECT_EQ(out[2]["fps"], 10.0);
    EXPECT_NEAR(out[2]["fraction"].get<double>(), 0.5, 1e-5);
    EXPECT_NEAR(out[2]["elapsed"].get<double>(), 0.05, 1e-6);
    EXPECT_NEAR(out[2]["positions"][1][0].get<double>(), 1.5, 1e-4);
    EXPECT_NEAR(out[2]["positions"][1][1].get<double>(), 10.0, 1e-4);
    EXPECT_NEAR(out[2]["normals"][1][1].get<double>(), 1.5, 1e-4);

    EXPECT_EQ(out[3], json::parse(R"({"setRange": 0})"));
    // A new instance at rate 0 holds frame 0 however long it runs.
    EXPECT_EQ(out[4]["current"], 0);
    EXPECT_EQ(out[4]["fraction"], 0.0);
    EXPECT_EQ(out[4]["positions"], json::parse("[[0.0,0.0,-0.0],[0.0,10.0,-0.0]]"));
}

TEST(QxtoolPlay, MalformedLineAnywhereIsAUsageErrorBeforeAnythingRuns) {
    TempDir dir;
    const std::string model = writeWaveModel(dir);
    for (const char* script : {"dump\nupdate\n", "dump\nupdate 0.1 0.2\n", "dump\nrange 1 2 x\n", "dump\nplay\n"}) {
        const auto run = runQxtool("play " + quoted(model), script);
        EXPECT_EQ(run.status, 2) << script;
        EXPECT_NE(run.err.find("line 2"), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << script;  // checked whole: the dump before the bad line never runs
    }
    const auto missing = runQxtool("play " + quoted(dir.file("none.qv1")), "dump\n");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("qxtool: " + dir.file("none.qv1") + ": cannot open", 0), 0u) << missing.err;
}

TEST(QxtoolDump, VertexModelKeysInContractOrder) {
    TempDir dir;
    const std::string model = writeWaveModel(dir);
    const auto run = runQxtool("dump " + quoted(model));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto doc = nlohmann::ordered_json::parse(run.out);
    std::vector<std::string> keys;
    for (const auto& item : doc.items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"type", "nameHash", "vertexCount", "frames", "commands"}));
    EXPECT_EQ(doc["type"], "qv1");
    EXPECT_EQ(doc["vertexCount"], 2);
    ASSERT_EQ(doc["frames"].size(), 10u);
    EXPECT_EQ(doc["frames"][3]["name"], "wave4");
    EXPECT_EQ(doc["frames"][3]["vertices"][1],
              nlohmann::ordered_json::parse(R"({"position": [3.0, 10.0, -3.0], "normal": [0.0, 3.0, 1.0]})"));
    EXPECT_EQ(doc["commands"][0]["type"], 1);
    EXPECT_EQ(doc["commands"][0]["vertices"][1],
              nlohmann::ordered_json::parse(R"({"s": 0.5, "t": 0.25, "vertexIndex": 1})"));
}

TEST(QxtoolDump, Md2WithHeaderAndSkinPath) {
    TempDir dir;
    const std::string path = dir.file("tiny.md2");
    test::writeBytes(path, smallMd2());
    const auto run = runQxtool("dump " + quoted(path));
    ASSERT_EQ(run.status, 0) << run.err;
    const auto doc = nlohmann::ordered_json::parse(run.out);
    std::vector<std::string> keys;
    for (const auto& item : doc.items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"type", "header", "skinPath", "frames", "commands"}));
    EXPECT_EQ(doc["header"].size(), 17u);
    EXPECT_EQ(doc["header"][0], 0x32504449);
    EXPECT_EQ(doc["header"][6], 1);
    EXPECT_EQ(doc["skinPath"], dir.file("tiny.bmp"));
    EXPECT_EQ(doc["frames"][1]["name"], "stand2");
    EXPECT_EQ(doc["commands"][0]["type"], 0);
    EXPECT_EQ(doc["commands"][0]["vertices"][0]["t"], 0.75);
}

TEST(QxtoolInfo, VertexKindsSummariseOrFail) {
    TempDir dir;
    const std::string model = writeWaveModel(dir);
    const std::string md2 = dir.file("tiny.md2");
    test::writeBytes(md2, smallMd2());
    const auto run = runQxtool("info " + quoted(model) + " " + quoted(md2));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("frames: 10"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("animations: wave 0-9"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("animations: stand 0-1"), std::string::npos) << run.out;
    test::writeBytes(dir.file("bad.md2"), {'I', 'D', 'P', '2'});
    EXPECT_EQ(runQxtool("info " + quoted(dir.file("bad.md2"))).status, 1);
}

TEST(QxtoolConvert, Md2GoesBesideItsSourceUnderTheProposedName) {
    TempDir dir;
    test::writeBytes(dir.file("a.b.MD2"), smallMd2());
    const auto run = runQxtool("convert " + quoted(dir.file("a.b.MD2")));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.empty());
    std::string reason;
    const auto model = readVertexModelToShow(dir.file("a.b.qv1"), &reason, ImageLoading::Skip);
    ASSERT_TRUE(model) << reason;
    EXPECT_EQ(model->vertexCount, 1);
    ASSERT_EQ(model->frames.size(), 2u);
    EXPECT_EQ(model->frames[0].name, "stand1");
    // MD2 (1, 2, 3) becomes (2, 3, 1); t 0.25 becomes 0.75.
    EXPECT_NEAR(model->frames[0].vertices[0].position.x, 2.0f, 1e-5f);
    EXPECT_NEAR(model->frames[0].vertices[0].position.y, 3.0f, 1e-5f);
    EXPECT_NEAR(model->frames[0].vertices[0].position.z, 1.0f, 1e-5f);
    ASSERT_EQ(model->commands.size(), 1u);
    EXPECT_EQ(model->commands[0].type, 0);
    EXPECT_EQ(model->commands[0].vertices[0].t, 0.75f);
}

TEST(QxtoolConvert, FailureLeavesAnExistingDestinationAsItWas) {
    TempDir dir;
    test::writeBytes(dir.file("broken.md2"), {'I', 'D', 'P', '2', 7, 0, 0, 0});
    test::writeBytes(dir.file("broken.qv1"), {'k', 'e', 'e', 'p'});
    test::writeBytes(dir.file("good.md2"), smallMd2());
    // One bad source among good ones: the good one is converted, the status says 1.
    const auto run = runQxtool("convert " + quoted(dir.file("broken.md2")) + " " + quoted(dir.file("good.md2")));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "qxtool: " + dir.file("broken.md2") + ": truncated MD2 header\n");
    EXPECT_EQ(test::readBytes(dir.file("broken.qv1")), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
    EXPECT_TRUE(std::filesystem::exists(dir.file("good.qv1")));

    // An unwritable destination names the destination and leaves nothing behind.
    const auto unwritable =
        runQxtool("convert " + quoted(dir.file("good.md2")) + " -o " + quoted(dir.file("no/dir/x.qv1")));
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err.rfind("qxtool: " + dir.file("no/dir/x.qv1") + ": cannot write", 0), 0u) << unwritable.err;
}

TEST(QxtoolConvert, UsageAndUnknownKinds) {
    TempDir dir;
    test::writeBytes(dir.file("a.md2"), smallMd2());
    test::writeBytes(dir.file("b.md2"), smallMd2());
    const auto two = runQxtool("convert " + quoted(dir.file("a.md2")) + " " + quoted(dir.file("b.md2")) + " -o " +
                               quoted(dir.file("out.qv1")));
    EXPECT_EQ(two.status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.qv1")));
    EXPECT_EQ(runQxtool("convert").status, 2);
    test::writeBytes(dir.file("notes.txt"), {'h', 'i'});
    const auto unknown = runQxtool("convert " + quoted(dir.file("notes.txt")));
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("cannot convert this file type"), std::string::npos);
}

TEST(QxtoolConvert, RealFlagMd2ReadsBackWithItsFramesAndPositions) {
    QX_REQUIRE_TESTDATA("md2/flag.md2");
    TempDir dir;
    const std::string source = (test::testDataDir() / "md2/flag.md2").string();
    const auto run = runQxtool("convert " + quoted(source) + " -o " + quoted(dir.file("flag.qv1")));
    ASSERT_EQ(run.status, 0) << run.err;
    std::string reason;
    const auto model = readVertexModelToShow(dir.file("flag.qv1"), &reason, ImageLoading::Skip);
    ASSERT_TRUE(model) << reason;
    EXPECT_EQ(model->vertexCount, 106);
    ASSERT_EQ(model->frames.size(), 10u);
    EXPECT_EQ(model->frames[0].name, "stand01");  // the garbage after its 0 byte is gone
    EXPECT_EQ(model->frames[9].name, "stand10");
    EXPECT_EQ(model->commands.size(), 204u);
    // Frame 0, vertex 0 from the bytes: scale 0.00996798, 0.166, 0.390588, translate -1.297744,
    // 0.1, 0, coordinate bytes 130, 5, 176: MD2 (-0.0019063, 0.93, 68.743527).
    const Vector3 p = model->frames[0].vertices[0].position;
    EXPECT_NEAR(p.x, 0.93f, 1e-4f);
    EXPECT_NEAR(p.y, 68.743527f, 1e-4f);
    EXPECT_NEAR(p.z, -0.0019063f, 1e-4f);
    // Written as this program writes it: read and written again, the same bytes.
    EXPECT_EQ(encodeVertexModel(*model), test::readBytes(dir.file("flag.qv1")));
}

// A model may declare vertices and hold no frame: every command takes it, and with nothing to
// show, render draws the background alone.
TEST(QxtoolVertexKinds, ModelsWithoutFramesGoThroughEveryCommand) {
    TempDir dir;
    VertexModel bare;
    bare.vertexCount = 20;
    bare.commands.push_back({TriangleStrip, {{0.5f, 0.75f, 0}, {1.0f, 1.0f, 19}, {0.0f, 0.5f, 7}}});
    const std::string qv1 = dir.file("bare.qv1");
    ASSERT_TRUE(writeVertexModel(qv1, bare));
    test::Md2Layout layout;
    layout.vertexCount = 20;
    test::addMd2Group(layout.commands, 3, {{0.5f, 0.25f, 0}, {1.0f, 0.0f, 19}, {0.0f, 0.5f, 7}});
    layout.commands.push_back(test::md2Int(0));
    const std::string md2 = dir.file("bare.md2");
    test::writeBytes(md2, test::md2Bytes(layout));

    const auto info = runQxtool("info " + quoted(qv1) + " " + quoted(md2));
    ASSERT_EQ(info.status, 0) << info.err;
    const std::string counts = "vertices: 20\n  frames: 0 ";
    const std::size_t first = info.out.find(counts);
    ASSERT_NE(first, std::string::npos) << info.out;
    EXPECT_NE(info.out.find(counts, first + 1), std::string::npos) << info.out;

    for (const std::string& file : {qv1, md2}) {
        const auto dump = runQxtool("dump " + quoted(file));
        ASSERT_EQ(dump.status, 0) << file << ": " << dump.err;
        const json doc = json::parse(dump.out);
        EXPECT_EQ(file == qv1 ? doc["vertexCount"] : doc["header"][6], 20) << file;
        EXPECT_TRUE(doc["frames"].empty()) << file;
        EXPECT_EQ(doc["commands"][0]["vertices"][1]["vertexIndex"], 19) << file;

        const auto run = runQxtool("render " + quoted(file) + " --out " + quoted(file + ".png") +
                                   " --size 4x4 --background 0,0,255");
        ASSERT_EQ(run.status, 0) << file << ": " << run.err;
        const auto png = test::readBytes(file + ".png");
        Texture picture;
        ASSERT_TRUE(decodePng(png.data(), png.size(), picture));
        std::vector<std::uint8_t> blue;
        for (int i = 0; i < 16; ++i) blue.insert(blue.end(), {0, 0, 255, 255});
        EXPECT_EQ(displayRgba(picture), blue) << file;
    }

    // The MD2 converts to the very bytes written above (t flipped, no frame, the count kept).
    const auto convert = runQxtool("convert " + quoted(md2) + " -o " + quoted(dir.file("converted.qv1")));
    ASSERT_EQ(convert.status, 0) << convert.err;
    EXPECT_EQ(test::readBytes(dir.file("converted.qv1")), test::readBytes(qv1));

    // Playing has no frame to move to and no vertex to blend.
    const auto play = runQxtool("play " + quoted(qv1), "update 0.5\ndump\n");
    ASSERT_EQ(play.status, 0) << play.err;
    const json held = json::parse(play.out);
    EXPECT_EQ(held["end"], 0);
    EXPECT_EQ(held["positions"], json::array());
}

}  // namespace
}  // namespace qx
