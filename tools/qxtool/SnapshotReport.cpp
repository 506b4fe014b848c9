#include "tools/qxtool/SnapshotReport.h"

#include "tools/qxtool/Report.h"

namespace qx::tool {

int snapshotOrReport(const SnapshotRequest& request, Snapshot& out) {
    SnapshotProblem problem;
    if (drawSnapshot(request, out, problem)) return ExitOk;
    return reportProblem(problem);
}

int reportProblem(const SnapshotProblem& problem) {
    if (problem.kind == SnapshotProblem::BadRequest) return usageError(problem.reason);
    return fail(problem.file, problem.reason);
}

}  // namespace qx::tool
