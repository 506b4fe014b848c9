// The A:M pipelines of qxtool convert: ".ply" to ".qm1" and ".kfm" to ".qm2", as the viewer's
// Convert command runs them. Texture entries keep their image names; no image is opened.

#include "import/KfmFile.h"
#include "import/MeshFromPly.h"
#include "import/MotionFromKfm.h"
#include "import/PlyFile.h"
#include "skeletal/SkeletalMeshFile.h"
#include "skeletal/SkeletalMotionFile.h"
#include "tools/qxtool/Convert.h"
#include "tools/qxtool/Report.h"

namespace qx::tool {

int convertPly(const std::string& source, const std::string& destination) {
    std::string reason;
    const auto ply = readPly(source, &reason);
    if (!ply) return fail(source, reason);
    const auto mesh = meshFromPly(*ply);
    if (!writeSkeletalMesh(destination, *mesh, &reason)) return fail(destination, reason);
    return ExitOk;
}

int convertKfm(const std::string& source, const std::string& destination) {
    std::string reason;
    const auto kfm = readKfm(source, &reason);
    if (!kfm) return fail(source, reason);
    // The Convert command's defaults: no fade-in or fade-out of its own, played as a cycle.
    const auto motion = motionFromKfm(*kfm, 0.0f, 0.0f, CycleAnimation);
    if (!writeSkeletalMotion(destination, *motion, &reason)) return fail(destination, reason);
    return ExitOk;
}

}  // namespace qx::tool
