#pragma once
// The four files opened last, newest first, kept in the settings as the program always kept
// them ("Recent File List/File1".."File4"). The File menu shows them (changed()).

#include <QObject>
#include <QStringList>

namespace qx::app {

class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int Count = 4;

    QStringList files() const;
    // Puts path first (once), dropping the oldest beyond four.
    void add(const QString& path);
    void remove(const QString& path);

signals:
    void changed(const QStringList& files);

private:
    void store(const QStringList& files);
};

}  // namespace qx::app
