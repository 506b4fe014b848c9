#include "tests/support/AmExportBuilder.h"

#include "core/ByteSink.h"

namespace qx::test {

std::vector<std::uint8_t> PlyBytes::bytes() const {
    ByteSink out;
    out.bytes(magic.data(), magic.size());
    out.i32(version);
    out.count(surfaces.size());
    for (const Surface& s : surfaces) {
        out.bytes(s.color.data(), 3);
        out.i32(s.value1);
        out.bytes(s.color2.data(), 3);
        for (const std::int32_t v : {s.value2, s.value3, s.value4, s.value5, s.value6, s.value7, s.value8, s.value9})
            out.i32(v);
    }
    out.count(images.size());
    for (const Image& image : images) {
        out.cString(image.name);
        out.i16(image.word1);
        out.i16(image.word2);
    }
    out.count(positions.size());
    for (const Vector3& p : positions) out.vector3(p);
    out.count(normals.size());
    for (const Vector3& n : normals) out.vector3(n);
    out.count(patches.size());
    for (const Patch& patch : patches) {
        out.i32(patch.surfaceIndex);
        for (const std::int32_t i : patch.positionIndex) out.i32(i);
        for (const std::int32_t i : patch.normalIndex) out.i32(i);
        out.count(patch.mappings.size());
        for (const Mapping& m : patch.mappings) {
            for (const std::int32_t v : {m.imageIndex, m.value1, m.value2, m.value3}) out.i32(v);
            out.u8(m.byte1);
            out.u8(m.byte2);
            for (const auto& corner : m.uv) {
                out.f32(corner[0]);
                out.f32(corner[1]);
            }
        }
    }
    for (const Bone& bone : bones) {
        out.u8(bone.hasChild ? 1 : 0);
        out.u8(bone.hasSibling ? 1 : 0);
        out.cString(bone.name);
        out.vector3(bone.start);
        out.vector3(bone.end);
        out.vector3(bone.roll);
        out.count(bone.attachedPositions.size());
        for (const std::int32_t p : bone.attachedPositions) out.i32(p);
    }
    return out.take();
}

PlyBytes squarePly() {
    PlyBytes ply;
    PlyBytes::Surface grey;
    grey.color = {128, 128, 128};
    ply.surfaces = {grey};
    ply.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    ply.normals = {{0, 0, 1}};
    PlyBytes::Patch patch;
    patch.positionIndex = {0, 1, 2, 3};
    ply.patches = {patch};
    PlyBytes::Bone root;
    root.name = "root";
    root.attachedPositions = {0, 1, 2, 3};
    ply.bones = {root};
    return ply;
}

std::vector<std::uint8_t> KfmBytes::bytes() const {
    ByteSink out;
    out.i32(magic);
    out.f32(duration);
    out.u16(trackCount.value_or(static_cast<std::uint16_t>(tracks.size())));
    for (const Track& track : tracks) {
        out.cString(track.name);
        out.vector3(track.direction1);
        out.vector3(track.roll1);
        out.vector3(track.direction2);
        out.vector3(track.roll2);
        for (const auto& keys : track.channels) {
            out.u16(static_cast<std::uint16_t>(keys.size()));
            for (const MotionKey& key : keys) {
                out.f32(key.time);
                out.f32(key.value);
                out.u8(key.flags);
                if ((key.flags & KeyHandlesOmitted) == 0) {
                    out.f32(key.outHandle.time);
                    out.f32(key.outHandle.value);
                    out.f32(key.inHandle.time);
                    out.f32(key.inHandle.value);
                }
            }
        }
    }
    return out.take();
}

}  // namespace qx::test
