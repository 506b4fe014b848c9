#pragma once
// Files dragged onto the viewer: the local paths a drag carries, in the order the file manager
// lists them. A drag of anything else (text, remote addresses) carries no file and is refused.

#include <QStringList>

class QMimeData;

namespace qx::app {

QStringList droppedFiles(const QMimeData* data);

}  // namespace qx::app
