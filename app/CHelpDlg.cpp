#include "app/CHelpDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ToolbarIcons.h"

namespace qx::app {

namespace {

QGroupBox* textGroup(const QString& title, const QStringList& lines, QWidget* parent) {
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(group);
    for (const QString& line : lines) {
        auto* label = new QLabel(line, group);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    return group;
}

}  // namespace

CHelpDlg::CHelpDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("About qxmodelview"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(programIcon().pixmap(32, 32));
    top->addWidget(icon);
    top->addWidget(new QLabel(QStringLiteral("qxmodelview Version 1.0"), this), 1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
    top->addWidget(ok);
    layout->addLayout(top);

    layout->addWidget(textGroup(
        QStringLiteral("Converting files"),
        {QStringLiteral("For A:M files, export the model  as ply, or export the action as a kfm.  In this viewer, "
                        "convert the ply or kfm files to qm1 and qm2 files."),
         QStringLiteral("For MD2 files, convert file to qv1 and load.")},
        this));
    layout->addWidget(textGroup(
        QStringLiteral("Using QM1 and QM2 files"),
        {QStringLiteral("Load a qm1 file, then the qm2 files. The Properties Panel adjusts animation settings.  In the "
                        "Tree View, expand the tree to see the loaded animations.  Selecting the check boxes will "
                        "(de)activate the animations.")},
        this));
    layout->addWidget(
        textGroup(QStringLiteral("Using QV1 files"),
                  {QStringLiteral(
                      "Load a qv1 file. The Properties Panel sets the frames animated.  Fps is the rate of playback.  "
                      "Expand the Tree View to see each frame of animation.  Click the label to select the "
                      "animation.  Click the model name to reset the frames.")},
                  this));
    layout->addWidget(textGroup(
        QStringLiteral("Opening files together"),
        {QStringLiteral("Drop models and motions on the window, or name them on the command line "
                        "(qxmodelview figure.qm1 figure-walk.qm2): each motion plays on the skeletal mesh before it, "
                        "or on the one it is dropped on. ply, kfm and md2 files open converted. File > Save Picture "
                        "keeps the view as a PNG picture.")},
        this));
    layout->addWidget(textGroup(
        QStringLiteral("Controls"),
        {QStringLiteral("Rotate XY: Drag Left Mouse Button"), QStringLiteral("Rotate Z: Ctrl + Right Mouse Button"),
         QStringLiteral("Translate XY: Ctrl+Drag Left Mouse Button"), QStringLiteral("Translate Z: Right Mouse Button"),
         QStringLiteral("Zoom: Shift + Right Mouse Button")},
        this));
    layout->addWidget(textGroup(
        QStringLiteral("Playback"),
        {QStringLiteral("Space: play or pause.  Left / Right: step one frame back or forward.  Home: back to the "
                        "start.  Drag the timeline under the view to see any moment played so far; the box beside "
                        "it sets the speed.  File > Save Session Script keeps what played as a qxtool script.")},
        this));
    auto* options = new QGroupBox(QStringLiteral("View Options"), this);
    auto* optionsLayout = new QVBoxLayout(options);
    auto* strip = new QLabel(options);
    strip->setObjectName(QStringLiteral("toolbarPicture"));
    const qreal ratio = devicePixelRatioF();
    QPixmap picture = toolbarStrip(static_cast<int>(16 * ratio));
    picture.setDevicePixelRatio(ratio);
    strip->setPixmap(picture);
    optionsLayout->addWidget(strip);
    optionsLayout->addWidget(new QLabel(QStringLiteral("Open, Help, Convert, Pause, Texture, Cull"), options));
    layout->addWidget(options);
    setMinimumWidth(420);
}

}  // namespace qx::app
