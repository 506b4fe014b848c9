#include "app/DroppedFiles.h"

#include <QMimeData>
#include <QUrl>

namespace qx::app {

QStringList droppedFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files.append(url.toLocalFile());
    return files;
}

}  // namespace qx::app
