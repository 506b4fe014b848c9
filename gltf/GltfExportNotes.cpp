#include "gltf/GltfExportNotes.h"

namespace qx {

std::vector<std::string> describe(const GltfExportNotes& notes) {
    std::vector<std::string> lines;
    if (notes.doublyAttachedPositions > 0)
        lines.push_back("positions attached to more than one bone: " + std::to_string(notes.doublyAttachedPositions) +
                        " (playback moves them by each bone in turn, glTF by their first bone only)");
    if (notes.motions > 1)
        lines.push_back("motions exported as separate animations: " + std::to_string(notes.motions) +
                        " (glTF plays one at a time: how cycles blend when played together is not kept)");
    if (notes.unfoldedBones > 0)
        lines.push_back("bones that scale or shear their children: " + std::to_string(notes.unfoldedBones) +
                        " (each written as a fixed node and a joint under it)");
    if (notes.looseAnimations > 0)
        lines.push_back("animations that stray from playback by more than 1e-4 of the model's size: " +
                        std::to_string(notes.looseAnimations) + " (" +
                        (notes.steppedAnimations > 0 ? "curves that play as steps a millisecond apart" : "") +
                        (notes.steppedAnimations > 0 && notes.unsampledAnimations > 0 ? "; " : "") +
                        (notes.unsampledAnimations > 0 ? "more samples than the sampling may take" : "") + ")");
    if (notes.nonFiniteValues > 0)
        lines.push_back("numbers that were not finite: " + std::to_string(notes.nonFiniteValues) +
                        " (written as identity values or zero)");
    return lines;
}

}  // namespace qx
