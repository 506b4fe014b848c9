// The project installed into a prefix as a desktop uses it: a valid menu entry, file types known
// by name and by bytes once the prefix's types are compiled, and the thumbnailer's own command.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "render/ImageDecoders.h"
#include "tests/support/AmExportBuilder.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

using test::quoted;

std::string textOf(const std::filesystem::path& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

TEST(Install, MenuEntryFileTypesAndThumbnailsWorkFromThePrefix) {
    for (const char* program : {"desktop-file-validate", "update-mime-database", "gio"})
        if (test::runCommand(std::string("command -v ") + program).status != 0)
            GTEST_SKIP() << program << " missing (scripts/setup)";
    test::TempDir dir;
    const std::filesystem::path prefix = dir.file("prefix"), share = prefix / "share";
    auto run = test::runCommand("cmake --install " + quoted(QX_BUILD_DIR) + " --prefix " + quoted(prefix.string()));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(share / "icons/hicolor/scalable/apps/qxmodelview.svg"));
    EXPECT_TRUE(std::filesystem::exists(share / "icons/hicolor/48x48/apps/qxmodelview.png"));
    run = test::runCommand("desktop-file-validate " + quoted((share / "applications/qxmodelview.desktop").string()));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out + run.err, "");
    ASSERT_EQ(test::runCommand("update-mime-database " + quoted((share / "mime").string())).status, 0);

    // By name, and by the bytes alone for a copy without its extension.
    test::writeBytes(dir.file("model.ply"), test::squarePly().bytes());
    const std::string samples = (test::sourceDir() / "samples").string();
    const std::pair<std::string, std::string> files[] = {
        {samples + "/figure.qm1", "application/x-qxmodelview-mesh"},
        {samples + "/figure-walk.qm2", "application/x-qxmodelview-motion"},
        {samples + "/flag.qv1", "application/x-qxmodelview-vertex"},
        {dir.file("model.ply"), "model/x-am-ply"},
        {(test::testDataDir() / "md2/sydney.md2").string(), "model/x-md2"},
    };
    for (const auto& [file, type] : files) {
        if (!std::filesystem::exists(file)) continue;  // the shared test data
        std::filesystem::copy_file(file, dir.file("nameless"), std::filesystem::copy_options::overwrite_existing);
        for (const std::string& path : {file, dir.file("nameless")}) {
            run = test::runCommand("XDG_DATA_HOME=/nonexistent XDG_DATA_DIRS=" + quoted(share.string()) +
                                   ":/usr/share gio info -a standard::content-type " + quoted(path));
            EXPECT_NE(run.out.find("standard::content-type: " + type + "\n"), std::string::npos) << path << run.out;
        }
    }

    // The thumbnailer's command, as a file manager fills it in.
    std::smatch exec;
    const std::string entry = textOf(share / "thumbnailers/qxmodelview.thumbnailer");
    ASSERT_TRUE(std::regex_search(entry, exec, std::regex("\nExec=(.*)")));
    const std::string command = std::regex_replace(
        std::regex_replace(std::regex_replace(exec[1].str(), std::regex("%i"), quoted(samples + "/figure.qm1")),
                           std::regex("%o"), quoted(dir.file("thumb.png"))),
        std::regex("%s"), "128");
    // Drawing runs without the sanitizer build's exit leak check (see tests/support/Qxtool.h).
    run = test::runCommand("PATH=" + quoted((prefix / "bin").string()) +
                           ":\"$PATH\" ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" " + command);
    ASSERT_EQ(run.status, 0) << command << ": " << run.err;
    const std::vector<std::uint8_t> png = test::readBytes(dir.file("thumb.png"));
    Texture picture;
    ASSERT_TRUE(decodePng(png.data(), png.size(), picture, nullptr, false));
    EXPECT_EQ(picture.width, 128);
    EXPECT_EQ(picture.height, 128);
    const std::vector<std::uint8_t> rgba = displayRgba(picture);
    bool flat = true;
    for (std::size_t i = 4; i < rgba.size(); ++i) flat = flat && rgba[i] == rgba[i % 4];
    EXPECT_FALSE(flat) << "the thumbnail is one flat colour";
}

}  // namespace
}  // namespace qx
