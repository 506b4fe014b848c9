#pragma once
// Writers of A:M ".ply" model and ".kfm" motion exports for tests. No sample files of these
// formats can be shipped, so tests describe one field by field and these lay the bytes out as
// the exporter does; every field is under the test's control, damaged values included.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "math/Vector3.h"
#include "skeletal/MotionTrack.h"

namespace qx::test {

struct PlyBytes {
    struct Surface {
        std::array<std::uint8_t, 3> color{};
        std::int32_t value1 = 0;
        std::array<std::uint8_t, 3> color2{};
        std::int32_t value2 = 0, value3 = 0, value4 = 0, value5 = 0, value6 = 0, value7 = 0, value8 = 0, value9 = 0;
    };
    struct Image {
        std::string name;
        std::int16_t word1 = 0;
        std::int16_t word2 = 0;
    };
    struct Mapping {
        std::int32_t imageIndex = 0, value1 = 0, value2 = 0, value3 = 0;
        std::uint8_t byte1 = 0, byte2 = 0;
        float uv[4][2] = {};  // as stored: v counted from the top
    };
    struct Patch {
        std::int32_t surfaceIndex = 0;
        std::array<std::int32_t, 4> positionIndex{};
        std::array<std::int32_t, 4> normalIndex{};
        std::vector<Mapping> mappings;
    };
    // Bones are listed in file order (pre-order) with the two flags that shape the tree.
    struct Bone {
        bool hasChild = false;
        bool hasSibling = false;
        std::string name;
        Vector3 start;
        Vector3 end{0, 0, 1};
        Vector3 roll{0, 1, 0};
        std::vector<std::int32_t> attachedPositions;
    };

    std::string magic = "PLY";
    std::int32_t version = 2;
    std::vector<Surface> surfaces;
    std::vector<Image> images;
    std::vector<Vector3> positions;
    std::vector<Vector3> normals;
    std::vector<Patch> patches;
    std::vector<Bone> bones;

    std::vector<std::uint8_t> bytes() const;
};

// The smallest complete model: one grey surface, a unit square of four positions with one
// normal, one patch over it without mappings, and one bone "root" from the origin along +Z
// holding all four positions.
PlyBytes squarePly();

struct KfmBytes {
    struct Track {
        std::string name;
        Vector3 direction1{0, 0, 1};
        Vector3 roll1{0, 1, 0};
        Vector3 direction2;  // zero: the track keeps the identity basis
        Vector3 roll2;
        // Written with their handles unless flags bit 0 is set.
        std::array<std::vector<MotionKey>, ChannelCount> channels;
    };

    std::int32_t magic = 0x12345679;
    float duration = 0.0f;
    std::optional<std::uint16_t> trackCount;  // the number of tracks unless given
    std::vector<Track> tracks;

    std::vector<std::uint8_t> bytes() const;
};

}  // namespace qx::test
