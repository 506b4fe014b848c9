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
// stored are left as they were. Inline and straight from the bytes: a big motion holds
// millions of keys, and a key built out of line stalls the copy into its list.
inline bool readMotionKey(ByteReader& in, MotionKey& key) {
    FixedRecord fixed;
    if (in.remaining() < MotionKeyBytesWithoutHandles) return false;
    const bool handles = (in.current()[8] & KeyHandlesOmitted) == 0;
    if (!in.record(MotionKeyBytesWithoutHandles + (handles ? MotionKeyHandleBytes : 0), fixed)) return false;
    key.time = fixed.f32();
    key.value = fixed.f32();
    key.flags = fixed.u8();
    if (handles) {
        key.outHandle.time = fixed.f32();
        key.outHandle.value = fixed.f32();
        key.inHandle.time = fixed.f32();
        key.inHandle.value = fixed.f32();
    }
    return true;
}

void writeMotionKey(ByteSink& out, const MotionKey& key);

}  // namespace qx
