#pragma once
// The file filters of the commands' dialogs, in their bar form (see FileDialogs).

#include <QString>

namespace qx::app {

// Open: the models, or with a skeletal mesh window active the motions.
extern const char* const ModelFilesFilter;
extern const char* const MotionFilesFilter;
// Convert: the files a conversion reads, and what it writes for one of them (by extension).
extern const char* const ConvertSourceFilter;
QString convertTargetFilter(const QString& extension);

}  // namespace qx::app
