#pragma once
// A glTF 2.0 asset (.gltf with its buffers beside it, or .glb) parsed into memory by tinygltf,
// the one place the importer meets the parser. Parsing never throws out of here; external
// buffers and images are read only from the asset's own folder and below, each at most the size
// a model could sensibly need, and compressed extensions that no Debian library decodes are
// refused by name.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "import/TinyGltf.h"

namespace qx {

// The largest file the importer reads (the asset, a buffer or an image).
inline constexpr std::size_t GltfLargestFile = std::size_t{1} << 30;

struct GltfDocument {
    tinygltf::Model model;
    std::string folder;  // where the asset's relative URIs point
    // Per image: its encoded bytes (from a buffer view, a data URI or a file beside the asset),
    // empty when it could not be had.
    std::vector<std::vector<std::uint8_t>> imageBytes;
};

// Parses the file at path (".glb" or ".gltf", told by its first bytes). None, with a reason, for
// a file that cannot be read or parsed or that needs an extension the importer lacks.
std::unique_ptr<GltfDocument> readGltfDocument(const std::string& path, std::string* reason);

// The same for bytes already in memory (the fuzz target); relative URIs resolve in folder.
std::unique_ptr<GltfDocument> parseGltfDocument(const std::uint8_t* data, std::size_t size, const std::string& folder,
                                                std::string* reason);

}  // namespace qx
