// The table of file types against what the desktop is told about them: the shared MIME database
// entries, the desktop entry's and the thumbnailer's types. A row added without its entries, or
// an entry whose type the table does not know, fails here.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "core/FileTypes.h"
#include "tests/support/TestData.h"

namespace qx::test {
namespace {

std::string desktopFile(const char* name) {
    std::ifstream in(sourceDir() / "app" / "desktop" / name);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value of a "Key=" line, with a ';' before it, so that ";type;" finds a whole entry.
std::string listOf(const std::string& text, const std::string& key) {
    const std::size_t at = text.find("\n" + key + "=");
    if (at == std::string::npos) return {};
    return ";" + text.substr(at + key.size() + 2, text.find('\n', at + 1) - at - key.size() - 2);
}

TEST(FileTypes, TheDesktopKnowsEveryTypeAsTheTableDoes) {
    const std::string mime = desktopFile("qxmodelview-mime.xml");
    const std::string opens = listOf(desktopFile("qxmodelview.desktop"), "MimeType");
    const std::string pictures = listOf(desktopFile("qxmodelview.thumbnailer"), "MimeType");
    ASSERT_FALSE(mime.empty() || opens.empty() || pictures.empty());
    std::size_t entries = 0;
    for (const FileTypeRow& row : fileTypes()) {
        SCOPED_TRACE(row.extension);
        EXPECT_EQ(fileTypeOf(std::string("Some.Name.") + row.extension), &row);
        const bool model = row.role == FileRole::SkeletalMesh || row.role == FileRole::VertexModel;
        if (row.role == FileRole::Image) {
            EXPECT_EQ(row.mimeType, nullptr);  // the viewer reads images as textures only
            continue;
        }
        ASSERT_NE(row.mimeType, nullptr);
        ++entries;
        const std::string type = row.mimeType;
        const std::size_t entry = mime.find("<mime-type type=\"" + type + "\">");
        ASSERT_NE(entry, std::string::npos);
        const std::string body = mime.substr(entry, mime.find("</mime-type>", entry) - entry);
        // An A:M model shares its extension with an unrelated format: known by its bytes alone.
        EXPECT_EQ(body.find("<glob pattern=\"*." + std::string(row.extension) + "\"/>") != std::string::npos,
                  row.type != FileType::AmModel);
        EXPECT_NE(body.find("<magic"), std::string::npos);
        EXPECT_NE(opens.find(";" + type + ";"), std::string::npos);
        EXPECT_EQ(pictures.find(";" + type + ";") != std::string::npos, model);
        if (row.convertsTo != nullptr) {
            const FileTypeRow* own = fileTypeOfExtension(row.convertsTo);
            ASSERT_NE(own, nullptr);
            EXPECT_EQ(own->role, row.role);
            EXPECT_EQ(own->convertsTo, nullptr);
        }
    }
    std::size_t listed = 0;
    for (std::size_t at = mime.find("<mime-type "); at != std::string::npos; at = mime.find("<mime-type ", at + 1))
        ++listed;
    EXPECT_EQ(listed, entries);
    EXPECT_EQ(fileTypeOf("folder.qm1/file"), nullptr);
}

// The filters are compared whole once, as users read them; then every row must be listed where
// its role and conversion put it, and nowhere else.
TEST(FileTypes, TheDialogsAndTheViewerListEveryRow) {
    EXPECT_EQ(openFilter(FileFamily::Models),
              "Model Files (*.qv1; *.qm1)|*.qv1;*.qm1|glTF Files (*.glb; *.gltf)|*.glb;*.gltf||");
    EXPECT_EQ(openFilter(FileFamily::Motions), "Motion Files (*.qm2)|*.qm2||");
    EXPECT_EQ(convertSourceFilter(),
              "Import Model Files (*.md2; *.ply; *.glb; *.gltf)|*.md2;*.ply;*.glb;*.gltf|Import Motion Files "
              "(*.kfm)|*.kfm||");
    EXPECT_EQ(convertTargetFilter("qm1"), "Skeletal Mesh Files (*.qm1)|*.qm1||");
    EXPECT_EQ(convertTargetFilter("qv1"), "Vertex Model Files (*.qv1)|*.qv1||");
    EXPECT_EQ(convertTargetFilter("qm2"), "Skeletal Motion File (*.qm2)|*.qm2||");
    const std::string models = ", " + openableModelExtensions() + ",";
    for (const FileTypeRow& row : fileTypes()) {
        SCOPED_TRACE(row.extension);
        const std::regex listed("\\*\\." + std::string(row.extension) + "[;|]");
        const bool own = row.convertsTo == nullptr && row.role != FileRole::Image;
        const bool model = row.role == FileRole::SkeletalMesh || row.role == FileRole::VertexModel;
        const bool gltf = row.type == FileType::GltfBinary || row.type == FileType::GltfText;
        EXPECT_EQ(std::regex_search(openFilter(FileFamily::Models), listed), (own && model) || gltf);
        EXPECT_EQ(std::regex_search(openFilter(FileFamily::Motions), listed), own && !model);
        EXPECT_EQ(std::regex_search(convertSourceFilter(), listed), row.convertsTo != nullptr);
        EXPECT_EQ(std::regex_search(convertTargetFilter(row.extension), listed), own);
        EXPECT_EQ(models.find(" ." + std::string(row.extension) + ",") != std::string::npos, model);
    }
}

}  // namespace
}  // namespace qx::test
