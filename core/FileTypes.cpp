#include "core/FileTypes.h"

#include "core/FilePath.h"

namespace qx {

namespace {

const FileTypeRow Rows[] = {
    {"qm1", FileType::SkeletalMesh, FileRole::SkeletalMesh, nullptr, "application/x-qxmodelview-mesh"},
    {"qv1", FileType::VertexModel, FileRole::VertexModel, nullptr, "application/x-qxmodelview-vertex"},
    {"md2", FileType::Md2Model, FileRole::VertexModel, "qv1", "model/x-md2"},
    {"ply", FileType::AmModel, FileRole::SkeletalMesh, "qm1", "model/x-am-ply"},
    // A glTF holds a skinned mesh (.qm1 and its .qm2 motions) or, without a skin, a vertex model
    // (.qv1): listed with the skeletal meshes, the characters it mostly carries.
    {"glb", FileType::GltfBinary, FileRole::SkeletalMesh, "qm1", "model/gltf-binary"},
    {"gltf", FileType::GltfText, FileRole::SkeletalMesh, "qm1", "model/gltf+json"},
    {"qm2", FileType::SkeletalMotion, FileRole::SkeletalMotion, nullptr, "application/x-qxmodelview-motion"},
    {"kfm", FileType::AmMotion, FileRole::SkeletalMotion, "qm2", "application/x-am-kfm"},
    {"bmp", FileType::BmpImage, FileRole::Image, nullptr, nullptr},
    {"tga", FileType::TgaImage, FileRole::Image, nullptr, nullptr},
    {"png", FileType::PngImage, FileRole::Image, nullptr, nullptr},
    {"jpg", FileType::JpgImage, FileRole::Image, nullptr, nullptr},
};

// What the dialogs call the files of each role, in the order they list them: vertex models
// first, as in the convert command's messages. Images are textures only, in no dialog.
struct DialogRole {
    FileRole role;
    FileFamily family;
    const char* saveName;  // the save filter's name for an own format of the role
};

const DialogRole DialogRoles[] = {
    {FileRole::VertexModel, FileFamily::Models, "Vertex Model Files"},
    {FileRole::SkeletalMesh, FileFamily::Models, "Skeletal Mesh Files"},
    {FileRole::SkeletalMotion, FileFamily::Motions, "Skeletal Motion File"},
};

// Appends the extensions of the role's own or converted rows, each after first (the first one)
// or separator (the others).
void addExtensions(std::string& list, FileRole role, bool converted, const char* first, const char* separator) {
    for (const FileTypeRow& row : Rows)
        if (row.role == role && (row.convertsTo != nullptr) == converted)
            list += (list.empty() ? first : separator) + std::string(row.extension);
}

// "Name (*.a; *.b)|*.a;*.b|": the family's own or converted types; empty when it has none.
std::string filterEntry(FileFamily family, bool converted) {
    std::string shown, patterns;
    for (const DialogRole& dialog : DialogRoles) {
        if (dialog.family != family) continue;
        addExtensions(shown, dialog.role, converted, "*.", "; *.");
        addExtensions(patterns, dialog.role, converted, "*.", ";*.");
    }
    if (shown.empty()) return {};
    const std::string name = family == FileFamily::Models ? "Model Files" : "Motion Files";
    return (converted ? "Import " : "") + name + " (" + shown + ")|" + patterns + "|";
}

}  // namespace

std::span<const FileTypeRow> fileTypes() { return Rows; }

const FileTypeRow* fileTypeOfExtension(const std::string& extension) {
    for (const FileTypeRow& row : Rows)
        if (extension == row.extension) return &row;
    return nullptr;
}

const FileTypeRow* fileTypeOf(const std::string& path) { return fileTypeOfExtension(lowerExtension(path)); }

std::string extensionsOf(FileRole role, bool convertedOnly) {
    std::string list;
    for (const FileTypeRow& row : Rows)
        if (row.role == role && (!convertedOnly || row.convertsTo != nullptr))
            list += (list.empty() ? "." : ", .") + std::string(row.extension);
    return list;
}

const char* extensionOf(FileType type) {
    for (const FileTypeRow& row : Rows)
        if (row.type == type) return row.extension;
    return "";
}

std::string openableModelExtensions() {
    std::string list;
    for (const bool converted : {false, true})
        for (const FileRole role : {FileRole::SkeletalMesh, FileRole::VertexModel})
            addExtensions(list, role, converted, ".", ", .");
    return list;
}

std::string openFilter(FileFamily family) {
    // A glTF opens converted in memory with its animations, as a file of the viewer's own.
    const std::string gltf = family == FileFamily::Models ? "glTF Files (*.glb; *.gltf)|*.glb;*.gltf|" : "";
    return filterEntry(family, false) + gltf + "|";
}

std::string convertSourceFilter() {
    return filterEntry(FileFamily::Models, true) + filterEntry(FileFamily::Motions, true) + "|";
}

std::string convertTargetFilter(const std::string& extension) {
    const FileTypeRow* row = fileTypeOfExtension(extension);
    if (row == nullptr || row->convertsTo != nullptr) return {};
    for (const DialogRole& dialog : DialogRoles)
        if (dialog.role == row->role) return dialog.saveName + (" (*." + extension + ")|*." + extension + "||");
    return {};
}

}  // namespace qx
