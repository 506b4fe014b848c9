#pragma once
// Small skeletal meshes for tests, with every field of every record set to a value of its own so
// that a field lost or swapped on the way through a file shows.

#include <cstdint>
#include <string>

#include "skeletal/SkeletalMesh.h"

namespace qx::test {

// A bone with the given links and points; its matrices computed from the points.
MeshBone bone(const std::string& name, std::int32_t parent, std::int32_t firstChild, std::int32_t nextSibling,
              const Vector3& start, const Vector3& end, const Vector3& roll);

// Four positions, two normals, three faces (with one, none and two mappings), two materials,
// two textures ("skin.bmp" and a name holding the byte 0xE9), three bones (a root with two
// children; the second child's stored nameHash is not the hash of its name) and two render
// groups. See MeshBuilder.cpp for the values.
SkeletalMesh sampleMesh();

// Checks every stored field of two meshes (textures by name and aux words, bones with their
// matrices); nameHash and the import map are not stored and are left to the caller.
void expectSameStoredFields(const SkeletalMesh& expected, const SkeletalMesh& actual);

}  // namespace qx::test
