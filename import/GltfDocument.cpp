#include "import/GltfDocument.h"

#include <cctype>
#include <cstring>
#include <filesystem>
#include <new>

#include "core/FileBytes.h"

namespace qx {

namespace {

bool fail(std::string* reason, const std::string& text) {
    if (reason != nullptr) *reason = text;
    return false;
}

// A relative path that stays inside the asset's folder; anything else names no file of the asset.
bool insideFolder(const std::string& relative) {
    const std::filesystem::path p(relative);
    if (p.is_absolute() || relative.find(':') != std::string::npos) return false;
    int depth = 0;
    for (const auto& part : p) {
        if (part == "..")
            --depth;
        else if (part != ".")
            ++depth;
        if (depth < 0) return false;
    }
    return true;
}

bool readBounded(const std::string& path, std::vector<std::uint8_t>& out, std::string* reason) {
    FileBytes bytes;
    if (!readFileBytes(path, bytes, reason)) return false;
    if (bytes.size() > GltfLargestFile) return fail(reason, "file too large");
    out.assign(bytes.data(), bytes.data() + bytes.size());
    return true;
}

bool fileExists(const std::string& path, void*) { return std::filesystem::is_regular_file(path); }
std::string expandPath(const std::string& path, void*) { return path; }
bool readWhole(std::vector<unsigned char>* out, std::string* err, const std::string& path, void* user) {
    const std::string& folder = *static_cast<const std::string*>(user);
    const std::string relative = path.rfind(folder, 0) == 0 ? path.substr(folder.size()) : path;
    std::string reason;
    if (folder.empty() || !insideFolder(relative))
        reason = "refers to a file outside its folder";
    else if (readBounded(path, *out, &reason))
        return true;
    if (err != nullptr) *err += path + ": " + reason + "\n";
    return false;
}
bool writeNothing(std::string* err, const std::string&, const std::vector<unsigned char>&, void*) {
    if (err != nullptr) *err += "the importer writes no file\n";
    return false;
}

// Keeps the encoded bytes of embedded images for the program's own decoders.
bool keepEncoded(tinygltf::Image* image, const int, std::string*, std::string*, int, int, const unsigned char* bytes,
                 int size, void*) {
    image->image.assign(bytes, bytes + size);
    image->as_is = true;
    return true;
}

// What the importer cannot read, in the words people know it by.
const char* unreadableExtension(const std::string& name) {
    if (name == "KHR_draco_mesh_compression") return "Draco-compressed meshes";
    if (name == "EXT_meshopt_compression" || name == "KHR_meshopt_compression") return "meshopt-compressed buffers";
    if (name == "KHR_texture_basisu") return "KTX2 (Basis Universal) textures";
    return nullptr;
}

// A URI's %XX escapes as the bytes they stand for.
std::string percentDecoded(const std::string& uri) {
    std::string out;
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && std::isxdigit(static_cast<unsigned char>(uri[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(uri[i + 2]))) {
            out += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += uri[i];
        }
    }
    return out;
}

// The images' encoded bytes: embedded ones as the parser kept them, files beside the asset read here.
void collectImages(GltfDocument& document) {
    for (const tinygltf::Image& image : document.model.images) {
        std::vector<std::uint8_t> bytes(image.image.begin(), image.image.end());
        if (bytes.empty() && !image.uri.empty() && !document.folder.empty()) {
            const std::string relative = percentDecoded(image.uri);
            if (insideFolder(relative) && !readBounded(document.folder + relative, bytes, nullptr)) bytes.clear();
        }
        document.imageBytes.push_back(std::move(bytes));
    }
}

}  // namespace

std::unique_ptr<GltfDocument> parseGltfDocument(const std::uint8_t* data, std::size_t size, const std::string& folder,
                                                std::string* reason) {
    auto document = std::make_unique<GltfDocument>();
    document->folder = folder;
    if (size > GltfLargestFile || size > static_cast<std::size_t>(INT32_MAX)) {
        fail(reason, "file too large");
        return nullptr;
    }
    // The parser's check of a binary chunk's length leaves out the chunk's own 8-byte header:
    // the bytes are handed over with room after them, and such a chunk is refused here first.
    if (size >= 20 && std::memcmp(data, "glTF", 4) == 0) {
        std::uint32_t jsonLength = 0, binLength = 0;
        std::memcpy(&jsonLength, data + 12, 4);
        const std::uint64_t binAt = 20ull + jsonLength;
        if (binAt + 8 <= size) {
            std::memcpy(&binLength, data + binAt, 4);
            if (binAt + 8 + binLength > size) {
                fail(reason, "the binary chunk runs past the end of the file");
                return nullptr;
            }
        }
    }
    std::vector<std::uint8_t> padded(data, data + size);
    padded.resize(size + 16, 0);
    data = padded.data();
    tinygltf::TinyGLTF parser;
    parser.SetImageLoader(keepEncoded, nullptr);
    parser.SetFsCallbacks({fileExists, expandPath, readWhole, writeNothing, &document->folder});
    std::string errors, warnings;
    bool parsed = false;
    try {
        const bool binary = size >= 4 && std::memcmp(data, "glTF", 4) == 0;
        parsed = binary ? parser.LoadBinaryFromMemory(&document->model, &errors, &warnings, data,
                                                      static_cast<unsigned int>(size), folder)
                        : parser.LoadASCIIFromString(&document->model, &errors, &warnings,
                                                     reinterpret_cast<const char*>(data),
                                                     static_cast<unsigned int>(size), folder);
    } catch (const std::bad_alloc&) { errors = "out of memory while parsing"; } catch (const std::exception& e) {
        errors = e.what();
    }
    if (!parsed) {
        while (!errors.empty() && (errors.back() == '\n' || errors.back() == ' ')) errors.pop_back();
        if (const auto line = errors.find('\n'); line != std::string::npos) errors.resize(line);
        fail(reason, "not a glTF 2.0 file this program reads" + (errors.empty() ? "" : ": " + errors));
        return nullptr;
    }
    for (const auto& names : {document->model.extensionsRequired, document->model.extensionsUsed})
        for (const std::string& name : names)
            if (const char* what = unreadableExtension(name)) {
                fail(reason, std::string("uses ") + what + " (" + name + "), which the importer cannot decode");
                return nullptr;
            }
    collectImages(*document);
    return document;
}

std::unique_ptr<GltfDocument> readGltfDocument(const std::string& path, std::string* reason) {
    std::vector<std::uint8_t> bytes;
    if (!readBounded(path, bytes, reason)) return nullptr;
    std::string folder = std::filesystem::path(path).parent_path().string();
    folder = folder.empty() ? "./" : folder + "/";
    return parseGltfDocument(bytes.data(), bytes.size(), folder, reason);
}

}  // namespace qx
