#pragma once
// What an export could not carry into glTF, counted so that the caller can say so.

#include <cstddef>
#include <string>
#include <vector>

namespace qx {

struct GltfExportNotes {
    // Positions that more than one bone lists. Playback moves such a position by each of those
    // bones in turn; a glTF vertex follows its first bone only.
    std::size_t doublyAttachedPositions = 0;
    // Numbers that were not finite (in sampled poses, bone frames, positions, texture
    // coordinates), written as identity values or zero instead.
    std::size_t nonFiniteValues = 0;
    // Motions exported; each is an animation of its own, so how playback blends cycles played
    // together is not kept.
    std::size_t motions = 0;
    // Bones whose fixed part scales or shears: each keeps a fixed node above its joint, so tools
    // that list nodes show two for the bone.
    std::size_t unfoldedBones = 0;
    // Animations that stray further from playback than the tolerance somewhere (see
    // AdaptiveSampling.h).
    std::size_t looseAnimations = 0;
    // Of those: animations with curves that play as millisecond steps (halving reached
    // neighbouring floats), and animations whose samples ran out of budget.
    std::size_t steppedAnimations = 0;
    std::size_t unsampledAnimations = 0;
    // Sample times written, over all animations (not a limit: the summary says it).
    std::size_t samples = 0;
};

// One sentence per limit met, for people; none when the export is exact.
std::vector<std::string> describe(const GltfExportNotes& notes);

}  // namespace qx
