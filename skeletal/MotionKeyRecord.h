#pragma once
// The motion key as both motion files store it: time, value and flags, then the two handles
// unless the flags say they are omitted. Little-endian floats, no padding.

#include <cstddef>

#include "core/ByteReader.h"
#include "core/ByteSink.h"
#include "skeletal/MotionTrack.h"

namespace qx {

inline constexpr std::size_t MotionKeyBytesWithoutHandles = 9;
inline constexpr std::size_t MotionKeyHandleBytes = 16;

// One key; false, with nothing consumed, when the bytes end inside it. Handles that are not
// stored are left as they were.
bool readMotionKey(ByteReader& in, MotionKey& key);

void writeMotionKey(ByteSink& out, const MotionKey& key);

}  // namespace qx
