#pragma once
// The QXM2 motion file (".qm2"): a 24-byte header, then the tracks with their ten channel
// blocks; keys of 9 bytes, or 25 with their two handles.

#include <memory>
#include <string>

#include "skeletal/SkeletalMotion.h"

namespace qx {

// Reads a motion; none with a short reason when the file cannot be read or is damaged.
// nameHash is set from path exactly as passed; every channel goes through computeHandles.
std::unique_ptr<SkeletalMotion> readSkeletalMotion(const std::string& path, std::string* reason = nullptr);
std::unique_ptr<SkeletalMotion> parseSkeletalMotion(const std::uint8_t* data, std::size_t size,
                                                    std::string* reason = nullptr);

// Writes a motion atomically; false with a reason when the file could not be written whole.
bool writeSkeletalMotion(const std::string& path, const SkeletalMotion& motion, std::string* reason = nullptr);
std::vector<std::uint8_t> encodeSkeletalMotion(const SkeletalMotion& motion);

}  // namespace qx
