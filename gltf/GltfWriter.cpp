#include "gltf/GltfWriter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "core/ByteSink.h"
#include "core/FilePath.h"

namespace qx {

using json = nlohmann::ordered_json;

namespace {

constexpr std::uint32_t GlbMagic = 0x46546C67;      // "glTF"
constexpr std::uint32_t GlbJsonChunk = 0x4E4F534A;  // "JSON"
constexpr std::uint32_t GlbBinChunk = 0x004E4942;   // "BIN\0"

void padTo4(std::vector<std::uint8_t>& bytes, std::uint8_t fill) {
    while (bytes.size() % 4 != 0) bytes.push_back(fill);
}

// A file name as a relative URI: bytes outside the unreserved set are percent-encoded.
std::string uriOf(const std::string& name) {
    static const char Hex[] = "0123456789ABCDEF";
    std::string uri;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
            uri += c;
        } else {
            uri += '%';
            uri += Hex[byte >> 4];
            uri += Hex[byte & 15];
        }
    }
    return uri;
}

std::vector<std::uint8_t> textBytes(const json& document) {
    // Names are bytes from files: any that are not UTF-8 are replaced rather than refused.
    const std::string text = document.dump(-1, ' ', false, json::error_handler_t::replace);
    return {text.begin(), text.end()};
}

}  // namespace

GltfWriter::GltfWriter() { doc["asset"] = {{"version", "2.0"}, {"generator", "qxmodelview"}}; }

int GltfWriter::append(const char* key, json value) {
    json& list = doc[key];
    if (!list.is_array()) list = json::array();
    list.push_back(std::move(value));
    return static_cast<int>(list.size() - 1);
}

int GltfWriter::addView(const void* data, std::size_t bytes, GltfTarget target) {
    padTo4(buffer_, 0);
    const std::size_t offset = buffer_.size();
    const auto* begin = static_cast<const std::uint8_t*>(data);
    buffer_.insert(buffer_.end(), begin, begin + bytes);
    json view = {{"buffer", 0}, {"byteOffset", offset}, {"byteLength", bytes}};
    if (target != GltfNoTarget) view["target"] = target;
    return append("bufferViews", std::move(view));
}

int GltfWriter::addAccessor(int view, GltfComponent component, std::size_t count, const char* type,
                            const std::vector<float>& min, const std::vector<float>& max) {
    json accessor = {{"bufferView", view}, {"componentType", component}, {"count", count}, {"type", type}};
    if (!min.empty()) {
        accessor["min"] = min;
        accessor["max"] = max;
    }
    return append("accessors", std::move(accessor));
}

int GltfWriter::addFloats(std::span<const float> values, int components, GltfTarget target, bool withBounds) {
    static const char* const Types[17] = {nullptr, "SCALAR", "VEC2",  "VEC3",  "VEC4",  nullptr,
                                          nullptr, nullptr,  nullptr, nullptr, nullptr, nullptr,
                                          nullptr, nullptr,  nullptr, nullptr, "MAT4"};
    const std::size_t width = static_cast<std::size_t>(components);
    std::vector<float> min, max;
    if (withBounds) {
        min.assign(width, std::numeric_limits<float>::infinity());
        max.assign(width, -std::numeric_limits<float>::infinity());
        for (std::size_t i = 0; i < values.size(); ++i) {
            min[i % width] = std::min(min[i % width], values[i]);
            max[i % width] = std::max(max[i % width], values[i]);
        }
    }
    const int view = addView(values.data(), values.size_bytes(), target);
    return addAccessor(view, GltfFloat, values.size() / width, Types[components], min, max);
}

int GltfWriter::addVectors(std::span<const Vector3> values, GltfTarget target, bool withBounds) {
    const std::vector<float> flat = flatten(values);
    return addFloats(flat, 3, target, withBounds);
}

int GltfWriter::addIndices(std::span<const std::uint32_t> indices) {
    const std::uint32_t largest = indices.empty() ? 0 : *std::max_element(indices.begin(), indices.end());
    if (largest <= std::numeric_limits<std::uint16_t>::max()) {
        const std::vector<std::uint16_t> shorts(indices.begin(), indices.end());
        const int view = addView(shorts.data(), shorts.size() * sizeof(std::uint16_t), GltfIndexData);
        return addAccessor(view, GltfUShort, shorts.size(), "SCALAR");
    }
    const int view = addView(indices.data(), indices.size_bytes(), GltfIndexData);
    return addAccessor(view, GltfUInt, indices.size(), "SCALAR");
}

std::vector<std::uint8_t> GltfWriter::glbBytes() const {
    json document = doc;
    document["buffers"] = json::array({{{"byteLength", buffer_.size()}}});
    std::vector<std::uint8_t> text = textBytes(document);
    padTo4(text, ' ');
    std::vector<std::uint8_t> bin = buffer_;
    padTo4(bin, 0);

    ByteSink sink;
    sink.u32(GlbMagic);
    sink.u32(2);
    sink.u32(static_cast<std::uint32_t>(12 + 8 + text.size() + 8 + bin.size()));
    sink.u32(static_cast<std::uint32_t>(text.size()));
    sink.u32(GlbJsonChunk);
    sink.bytes(text.data(), text.size());
    sink.u32(static_cast<std::uint32_t>(bin.size()));
    sink.u32(GlbBinChunk);
    sink.bytes(bin.data(), bin.size());
    return sink.take();
}

bool GltfWriter::write(const std::string& path, std::string* reason) const {
    const std::string extension = lowerExtension(path);
    if (extension == "glb") return writeFileAtomically(path, glbBytes(), reason);
    if (extension != "gltf") {
        if (reason != nullptr) *reason = "the output must end in .glb or .gltf";
        return false;
    }
    std::filesystem::path binPath(path);
    binPath.replace_extension(".bin");
    json document = doc;
    document["buffers"] = json::array({{{"byteLength", buffer_.size()}, {"uri", uriOf(binPath.filename().string())}}});
    // The buffer first: a .gltf is never left naming a .bin that was not written.
    return writeFileAtomically(binPath.string(), buffer_, reason) &&
           writeFileAtomically(path, textBytes(document), reason);
}

Vector3 unitNormal(const Vector3& n) {
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (!(length > 0.0f) || !std::isfinite(length)) return {0.0f, 0.0f, 1.0f};
    return {n.x / length, n.y / length, n.z / length};
}

float finiteOr(float value, float fallback, std::size_t& replaced) {
    if (std::isfinite(value)) return value;
    ++replaced;
    return fallback;
}

Vector3 finiteVector(const Vector3& v, std::size_t& replaced) {
    return {finiteOr(v.x, 0.0f, replaced), finiteOr(v.y, 0.0f, replaced), finiteOr(v.z, 0.0f, replaced)};
}

std::string textOfBytes(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

std::uint32_t floatBits(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

std::vector<float> flatten(std::span<const Vector3> values) {
    std::vector<float> flat;
    flat.reserve(values.size() * 3);
    for (const Vector3& v : values) flat.insert(flat.end(), {v.x, v.y, v.z});
    return flat;
}

}  // namespace qx
