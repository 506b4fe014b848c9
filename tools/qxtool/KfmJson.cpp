// The A:M ".kfm" motion export as qxtool shows it: tracks as a ".qm2" motion's, with the basis
// and handles the reader computes.

#include <iostream>

#include "import/KfmFile.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/MotionJson.h"
#include "tools/qxtool/Report.h"

namespace qx::tool {

int dumpKfm(const std::string& path) {
    std::string reason;
    const auto motion = readKfm(path, &reason);
    if (!motion) return fail(path, reason);
    Json out;
    out["type"] = "kfm";
    out["magic"] = motion->magic;
    out["duration"] = jsonFloat(motion->duration);
    out["trackCount"] = motion->trackCount;
    out["tracks"] = tracksJson(motion->tracks);
    printJson(out);
    return ExitOk;
}

int infoKfm(const std::string& path) {
    std::string reason;
    const auto motion = readKfm(path, &reason);
    if (!motion) return fail(path, reason);
    std::size_t keys = 0;
    for (const MotionTrack& track : motion->tracks)
        for (const MotionChannel& channel : track.channels) keys += channel.keys.size();
    std::cout << path << ": A:M KFM motion\n"
              << "  tracks: " << motion->tracks.size() << '\n'
              << "  keys: " << keys << '\n'
              << "  duration: " << motion->duration << " s\n";
    return ExitOk;
}

}  // namespace qx::tool
