#pragma once
// Converting an A:M motion to a skeletal motion: tracks, keys and basis vectors are copied and
// every channel's handles recomputed, exactly as reading the result back from a ".qm2" file
// would recompute them.

#include <cstdint>
#include <memory>

#include "import/KfmMotion.h"
#include "skeletal/SkeletalMotion.h"

namespace qx {

// A new motion from kfm (only read) with the given default fade lengths and animation type; its
// duration is the KFM's. A key's handles are copied only when the key stores them (flags bit 0
// clear), otherwise they start at zero, as they would when read from a ".qm2" file. The motion's
// nameHash is left 0: it belongs to a path.
std::unique_ptr<SkeletalMotion> motionFromKfm(const KfmMotion& kfm, float attackLength, float decayLength,
                                              std::int32_t animationType);

}  // namespace qx
