#pragma once

#include "skeletal/MotionTrack.h"

namespace qx {

// Recomputes the handles of every key of the channel from its neighbours (Catmull-Rom-like
// tangents, each scaled to the length of its own segment). Every loaded or converted channel
// goes through it. A key whose two neighbours share a time gets zero handles and ends the pass:
// later keys keep the handles they had (those read from the file), so that a motion file this
// system wrote reads back with the very handles it holds.
void computeHandles(MotionChannel& channel);

}  // namespace qx
