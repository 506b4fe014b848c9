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
    // A glTF becomes a skeletal mesh or a vertex model, as what it holds says.
    const QString extension = QString::fromLatin1(converted->gltf ? converted->extension() : conversion->to);
    const QString proposed = QFileInfo(source.fileName).completeBaseName() + QLatin1Char('.') + extension;
    const FileDialogResult target = dialogs.askForFile(
        parent, {false, extension, proposed, convertTargetFilter(extension), QFileInfo(source.path).absolutePath()});
    if (!target.ok) return;
    QString path = target.path;
    if (QFileInfo(path).suffix().isEmpty()) path += QLatin1Char('.') + extension;
    std::unique_ptr<ConvertedFile> named;
    if (converted->gltf && QFileInfo(path).completeBaseName() != QFileInfo(source.fileName).completeBaseName()) {
        // The motions and pictures beside the model are named after it: converted again for its name.
        named = convertFile(source.path.toStdString(), &reason, {}, QFileInfo(path).completeBaseName().toStdString());
        if (!named) {
            dialogs.showMessage(
                parent, QStringLiteral("Cannot convert %1: %2").arg(source.fileName, QString::fromStdString(reason)));
            return;
        }
    }
    const ConvertedFile& result = named ? *named : *converted;
    if (!result.write(path.toStdString(), &reason)) {
        dialogs.showMessage(
            parent,
            QStringLiteral("Cannot write %1: %2").arg(QFileInfo(path).fileName(), QString::fromStdString(reason)));
        return;
    }
    if (result.gltf && !result.gltf->notes.empty()) {
        QString text = QStringLiteral("Converted %1 with what its formats cannot hold:").arg(source.fileName);
        for (const std::string& note : result.gltf->notes)
            text += QStringLiteral("\n- ") + QString::fromStdString(note);
        dialogs.showMessage(parent, text);
    }
}

}  // namespace qx::app
