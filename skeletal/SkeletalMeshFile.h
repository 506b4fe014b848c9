#pragma once
// The QXM1 skeletal mesh file (".qm1"): the magic "QXM1", then eight counted sections in a fixed
// order (positions, normals, positionNormals, faces, materials, textures, bones, renderGroups),
// little-endian, no padding, no trailer. Bone matrices, the mesh's nameHash, the import map and
// the textures' pixels are not stored.
//
// Indices in faces, mappings, batches, positionNormals and attachedPositions are kept exactly as
// stored, so that a damaged file can still be inspected and shown; their users skip any index
// outside its list. Bone links are checked, because every walk of the bone tree relies on them:
// each link is -1 or a bone of the list, the parent chains end, and the child/sibling links form
// a tree (every bone reached at most once, no cycle). A bone's stored index and nameHash are kept
// even where they disagree with its position or name.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/Texture.h"
#include "skeletal/SkeletalMesh.h"

namespace qx {

// Reads a mesh; none with a short reason when the file cannot be read or is damaged. nameHash is
// set from path exactly as passed; every bone's matrices are computed from its points.
// Texture images are loaded as mode asks, each found by resolveImagePath (beside the mesh file
// first, then the current directory); a missing or undecodable image leaves its texture without
// a picture and the mesh still loads. Skip opens no image file and makes no GL call.
std::unique_ptr<SkeletalMesh> readSkeletalMesh(const std::string& path, std::string* reason = nullptr,
                                               ImageLoading mode = ImageLoading::Upload);

// Loads the images of the mesh's textures as mode asks, each found by resolveImagePath from the
// path of the file the mesh came from; what readSkeletalMesh does after parsing, and what a mesh
// converted in memory needs before it is shown.
void loadMeshTextures(SkeletalMesh& mesh, const std::string& meshPath, ImageLoading mode);

// Parses a whole file held in memory. No image is loaded and nameHash stays 0.
std::unique_ptr<SkeletalMesh> parseSkeletalMesh(const std::uint8_t* data, std::size_t size,
                                                std::string* reason = nullptr);

// Writes a mesh atomically; false with a reason when the file could not be written whole, in
// which case an existing file at path is left as it was.
bool writeSkeletalMesh(const std::string& path, const SkeletalMesh& mesh, std::string* reason = nullptr);
std::vector<std::uint8_t> encodeSkeletalMesh(const SkeletalMesh& mesh);

// The most texture entries a file may declare. A texture record carries its GL state and a
// 256-colour palette (over a kilobyte in memory) for as little as five bytes of file; the limit
// keeps a hostile count from costing hundreds of times the file's size, far above any real model.
inline constexpr std::int32_t MaxMeshTextures = 4096;

}  // namespace qx
