#include "skeletal/SkeletalMotionFile.h"

#include <cstring>

#include "core/ByteReader.h"
#include "core/ByteSink.h"
#include "core/ReadProblem.h"
#include "core/ReadWith.h"
#include "skeletal/ComputeHandles.h"
#include "skeletal/MotionKeyRecord.h"
#include "skeletal/NameHash.h"

namespace qx {

namespace {

// The smallest track: an empty name's 0 byte, three basis vectors and ten empty key counts.
constexpr std::size_t MinTrackBytes = 1 + 3 * 12 + ChannelCount * 4;

bool readTrack(ByteReader& in, MotionTrack& track, ReadProblem& problem) {
    if (!in.cString(track.name)) return problem.failHere("name runs past the end of the file");
    track.nameHash = nameHash(track.name);
    if (!in.vector3(track.basisX) || !in.vector3(track.basisY) || !in.vector3(track.basisZ))
        return problem.failHere("truncated basis");
    for (int c = 0; c < ChannelCount; ++c) {
        std::int32_t keyCount = 0;
        if (!in.count(keyCount, MotionKeyBytesWithoutHandles))
            return problem.failHere("channel " + std::to_string(c) +
                                    " has a missing, negative or impossible key count");
        auto& keys = track.channels[c].keys;
        keys.reserve(static_cast<std::size_t>(keyCount));
        for (std::int32_t k = 0; k < keyCount; ++k) {
            // Read in place: a key built beside the list and copied in would cost a stall each.
            if (!readMotionKey(in, keys.emplace_back()))
                return problem.failHere("truncated in channel " + std::to_string(c) + " key " + std::to_string(k));
        }
        computeHandles(track.channels[c]);
    }
    return true;
}

// Reads forward only, letting go of each track's bytes once the track is read.
bool readMotion(ByteReader& in, SkeletalMotion& motion, ReadProblem& problem) {
    char magic[4] = {};
    if (!in.bytes(magic, 4) || std::memcmp(magic, "QXM2", 4) != 0)
        return problem.fail("not a skeletal motion file (bad magic)");
    std::int32_t trackCount = 0;
    if (!in.i32(motion.animationType) || !in.f32(motion.attackLength) || !in.f32(motion.decayLength) ||
        !in.f32(motion.duration) || !in.i32(trackCount))
        return problem.fail("truncated header");
    if (trackCount < 0 || !in.fits(static_cast<std::size_t>(trackCount), MinTrackBytes))
        return problem.fail("track count " + std::to_string(trackCount) + " is more than the file can hold");
    motion.tracks.resize(static_cast<std::size_t>(trackCount));
    for (std::int32_t t = 0; t < trackCount; ++t) {
        problem.at("track", t);
        if (!readTrack(in, motion.tracks[static_cast<std::size_t>(t)], problem)) return false;
        in.releaseRead();
    }
    return true;
}

}  // namespace

std::unique_ptr<SkeletalMotion> parseSkeletalMotion(const std::uint8_t* data, std::size_t size, std::string* reason) {
    return readWith(ByteReader(data, size), readMotion, reason);
}

std::unique_ptr<SkeletalMotion> readSkeletalMotion(const std::string& path, std::string* reason) {
    auto motion = readFileWith(path, readMotion, reason);
    if (motion) motion->nameHash = nameHash(path);
    return motion;
}

std::vector<std::uint8_t> encodeSkeletalMotion(const SkeletalMotion& motion) {
    ByteSink out;
    out.bytes("QXM2", 4);
    out.i32(motion.animationType);
    out.f32(motion.attackLength);
    out.f32(motion.decayLength);
    out.f32(motion.duration);
    out.count(motion.tracks.size());
    for (const MotionTrack& track : motion.tracks) {
        out.cString(track.name);
        out.vector3(track.basisX);
        out.vector3(track.basisY);
        out.vector3(track.basisZ);
        for (const MotionChannel& channel : track.channels) {
            out.count(channel.keys.size());
            for (const MotionKey& key : channel.keys) writeMotionKey(out, key);
        }
    }
    return out.take();
}

bool writeSkeletalMotion(const std::string& path, const SkeletalMotion& motion, std::string* reason) {
    return writeFileAtomically(path, encodeSkeletalMotion(motion), reason);
}

}  // namespace qx
