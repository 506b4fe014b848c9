#pragma once
// Builds MD2 files byte by byte for the importer's tests: the 68-byte header with offsets that
// agree with the data, frames of (scale, translate, name, 4 bytes per vertex) and an OpenGL
// command list written exactly as given (so a test can leave out the closing 0 or cut a group).

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/ByteSink.h"
#include "math/Vector3.h"

namespace qx::test {

struct Md2FrameLayout {
    Vector3 scale{1.0f, 1.0f, 1.0f};
    Vector3 translate;
    std::string name;                                   // written into 16 bytes, 0-padded; longer names are cut at 16
    std::vector<std::array<std::uint8_t, 4>> vertices;  // x, y, z bytes and the normal index
};

// One word of the command list: an int32 (counts, vertex indices) or a float32 (s, t).
struct Md2Word {
    bool isFloat = false;
    std::int32_t i = 0;
    float f = 0.0f;
};
inline Md2Word md2Int(std::int32_t v) { return {false, v, 0.0f}; }
inline Md2Word md2Float(float v) { return {true, 0, v}; }

struct Md2Layout {
    std::int32_t vertexCount = 0;
    std::vector<Md2FrameLayout> frames;
    std::vector<Md2Word> commands;
};

inline constexpr std::size_t Md2HeaderSize = 68;

// Appends one group of a command list: count, then (s, t, index) triples.
inline void addMd2Group(std::vector<Md2Word>& words, std::int32_t count,
                        const std::vector<std::array<float, 3>>& vertices) {
    words.push_back(md2Int(count));
    for (const auto& v : vertices) {
        words.push_back(md2Float(v[0]));
        words.push_back(md2Float(v[1]));
        words.push_back(md2Int(static_cast<std::int32_t>(v[2])));
    }
}

inline std::vector<std::uint8_t> md2Bytes(const Md2Layout& layout) {
    const auto frameSize = static_cast<std::int32_t>(40 + 4 * layout.vertexCount);
    const auto frameOffset = static_cast<std::int32_t>(Md2HeaderSize);
    const auto commandOffset = frameOffset + frameSize * static_cast<std::int32_t>(layout.frames.size());
    const auto end = commandOffset + 4 * static_cast<std::int32_t>(layout.commands.size());
    ByteSink out;
    out.bytes("IDP2", 4);
    const std::int32_t fields[16] = {8,
                                     0,
                                     0,
                                     frameSize,
                                     0,
                                     layout.vertexCount,
                                     0,
                                     0,
                                     static_cast<std::int32_t>(layout.commands.size()),
                                     static_cast<std::int32_t>(layout.frames.size()),
                                     frameOffset,
                                     frameOffset,
                                     frameOffset,
                                     frameOffset,
                                     commandOffset,
                                     end};
    for (const std::int32_t v : fields) out.i32(v);
    for (const Md2FrameLayout& frame : layout.frames) {
        out.vector3(frame.scale);
        out.vector3(frame.translate);
        char name[16] = {};
        std::memcpy(name, frame.name.data(), frame.name.size() < 16 ? frame.name.size() : 16);
        out.bytes(name, 16);
        for (const auto& v : frame.vertices) out.bytes(v.data(), 4);
    }
    for (const Md2Word& word : layout.commands) {
        if (word.isFloat)
            out.f32(word.f);
        else
            out.i32(word.i);
    }
    return out.take();
}

// Overwrites header field index (0 magic, 1 version, 6 vertex count, 10 frame count,
// 14 frame offset, 15 command offset).
inline void setMd2Field(std::vector<std::uint8_t>& bytes, int index, std::int32_t value) {
    std::memcpy(bytes.data() + 4 * index, &value, 4);
}

}  // namespace qx::test
