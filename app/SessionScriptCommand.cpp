#include "app/SessionScriptCommand.h"

#include <QFile>
#include <QFileInfo>

#include <span>
#include <string>

#include "app/CBaseView.h"
#include "app/CChildFrame.h"
#include "app/CommandHost.h"
#include "app/FileDialogs.h"
#include "core/ByteSink.h"

namespace qx::app {

void SessionScriptCommand::run() {
    CBaseView* view = host_.activeView();
    const CChildFrame* frame = host_.activeChildFrame();
    if (view == nullptr || frame == nullptr) return;
    const ClockPause resting(host_.clock());
    const double time = view->sessionTime();
    view->showTime(time);
    const QString proposed = QFileInfo(QString::fromStdString(frame->document().pathName())).completeBaseName() +
                             QStringLiteral("-session.sh");
    const FileDialogResult target = host_.dialogs().askForFile(
        host_.dialogParent(),
        {false, QStringLiteral("sh"), proposed, QStringLiteral("Shell Scripts (*.sh)|*.sh||"), {}});
    if (!target.ok) return;
    QString path = target.path;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".sh");
    const std::string script =
        sessionScript(view->instance()->kind(), frame->sessionFiles(), view->session().events(), time);
    std::string reason;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(script.data());
    if (!writeFileAtomically(path.toStdString(), std::span(bytes, script.size()), &reason)) {
        host_.dialogs().showMessage(
            host_.dialogParent(),
            QStringLiteral("Cannot write %1: %2").arg(QFileInfo(path).fileName(), QString::fromStdString(reason)));
        return;
    }
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
}

}  // namespace qx::app
