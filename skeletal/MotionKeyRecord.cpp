#include "skeletal/MotionKeyRecord.h"

#include <cstring>

namespace qx {

// Straight from the bytes rather than field by field through the cursor: a big motion holds
// millions of keys.
bool readMotionKey(ByteReader& in, MotionKey& key) {
    if (in.remaining() < MotionKeyBytesWithoutHandles) return false;
    const std::uint8_t* p = in.current();
    const bool handles = (p[8] & KeyHandlesOmitted) == 0;
    const std::size_t bytes = MotionKeyBytesWithoutHandles + (handles ? MotionKeyHandleBytes : 0);
    if (in.remaining() < bytes) return false;
    std::memcpy(&key.time, p, 4);
    std::memcpy(&key.value, p + 4, 4);
    key.flags = p[8];
    if (handles) {
        std::memcpy(&key.outHandle, p + 9, 8);
        std::memcpy(&key.inHandle, p + 17, 8);
    }
    return in.skip(bytes);
}

void writeMotionKey(ByteSink& out, const MotionKey& key) {
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

}  // namespace qx
