// The A:M ".kfm" motion export kind: tracks as a ".qm2" motion's, with the basis and handles the
// reader computes; render does not draw a motion on its own.

#include <iostream>

#include "scene/OpenFile.h"
#include "tools/qxtool/FileKinds.h"
#include "tools/qxtool/MotionJson.h"
#include "tools/qxtool/Report.h"
#include "tools/qxtool/TextSummary.h"

namespace qx::tool {

namespace {

int dump(const std::string& path) {
    std::string reason;
    const auto motion = readStored<KfmMotion>(path, &reason);
    if (!motion) return fail(path, reason);
    Json out;
    out["type"] = extensionOf(KfmKind.type);
    out["magic"] = motion->magic;
    out["duration"] = jsonFloat(motion->duration);
    out["trackCount"] = motion->trackCount;
    out["tracks"] = tracksJson(motion->tracks);
    printJson(out);
    return ExitOk;
}

int info(const std::string& path) {
    std::string reason;
    const auto motion = readStored<KfmMotion>(path, &reason);
    if (!motion) return fail(path, reason);
    std::cout << path << ": A:M KFM motion\n"
              << "  tracks: " << motion->tracks.size() << '\n'
              << "  keys: " << keyCount(motion->tracks) << '\n'
              << "  duration: " << motion->duration << " s\n";
    return ExitOk;
}

}  // namespace

const FileKind KfmKind{FileType::AmMotion, &dump, &info};

}  // namespace qx::tool
