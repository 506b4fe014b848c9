#include "gltf/GltfExportNotes.h"

namespace qx {

std::vector<std::string> describe(const GltfExportNotes& notes) {
    std::vector<std::string> lines;
    if (notes.doublyAttachedPositions > 0)
        lines.push_back(std::to_string(notes.doublyAttachedPositions) +
                        " positions are attached to more than one bone: playback moves them by each bone in turn, "
                        "glTF by their first bone only");
    if (notes.motions > 1)
        lines.push_back(std::to_string(notes.motions) +
                        " motions became separate animations: glTF plays them one at a time, so how cycles "
                        "blend when played together is not kept");
    if (notes.nonFiniteValues > 0)
        lines.push_back(std::to_string(notes.nonFiniteValues) +
                        " values were not finite numbers and were written as identity values or zero");
    return lines;
}

}  // namespace qx
