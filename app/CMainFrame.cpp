#include "app/CMainFrame.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "app/DroppedFiles.h"
#include "app/ToolbarIcons.h"

namespace qx::app {

namespace {

const char* const CommandProperty = "commandId";
const char* const FrameRateSample = "00000.00 fps";

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QStringLiteral("qxmodelview"));
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea_);

    addCommand(IdFileOpen, QStringLiteral("&Open..."), QStringLiteral("Open an existing document"),
               QStringLiteral("Open"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    addCommand(IdFileClose, QStringLiteral("&Close"), QStringLiteral("Close the active document"),
               QStringLiteral("Close"));
    addCommand(IdAppExit, QStringLiteral("E&xit"), QStringLiteral("Quit the application"), QStringLiteral("Exit"));
    addCommand(IdAppAbout, QStringLiteral("&About qxmodelview..."),
               QStringLiteral("Display program information, version number and copyright"), QStringLiteral("About"));
    addCommand(IdConvert, QStringLiteral("&Convert"), QStringLiteral("Convert a A:M ply, A:M kfm, or MD2 file"),
               QStringLiteral("Convert file"));
    addCommand(IdSavePicture, QStringLiteral("Save &Picture..."),
               QStringLiteral("Save the active view as a PNG picture at its size"), QStringLiteral("Save Picture"));
    addCommand(IdExportGltf, QStringLiteral("&Export glTF..."),
               QStringLiteral("Export the active model and its motions to glTF 2.0"), QStringLiteral("Export glTF"));
    addCommand(IdPause, QStringLiteral("Pause"), QStringLiteral("Pause animation"), QStringLiteral("Pause"))
        ->setCheckable(true);
    addCommand(IdTexture, QStringLiteral("Texture"), QStringLiteral("Toggle Texturing"), QStringLiteral("Texture"))
        ->setCheckable(true);
    addCommand(IdCull, QStringLiteral("Cull"), QStringLiteral("Toggle Back Face Culling"), QStringLiteral("Cull"))
        ->setCheckable(true);
    action(IdFileOpen)->setIcon(toolbarIcon(ToolbarPicture::Open));
    action(IdAppAbout)->setIcon(toolbarIcon(ToolbarPicture::Help));
    action(IdConvert)->setIcon(toolbarIcon(ToolbarPicture::Convert));
    action(IdPause)->setIcon(toolbarIcon(ToolbarPicture::Pause));
    action(IdTexture)->setIcon(toolbarIcon(ToolbarPicture::Texture));
    action(IdCull)->setIcon(toolbarIcon(ToolbarPicture::Cull));
    connect(action(IdAppExit), &QAction::triggered, this, &QWidget::close);

    createMenus();
    createToolbars();
    createStatusBar();
    showMenuState(false);
    setAcceptDrops(true);
    resize(1024, 720);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    emit filesDropped(files, childAt(event->position().toPoint()));
}

QAction* CMainFrame::addCommand(CommandId id, const QString& text, const QString& prompt, const QString& tip) {
    auto* entry = new QAction(text, this);
    entry->setObjectName(QStringLiteral("command%1").arg(static_cast<int>(id)));
    entry->setProperty(CommandProperty, static_cast<int>(id));
    entry->setStatusTip(prompt);
    entry->setToolTip(tip);
    commands_.append(entry);
    return entry;
}

QAction* CMainFrame::action(CommandId id) const {
    for (QAction* entry : commands_)
        if (entry->property(CommandProperty).toInt() == static_cast<int>(id)) return entry;
    return nullptr;
}

void CMainFrame::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(action(IdFileOpen));
    file->addAction(action(IdConvert));
    file->addAction(action(IdExportGltf));
    file->addAction(action(IdSavePicture));
    file->addAction(action(IdFileClose));
    file->addSeparator();
    file->addAction(action(IdAppExit));
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(action(IdAppAbout));
    // The View menu's entries come from the bars themselves once they exist.
}

void CMainFrame::createToolbars() {
    QToolBar* tools = addToolBar(QStringLiteral("Toolbar"));
    tools->setObjectName(QStringLiteral("toolbar"));
    tools->setIconSize(QSize(16, 16));
    tools->addAction(action(IdFileOpen));
    tools->addSeparator();
    for (const CommandId id : {IdAppAbout, IdConvert, IdPause, IdTexture, IdCull}) tools->addAction(action(id));
    addToolBarBreak();
    QToolBar* lights = addToolBar(QStringLiteral("Lighting"));
    lights->setObjectName(QStringLiteral("lightingBar"));
    lightingPanel_ = new LightingPanel(lights);
    lights->addWidget(lightingPanel_);
    connect(lightingPanel_, &LightingPanel::changed, this, &CMainFrame::lightingChanged);

    QMenu* view = findChild<QMenu*>(QStringLiteral("viewMenu"));
    QAction* showToolbar = tools->toggleViewAction();
    showToolbar->setText(QStringLiteral("&Toolbar"));
    showToolbar->setStatusTip(QStringLiteral("Show or hide the toolbar"));
    view->addAction(showToolbar);
    // The lighting panel sits in the same top band as the toolbar and shows and hides with it.
    connect(showToolbar, &QAction::toggled, lights, &QWidget::setVisible);
}

void CMainFrame::createStatusBar() {
    auto* ready = new QLabel(QStringLiteral("Ready"), this);
    ready->setObjectName(QStringLiteral("messagePane"));
    statusBar()->addWidget(ready, 1);
    frameRatePane_ = new QLabel(this);
    frameRatePane_->setObjectName(QStringLiteral("frameRatePane"));
    frameRatePane_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Wide enough for the sample text in the font of the screen it shows on.
    frameRatePane_->setMinimumWidth(frameRatePane_->fontMetrics().horizontalAdvance(QString::fromLatin1(FrameRateSample)) + 8);
    statusBar()->addPermanentWidget(frameRatePane_);
    setFrameRate(0.0f);

    QMenu* view = findChild<QMenu*>(QStringLiteral("viewMenu"));
    QAction* showStatus = view->addAction(QStringLiteral("&Status Bar"));
    showStatus->setCheckable(true);
    showStatus->setChecked(true);
    showStatus->setStatusTip(QStringLiteral("Show or hide the status bar"));
    connect(showStatus, &QAction::toggled, statusBar(), &QWidget::setVisible);
}

void CMainFrame::setFrameRate(float framesPerSecond) {
    frameRate_ = framesPerSecond;
    frameRatePane_->setText(QString::asprintf("%3.2f fps", static_cast<double>(framesPerSecond)));
}

void CMainFrame::showMenuState(bool childActive) {
    action(IdFileClose)->setVisible(childActive);
    action(IdExportGltf)->setVisible(childActive);
    action(IdSavePicture)->setVisible(childActive);
}

QMdiSubWindow* CMainFrame::addChildWindow(QWidget* content, const QString& title) {
    QMdiSubWindow* child = mdiArea_->addSubWindow(content);
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->setWindowTitle(title);
    return child;
}

}  // namespace qx::app
