#pragma once
// The file filters of the commands' dialogs, in their bar form (see FileDialogs), made from the
// table of file types.

#include <QString>

namespace qx::app {

// Open: the models, or with a skeletal mesh window active the motions.
extern const QString ModelFilesFilter;
extern const QString MotionFilesFilter;
// Convert: the files a conversion reads, and what it writes for one of them (by extension).
extern const QString ConvertSourceFilter;
QString convertTargetFilter(const QString& extension);

}  // namespace qx::app
