#pragma once
// render and thumbnail draw through the scene's snapshot; a snapshot that fails is reported
// here as qxtool reports any failure.

#include "scene/Snapshot.h"

namespace qx::tool {

// Draws the request into out: ExitOk, or the exit status after reporting why it failed (a
// request the model cannot take is a usage error).
int snapshotOrReport(const SnapshotRequest& request, Snapshot& out);
// Reports why a model could not be drawn and returns the exit status.
int reportProblem(const SnapshotProblem& problem);

}  // namespace qx::tool
