#include "app/ConvertCommand.h"

#include <QFileInfo>

#include "app/CommandHost.h"
#include "app/FileDialogs.h"
#include "app/FileFilters.h"
#include "import/Conversion.h"

namespace qx::app {

void ConvertCommand::run() {
    const ClockPause resting(host_.clock());
    Dialogs& dialogs = host_.dialogs();
    QWidget* parent = host_.dialogParent();
    const FileDialogResult source = dialogs.askForFile(parent, {true, {}, {}, ConvertSourceFilter, {}});
    if (!source.ok) return;
    const std::optional<Conversion> conversion = findConversion(source.path.toStdString());
    if (!conversion) return;
    std::string reason;
    const std::unique_ptr<ConvertedFile> converted = convertFile(source.path.toStdString(), &reason);
    if (!converted) {
        dialogs.showMessage(
            parent, QStringLiteral("Cannot convert %1: %2").arg(source.fileName, QString::fromStdString(reason)));
        return;
    }
    const QString extension = QString::fromLatin1(conversion->to);
    const QString proposed = source.fileName.left(source.fileName.size() - 4) + QLatin1Char('.') + extension;
    const FileDialogResult target = dialogs.askForFile(
        parent, {false, extension, proposed, convertTargetFilter(extension), QFileInfo(source.path).absolutePath()});
    if (!target.ok) return;
    QString path = target.path;
    if (QFileInfo(path).suffix().isEmpty()) path += QLatin1Char('.') + extension;
    if (!converted->write(path.toStdString(), &reason))
        dialogs.showMessage(
            parent,
            QStringLiteral("Cannot write %1: %2").arg(QFileInfo(path).fileName(), QString::fromStdString(reason)));
}

}  // namespace qx::app
