#include "app/FileFilters.h"

#include "core/FileTypes.h"

namespace qx::app {

const char* const ModelFilesFilter = "Model Files (*.qv1; *.qm1)|*.qv1;*.qm1||";
const char* const MotionFilesFilter = "Motion Files (*.qm2)|*.qm2||";
// The import models' filter less its last bar, then the motions': one list of two entries.
const char* const ConvertSourceFilter =
    "Import Model Files (*.md2; *.ply)|*.md2;*.ply|Import Motion Files (*.kfm)|*.kfm||";

QString convertTargetFilter(const QString& extension) {
    const FileTypeRow* row = fileTypeOfExtension(extension.toStdString());
    const FileRole role = row != nullptr ? row->role : FileRole::SkeletalMotion;
    const QString pattern = QStringLiteral("(*.%1)|*.%1||").arg(extension);
    if (role == FileRole::SkeletalMesh) return QStringLiteral("Skeletal Mesh Files ") + pattern;
    if (role == FileRole::VertexModel) return QStringLiteral("Vertex Model Files ") + pattern;
    return QStringLiteral("Skeletal Motion File ") + pattern;
}

}  // namespace qx::app
