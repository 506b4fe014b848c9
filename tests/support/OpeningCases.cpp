#include "tests/support/OpeningCases.h"

#include <filesystem>

#include "tests/support/AmExportBuilder.h"
#include "tests/support/Md2Builder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace qx::test {

namespace {

// One triangle in one frame, slanted to every axis so that it draws from any side.
std::vector<std::uint8_t> triangleMd2() {
    Md2Layout layout;
    layout.vertexCount = 3;
    layout.frames.push_back({{1, 1, 1}, {}, "tri", {{{0, 0, 0, 0}}, {{10, 0, 10, 0}}, {{0, 10, 10, 0}}}});
    addMd2Group(layout.commands, 3, {{0, 0, 0}, {1, 0, 1}, {0, 1, 2}});
    layout.commands.push_back(md2Int(0));
    return md2Bytes(layout);
}

}  // namespace

std::vector<OpeningCase> writeOpeningCases(const std::string& folder) {
    const std::string samples = (sourceDir() / "samples").string() + "/";
    const std::vector<std::uint8_t> mesh = readBytes(samples + "figure.qm1");
    const std::vector<std::uint8_t> motion = readBytes(samples + "figure-walk.qm2");
    // A glTF as another program wrote it, its buffers inside it, when the shared files are here.
    const auto gltf = testDataDir() / "gltf/simple_skin.gltf";
    const bool withGltf = std::filesystem::exists(gltf);
    const struct {
        const char* extension;
        bool motion;
        std::vector<std::uint8_t> bytes;
    } kinds[] = {
        {"qm1", false, mesh},
        {"qv1", false, readBytes(samples + "flag.qv1")},
        {"md2", false, triangleMd2()},
        {"ply", false, squarePly().bytes()},
        {"qm2", true, motion},
        {"kfm", true, KfmBytes{}.bytes()},
        {"gltf", false, withGltf ? readBytes(gltf.string()) : std::vector<std::uint8_t>{}},
    };
    std::vector<OpeningCase> cases;
    const auto add = [&](const std::string& name, bool isMotion, bool valid, const std::vector<std::uint8_t>& bytes) {
        cases.push_back({folder + "/" + name, isMotion, valid});
        writeBytes(cases.back().path, bytes);
    };
    for (const auto& kind : kinds) {
        if (std::string(kind.extension) == "gltf" && !withGltf) continue;
        const std::string ext = kind.extension;
        add("valid." + ext, kind.motion, true, kind.bytes);
        add("damaged." + ext, kind.motion, false, {kind.bytes.begin(), kind.bytes.begin() + kind.bytes.size() / 2});
        add(ext + "-bytes.txt", kind.motion, false, kind.bytes);
        add("other-bytes." + ext, kind.motion, false, kind.motion ? mesh : motion);
    }
    return cases;
}

}  // namespace qx::test
