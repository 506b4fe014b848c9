// The project installed into a prefix as a desktop uses it: the menu entry is valid, the file
// types are known by name and by their bytes once the prefix's types are compiled, and the
// thumbnailer entry's own command line makes a picture.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "render/ImageDecoders.h"
#include "tests/support/AmExportBuilder.h"
#include "tests/support/Qxtool.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestData.h"

namespace qx {
namespace {

using test::quoted;

bool have(const std::string& program) { return test::runCommand("command -v " + program + " >/dev/null").status == 0; }

std::string textOf(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of "Key=" in a desktop-style file.
std::string entry(const std::string& text, const std::string& key) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

void replaceAll(std::string& text, const std::string& what, const std::string& with) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

TEST(Install, MenuEntryFileTypesAndThumbnailsWorkFromThePrefix) {
    for (const char* program : {"desktop-file-validate", "update-mime-database", "gio"})
        if (!have(program)) GTEST_SKIP() << program << " is not installed (scripts/setup installs it)";
    test::TempDir dir;
    const std::string prefix = dir.file("prefix");
    auto run = test::runCommand("cmake --install " + quoted(QX_BUILD_DIR) + " --prefix " + quoted(prefix));
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    const std::filesystem::path share = std::filesystem::path(prefix) / "share";
    for (const std::filesystem::path& file :
         {std::filesystem::path(prefix) / "bin/qxmodelview", std::filesystem::path(prefix) / "bin/qxtool",
          share / "icons/hicolor/scalable/apps/qxmodelview.svg", share / "icons/hicolor/48x48/apps/qxmodelview.png",
          share / "icons/hicolor/256x256/apps/qxmodelview.png"})
        EXPECT_TRUE(std::filesystem::exists(file)) << file;

    const std::filesystem::path desktop = share / "applications/qxmodelview.desktop";
    run = test::runCommand("desktop-file-validate " + quoted(desktop.string()));
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out + run.err, "");

    run = test::runCommand("update-mime-database " + quoted((share / "mime").string()));
    ASSERT_EQ(run.status, 0) << run.err;
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
        const std::string bare = dir.file("nameless");
        std::filesystem::copy_file(file, bare, std::filesystem::copy_options::overwrite_existing);
        for (const std::string& path : {file, bare}) {
            run = test::runCommand("XDG_DATA_HOME=" + quoted(dir.file("home")) + " XDG_DATA_DIRS=" +
                                   quoted(share.string()) + ":/usr/share gio info -a standard::content-type " + quoted(path));
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_NE(run.out.find("standard::content-type: " + type + "\n"), std::string::npos) << path << ":\n" << run.out;
        }
    }
    const std::string entryText = textOf(desktop);
    for (const auto& [file, type] : files) EXPECT_NE(entry(entryText, "MimeType").find(type + ";"), std::string::npos) << type;

    // The thumbnailer's own command, as a file manager fills it in.
    std::string command = entry(textOf(share / "thumbnailers/qxmodelview.thumbnailer"), "Exec");
    replaceAll(command, "%i", quoted(samples + "/figure.qm1"));
    replaceAll(command, "%o", quoted(dir.file("thumb.png")));
    replaceAll(command, "%s", "128");
    run = test::runCommand("PATH=" + quoted(prefix + "/bin") + ":\"$PATH\" " + command);
    ASSERT_EQ(run.status, 0) << command << ": " << run.err;
    const std::vector<std::uint8_t> png = test::readBytes(dir.file("thumb.png"));
    Texture picture;
    std::string reason;
    ASSERT_TRUE(decodePng(png.data(), png.size(), picture, &reason, false)) << reason;
    EXPECT_EQ(picture.width, 128);
    EXPECT_EQ(picture.height, 128);
    const std::vector<std::uint8_t> rgba = displayRgba(picture);
    bool flat = true;
    for (std::size_t i = 4; i < rgba.size() && flat; ++i) flat = rgba[i] == rgba[i % 4];
    EXPECT_FALSE(flat) << "the thumbnail is one flat colour";
}

}  // namespace
}  // namespace qx
