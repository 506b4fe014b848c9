#include "import/MotionFromKfm.h"

#include <algorithm>

#include "skeletal/ComputeHandles.h"
#include "skeletal/NameHash.h"

namespace qx {

std::unique_ptr<SkeletalMotion> motionFromKfm(const KfmMotion& kfm, float attackLength, float decayLength,
                                              std::int32_t animationType) {
    auto motion = std::make_unique<SkeletalMotion>();
    motion->attackLength = attackLength;
    motion->decayLength = decayLength;
    motion->animationType = animationType;
    motion->duration = kfm.duration;
    // The reader always holds trackCount tracks; a hand-built KfmMotion might not, and a track
    // that is not there is not invented.
    motion->tracks.resize(std::min<std::size_t>(kfm.trackCount, kfm.tracks.size()));
    for (std::size_t t = 0; t < motion->tracks.size(); ++t) {
        const MotionTrack& source = kfm.tracks[t];
        MotionTrack& track = motion->tracks[t];
        track.name = source.name;
        track.nameHash = nameHash(source.name);
        track.basisX = source.basisX;
        track.basisY = source.basisY;
        track.basisZ = source.basisZ;
        for (int c = 0; c < ChannelCount; ++c) {
            const auto& from = source.channels[c].keys;
            auto& keys = track.channels[c].keys;
            keys.reserve(from.size());
            for (const MotionKey& key : from) {
                MotionKey copy;
                copy.time = key.time;
                copy.value = key.value;
                copy.flags = key.flags;
                if ((key.flags & KeyHandlesOmitted) == 0) {
                    copy.outHandle = key.outHandle;
                    copy.inHandle = key.inHandle;
                }
                keys.push_back(copy);
            }
            computeHandles(track.channels[c]);
        }
    }
    return motion;
}

}  // namespace qx
