#include "skeletal/MotionKeyRecord.h"

namespace qx {

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
