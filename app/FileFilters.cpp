#include "app/FileFilters.h"

#include "core/FileTypes.h"

namespace qx::app {

const QString ModelFilesFilter = QString::fromStdString(openFilter(FileFamily::Models));
const QString MotionFilesFilter = QString::fromStdString(openFilter(FileFamily::Motions));
const QString ConvertSourceFilter = QString::fromStdString(convertSourceFilter());

QString convertTargetFilter(const QString& extension) {
    return QString::fromStdString(qx::convertTargetFilter(extension.toStdString()));
}

}  // namespace qx::app
