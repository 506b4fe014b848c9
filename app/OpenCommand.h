#pragma once
// Open, and every other way a file comes into the viewer: the command line, files dropped on a
// window, the recent files. A model (.qm1, .qv1, or a .ply or .md2 converted in memory) opens
// as a document in a child window of its own; a motion (.qm2, or a .kfm converted in memory)
// goes into a skeletal mesh document. Files are read through the one opening module
// (scene/OpenFile.h), so a file gets the answer here that qxtool gives it. A file that cannot
// be opened is named in a message with the reason, and nothing is opened or added.

#include <QString>
#include <QStringList>

class QWidget;

namespace qx::app {

class CChildFrame;
class CommandHost;
class CSModelDoc;
class CSMotionDoc;
class RecentFiles;

class OpenCommand {
public:
    OpenCommand(CommandHost& host, RecentFiles& recentFiles) : host_(host), recentFiles_(recentFiles) {}

    // File > Open: with a skeletal mesh window active, offers its motions (a model chosen
    // there still opens beside it); with a vertex model window active, closes it first.
    void run();
    // Files given on the command line or dropped, in order: a model opens a document; a motion
    // goes into the last skeletal mesh opened before it, else into target's, and plays. A file
    // that cannot be opened is named in a message; the others still open.
    void openFiles(const QStringList& paths, CChildFrame* target = nullptr);
    // Files dropped on the main window (on: the widget under the drop): motions go into the
    // skeletal mesh window they were dropped on, else the active one.
    void openDropped(const QStringList& paths, QWidget* on);
    // A recent-file entry, opened as Open would with it chosen; a file that has gone is named
    // in a message and leaves the list.
    void openRecent(const QString& path);
    // Opens a model file as a document in a new child window; none, after a message, when it
    // cannot be read.
    CChildFrame* openDocument(const QString& path);

private:
    // Reads the motion into the document (which announces it); none, after a message, when
    // it is already loaded or cannot be read.
    CSMotionDoc* loadMotion(CSModelDoc& document, const QString& path);
    void showProblem(const QString& path, const std::string& reason);

    CommandHost& host_;
    RecentFiles& recentFiles_;
};

}  // namespace qx::app
