#include "import/KfmFile.h"

#include <cstring>

#include "core/ByteReader.h"
#include "core/ReadProblem.h"
#include "core/ReadWith.h"
#include "math/RotationRows.h"
#include "math/Trig.h"
#include "skeletal/ComputeHandles.h"
#include "skeletal/MotionKeyRecord.h"
#include "skeletal/NameHash.h"

namespace qx {

namespace {

constexpr std::size_t HeaderBytes = 4 + 4 + 2;
// An empty name's 0 byte, the four vectors and ten empty key counts.
constexpr std::size_t MinTrackBytes = 1 + 4 * 12 + ChannelCount * 2;
// Below this squared component the second direction counts as zero: the track keeps its
// identity basis.
constexpr float ZeroDirectionTolerance = 1e-6f;

Matrix3 transposed(const Matrix3& m) {
    Matrix3 t;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) t.m[i][j] = m.m[j][i];
    return t;
}

bool isZeroDirection(const Vector3& d) {
    return d.x * d.x < ZeroDirectionTolerance && d.y * d.y < ZeroDirectionTolerance &&
           d.z * d.z < ZeroDirectionTolerance;
}

bool readTrack(ByteReader& in, MotionTrack& track, ReadProblem& problem) {
    if (!in.cString(track.name)) return problem.failHere("name runs past the end of the file");
    track.nameHash = nameHash(track.name);
    Vector3 direction1, roll1, direction2, roll2;
    if (!in.vector3(direction1) || !in.vector3(roll1) || !in.vector3(direction2) || !in.vector3(roll2))
        return problem.failHere("truncated in its directions");
    const Matrix3 basis = kfmBasis(direction1, roll1, direction2, roll2);
    track.basisX = basis.row(0);
    track.basisY = basis.row(1);
    track.basisZ = basis.row(2);
    for (int c = 0; c < ChannelCount; ++c) {
        std::uint16_t keyCount = 0;
        if (!in.u16(keyCount)) return problem.failHere("truncated at channel " + std::to_string(c));
        if (!in.fits(keyCount, MotionKeyBytesWithoutHandles))
            return problem.failHere("truncated in channel " + std::to_string(c) + " (" + std::to_string(keyCount) +
                                    " keys announced)");
        auto& keys = track.channels[c].keys;
        keys.resize(keyCount);
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (!readMotionKey(in, keys[k]))
                return problem.failHere("truncated in channel " + std::to_string(c) + " key " + std::to_string(k));
        }
        computeHandles(track.channels[c]);
    }
    return true;
}

bool readKfmMotion(ByteReader& in, KfmMotion& motion, ReadProblem& problem) {
    if (!in.i32(motion.magic) || motion.magic != KfmMagic) return problem.fail("not a KFM motion file (bad magic)");
    if (!in.f32(motion.duration) || !in.u16(motion.trackCount))
        return problem.fail("truncated header (" + std::to_string(HeaderBytes) + " bytes needed)");
    if (!in.fits(motion.trackCount, MinTrackBytes))
        return problem.fail("track count " + std::to_string(motion.trackCount) + " is more than the file can hold");
    motion.tracks.resize(motion.trackCount);
    for (std::size_t t = 0; t < motion.tracks.size(); ++t) {
        problem.at("track", static_cast<std::int32_t>(t));
        if (!readTrack(in, motion.tracks[t], problem)) return false;
    }
    return true;
}

}  // namespace

Matrix3 kfmFrame(const Vector3& direction, const Vector3& roll) {
    // acos of an unnormalised direction's dot product can leave [-1, 1]; facos clamps it.
    Matrix3 frame = Matrix3::rotationAxis(facos(dot(direction, UnitZ)), rotation::axisOntoZ(direction));
    const Vector3 r = transform(roll, frame);
    const float turn = fatan2(-r.x, r.y);
    if (turn != 0.0f) frame.rotateZ(-turn);
    return frame;
}

Matrix3 kfmBasis(const Vector3& direction1, const Vector3& roll1, const Vector3& direction2, const Vector3& roll2) {
    if (isZeroDirection(direction2)) return Matrix3::identity();
    return product(transposed(kfmFrame(direction1, roll1)), kfmFrame(direction2, roll2));
}

std::unique_ptr<KfmMotion> parseKfm(const std::uint8_t* data, std::size_t size, std::string* reason) {
    return readWith(ByteReader(data, size), readKfmMotion, reason);
}

std::unique_ptr<KfmMotion> readKfm(const std::string& path, std::string* reason) {
    return readFileWith(path, readKfmMotion, reason);
}

}  // namespace qx
