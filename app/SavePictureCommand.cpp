#include "app/SavePictureCommand.h"

#include <QFileInfo>
#include <QImage>

#include <cstring>
#include <vector>

#include "app/CBaseView.h"
#include "app/CChildFrame.h"
#include "app/CommandHost.h"
#include "app/FileDialogs.h"
#include "render/PngWriter.h"

namespace qx::app {

void SavePictureCommand::run() {
    CBaseView* view = host_.activeView();
    if (view == nullptr) return;
    const ClockPause resting(host_.clock());
    // What the screen shows now, at the view's size: taken before the dialog covers it.
    const QImage picture = view->renderFrame().convertToFormat(QImage::Format_RGBA8888);
    const CChildFrame* frame = host_.activeChildFrame();
    const QString proposed = frame != nullptr
                                 ? QFileInfo(QString::fromStdString(frame->document().pathName())).completeBaseName() +
                                       QStringLiteral(".png")
                                 : QStringLiteral("picture.png");
    const FileDialogResult target = host_.dialogs().askForFile(
        host_.dialogParent(),
        {false, QStringLiteral("png"), proposed, QStringLiteral("PNG Pictures (*.png)|*.png||"), {}});
    if (!target.ok || picture.isNull()) return;
    QString path = target.path;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width()) * 4;
    std::vector<std::uint8_t> rgba(rowBytes * static_cast<std::size_t>(picture.height()));
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(rgba.data() + static_cast<std::size_t>(y) * rowBytes, picture.constScanLine(y), rowBytes);
    std::string reason;
    if (!writePng(path.toStdString(), rgba.data(), picture.width(), picture.height(), &reason))
        host_.dialogs().showMessage(
            host_.dialogParent(),
            QStringLiteral("Cannot write %1: %2").arg(QFileInfo(path).fileName(), QString::fromStdString(reason)));
}

}  // namespace qx::app
