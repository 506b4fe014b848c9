#include "app/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include "app/RecordDialog.h"

namespace qx::app {

QStringList qtFileFilters(const QString& barFilter) {
    QStringList filters;
    const QStringList parts = barFilter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns.append(pattern.trimmed());
        // Qt takes the patterns from the last parentheses and, with the details hidden, shows
        // the description before them as written.
        filters.append(parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return filters;
}

FileDialogResult chosenFile(const QString& path) {
    const QFileInfo info(path);
    return {true, info.absoluteFilePath(), info.fileName(), info.suffix()};
}

FileDialogResult Dialogs::askForFile(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(qtFileFilters(request.filter));
    if (!request.defaultExtension.isEmpty()) dialog.setDefaultSuffix(request.defaultExtension);
    const QString folder = request.folder.isEmpty() ? lastFolder_ : request.folder;
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (!request.initialName.isEmpty()) dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const FileDialogResult chosen = chosenFile(dialog.selectedFiles().front());
    lastFolder_ = QFileInfo(chosen.path).absolutePath();
    return chosen;
}

void Dialogs::showMessage(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QStringLiteral("qxmodelview"), text, QMessageBox::Ok);
}

bool Dialogs::askForScale(QWidget* parent, const QString& label, double& value) {
    bool ok = false;
    const double chosen =
        QInputDialog::getDouble(parent, QStringLiteral("qxmodelview"), label, value, 1e-6, 1e6, 6, &ok);
    if (ok) value = chosen;
    return ok;
}

bool Dialogs::askForRecording(QWidget* parent, RecordingChoice& choice) {
    return askForRecordingChoice(parent, choice);
}

std::function<bool(std::int64_t, std::int64_t)> Dialogs::recordingProgress(QWidget* parent) {
    return recordingProgressDialog(parent);
}

}  // namespace qx::app
