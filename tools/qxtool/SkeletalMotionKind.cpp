// The ".qm2" skeletal motion kind: dumped whole and summarised; render does not draw a motion
// on its own.

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
    const auto motion = readStored<SkeletalMotion>(path, &reason);
    if (!motion) return fail(path, reason);
    Json out;
    out["type"] = extensionOf(SkeletalMotionKind.type);
    out["animationType"] = motion->animationType;
    out["attackLength"] = jsonFloat(motion->attackLength);
    out["decayLength"] = jsonFloat(motion->decayLength);
    out["duration"] = jsonFloat(motion->duration);
    out["nameHash"] = motion->nameHash;
    out["tracks"] = tracksJson(motion->tracks);
    printJson(out);
    return ExitOk;
}

int info(const std::string& path) {
    std::string reason;
    const auto motion = readStored<SkeletalMotion>(path, &reason);
    if (!motion) return fail(path, reason);
    const char* type = motion->animationType == CycleAnimation     ? "cycle"
                       : motion->animationType == OverlayAnimation ? "overlay"
                                                                   : "never plays";
    std::cout << path << ": skeletal motion\n"
              << "  tracks: " << motion->tracks.size() << '\n'
              << "  keys: " << keyCount(motion->tracks) << '\n'
              << "  duration: " << motion->duration << " s\n"
              << "  animation type: " << motion->animationType << " (" << type << ")\n"
              << "  attack: " << motion->attackLength << " s, decay: " << motion->decayLength << " s\n";
    return ExitOk;
}

}  // namespace

const FileKind SkeletalMotionKind{FileType::SkeletalMotion, &dump, &info};

}  // namespace qx::tool
