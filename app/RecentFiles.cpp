#include "app/RecentFiles.h"

#include <QSettings>

namespace qx::app {

QStringList RecentFiles::files() const {
    QSettings settings;
    QStringList files;
    for (int i = 1; i <= Count; ++i) {
        const QString file = settings.value(QStringLiteral("Recent File List/File%1").arg(i)).toString();
        if (!file.isEmpty()) files.append(file);
    }
    return files;
}

void RecentFiles::add(const QString& path) {
    QStringList list = files();
    list.removeAll(path);
    list.prepend(path);
    store(list);
}

void RecentFiles::remove(const QString& path) {
    QStringList list = files();
    list.removeAll(path);
    store(list);
}

void RecentFiles::store(const QStringList& list) {
    QSettings settings;
    for (int i = 0; i < Count; ++i)
        settings.setValue(QStringLiteral("Recent File List/File%1").arg(i + 1), i < list.size() ? list[i] : QString());
    emit changed(files());
}

}  // namespace qx::app
