#pragma once
// The modal dialogs the commands use: the open and save file dialogs and the message box with
// an OK button. The commands ask through Dialogs, so tests can answer in their place.
//
// Filters are written as the program has always kept them, description and pattern pairs
// separated by bars and ended by two bars ("Motion Files (*.qm2)|*.qm2||"); qtFileFilters turns
// them into Qt's form in this one place. Qt's file dialog matches the patterns in any case, so
// "WALK.QM2" is listed beside "walk.qm2".

#include <QString>

#include <QStringList>
#include <cstdint>
#include <functional>

class QWidget;

namespace qx::app {

struct RecordingChoice;

struct FileDialogRequest {
    bool open = true;          // open or save
    QString defaultExtension;  // without the dot: added to a name typed without one (save)
    QString initialName;       // file name offered at first
    QString filter;            // bar form
    QString folder;            // where to start; empty: where the last file was chosen
};

struct FileDialogResult {
    bool ok = false;    // false: cancelled
    QString path;       // full path of the chosen file
    QString fileName;   // without the folder
    QString extension;  // without the dot, as typed
};

// Qt's name filters for a bar-form filter, one per description.
QStringList qtFileFilters(const QString& barFilter);
// What the dialogs report about a chosen path.
FileDialogResult chosenFile(const QString& path);

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual FileDialogResult askForFile(QWidget* parent, const FileDialogRequest& request);
    virtual void showMessage(QWidget* parent, const QString& text);
    // A number above 0, offered as value at first; false when cancelled.
    virtual bool askForScale(QWidget* parent, const QString& label, double& value);
    // Record...: the size, rate, duration and orbit (app/RecordDialog.h), offered as choice is
    // at first; false when cancelled.
    virtual bool askForRecording(QWidget* parent, RecordingChoice& choice);
    // What shows a recording's progress: called after every frame written, false to cancel.
    virtual std::function<bool(std::int64_t written, std::int64_t total)> recordingProgress(QWidget* parent);

private:
    QString lastFolder_;
};

}  // namespace qx::app
