#include "scene/Snapshot.h"

#include "scene/ModelScene.h"
#include "scene/OffscreenScene.h"

namespace qx {

bool drawSnapshot(const SnapshotRequest& r, Snapshot& out, SnapshotProblem& problem) {
    OffscreenScene scene;
    if (!scene.open(r, problem)) return false;
    const std::unique_ptr<ModelInstance> instance = scene.makeInstance();
    return scene.draw(advanceLikeViewer(*instance, r.time), r.turn, out, true, problem);
}

}  // namespace qx
