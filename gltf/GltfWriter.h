#pragma once
// A glTF 2.0 asset being built in memory: the JSON document and the one binary buffer its
// accessors read, written out as a binary .glb or as a .gltf with the buffer in a .bin beside
// it. Every file goes through the atomic byte sink, so a failed export never leaves a
// half-written file in place of an old one.
//
// The JSON is written with nlohmann-json rather than a glTF library: the packaged one is a
// compiled library that carries its own image codecs, and its in-memory writer can only embed
// the buffer as base64 in a .gltf (a separate .bin is written by its own file code).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "math/Vector3.h"

namespace qx {

// glTF component types and buffer view targets.
enum GltfComponent : int { GltfUByte = 5121, GltfUShort = 5123, GltfUInt = 5125, GltfFloat = 5126 };
enum GltfTarget : int { GltfNoTarget = 0, GltfVertexData = 34962, GltfIndexData = 34963 };

class GltfWriter {
public:
    GltfWriter();

    // The document; callers add nodes, meshes, materials and so on directly.
    nlohmann::ordered_json doc;

    // Appends data (4-byte aligned) as a buffer view; returns its index.
    int addView(const void* data, std::size_t bytes, GltfTarget target);

    // An accessor over a whole view. min and max are written when given (one value a component).
    int addAccessor(int view, GltfComponent component, std::size_t count, const char* type,
                    const std::vector<float>& min = {}, const std::vector<float>& max = {});

    // Floats in groups of components (1 SCALAR, 3 VEC3, 4 VEC4, 16 MAT4) as a view and its
    // accessor; withBounds adds min and max as glTF asks of positions and animation times.
    int addFloats(std::span<const float> values, int components, GltfTarget target, bool withBounds);
    int addVectors(std::span<const Vector3> values, GltfTarget target, bool withBounds);
    // Triangle indices, as 16-bit numbers when every index fits.
    int addIndices(std::span<const std::uint32_t> indices);

    // Appends value to the array at key (creating it) and returns its index there.
    int append(const char* key, nlohmann::ordered_json value);

    // Writes the asset to path: ".glb" as one binary file, ".gltf" as JSON plus the buffer in a
    // ".bin" of the same name beside it (case ignored). False, with a reason, for any other
    // extension or a failed write.
    bool write(const std::string& path, std::string* reason) const;

    // The bytes of a .glb holding the document and the buffer.
    std::vector<std::uint8_t> glbBytes() const;

private:
    std::vector<std::uint8_t> buffer_;
};

// The float components of vectors, back to back.
std::vector<float> flatten(std::span<const Vector3> values);

// n at unit length, as glTF asks of normals (the renderer's lighting normalises them anyway); a
// zero or non-finite normal becomes +Z.
Vector3 unitNormal(const Vector3& n);

// value when it is finite, else fallback, counting the replacement: glTF holds no NaN or
// infinity, which a damaged file's numbers can make.
float finiteOr(float value, float fallback, std::size_t& replaced);
// Each component through finiteOr with fallback 0.
Vector3 finiteVector(const Vector3& v, std::size_t& replaced);

// A name of the model's files as text: byte n is the character U+00nn, as everywhere else the
// program shows such names.
std::string textOfBytes(const std::string& bytes);

// The bits of a float, to tell vertices apart exactly.
std::uint32_t floatBits(float v);

}  // namespace qx
