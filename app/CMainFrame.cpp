#include "app/CMainFrame.h"

#include <algorithm>
#include <memory>

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "app/CChildFrame.h"
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
               QStringLiteral("Close"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)});
    addCommand(IdFitToModel, QStringLiteral("&Fit to Model"),
               QStringLiteral("Frame the model as it stands now, its whole motion in view"),
               QStringLiteral("Fit to Model"))
        ->setShortcut(QKeySequence(Qt::Key_F));
    addCommand(IdWindowCascade, QStringLiteral("&Cascade"), QStringLiteral("Arrange windows so they overlap"),
               QStringLiteral("Cascade Windows"));
    addCommand(IdWindowTile, QStringLiteral("&Tile"), QStringLiteral("Arrange windows as non-overlapping tiles"),
               QStringLiteral("Tile Windows"));
    addCommand(IdWindowNext, QStringLiteral("&Next"), QStringLiteral("Switch to the next window"),
               QStringLiteral("Next Window"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab));
    addCommand(IdAppExit, QStringLiteral("E&xit"), QStringLiteral("Quit the application"), QStringLiteral("Exit"));
    addCommand(IdAppAbout, QStringLiteral("&About qxmodelview..."),
               QStringLiteral("Display program information, version number and copyright"), QStringLiteral("About"));
    addCommand(IdConvert, QStringLiteral("&Convert"), QStringLiteral("Convert a A:M ply, A:M kfm, or MD2 file"),
               QStringLiteral("Convert file"));
    addCommand(IdSavePicture, QStringLiteral("Save &Picture..."),
               QStringLiteral("Save the active view as a PNG picture at its size"), QStringLiteral("Save Picture"));
    addCommand(IdExportGltf, QStringLiteral("&Export glTF..."),
               QStringLiteral("Export the active model and its motions to glTF 2.0"), QStringLiteral("Export glTF"));
    addCommand(IdPause, QStringLiteral("Pause"), QStringLiteral("Pause animation"), QStringLiteral("Pause (Space)"))
        ->setCheckable(true);
    action(IdPause)->setShortcut(QKeySequence(Qt::Key_Space));
    addCommand(IdStepBack, QStringLiteral("Step &Back"), QStringLiteral("Pause and show the frame before"),
               QStringLiteral("Step Back (Left)"))
        ->setShortcut(QKeySequence(Qt::Key_Left));
    addCommand(IdStepForward, QStringLiteral("Step &Forward"), QStringLiteral("Pause and show the next frame"),
               QStringLiteral("Step Forward (Right)"))
        ->setShortcut(QKeySequence(Qt::Key_Right));
    addCommand(IdGoToStart, QStringLiteral("Go to &Start"), QStringLiteral("Show the session from time 0"),
               QStringLiteral("Go to Start (Home)"))
        ->setShortcut(QKeySequence(Qt::Key_Home));
    addCommand(IdSaveSessionScript, QStringLiteral("Save Session &Script..."),
               QStringLiteral("Save what the active window played as a qxtool script that replays it to this moment"),
               QStringLiteral("Save Session Script"));
    addCommand(IdRecord, QStringLiteral("&Record..."),
               QStringLiteral("Record what the active window plays from this moment to an MP4, a GIF or PNG frames"),
               QStringLiteral("Record"));
    addCommand(IdTurntable, QStringLiteral("&Turntable"),
               QStringLiteral("Turn the camera about the model continuously while on"), QStringLiteral("Turntable"))
        ->setCheckable(true);
    addCommand(IdTexture, QStringLiteral("Texture"), QStringLiteral("Toggle Texturing"), QStringLiteral("Texture"))
        ->setCheckable(true);
    addCommand(IdCull, QStringLiteral("Cull"), QStringLiteral("Toggle Back Face Culling"), QStringLiteral("Cull"))
        ->setCheckable(true);
    const struct {
        CommandId id;
        const char* text;
        const char* prompt;
        const char* tip;
        QKeySequence keys;
    } overlays[] = {
        {IdShowSkeleton, "S&keleton", "Show the bones over the model, as they move", "Skeleton (K)", Qt::Key_K},
        {IdShowBoneNames, "Bone &Names", "Show each bone's name beside it", "Bone Names (B)", Qt::Key_B},
        {IdWireframe, "&Wireframe", "Show the triangles' edges over the model", "Wireframe (W)", Qt::Key_W},
        {IdWireframeAlone, "Wireframe &Alone", "Show the triangles' edges instead of the shaded model",
         "Wireframe Alone (Shift+W)", Qt::SHIFT | Qt::Key_W},
        {IdShowNormals, "&Normals", "Show a short line along each vertex's normal", "Normals (N)", Qt::Key_N},
        {IdShowBounds, "&Bounds", "Show the box around the posed model and its size", "Bounds (X)", Qt::Key_X},
        {IdShowGrid, "Ground &Grid", "Show a grid under the model's feet, with the axes (X red, Y green, Z blue)",
         "Ground Grid (G)", Qt::Key_G},
    };
    for (const auto& overlay : overlays) {
        QAction* toggle = addCommand(overlay.id, QString::fromUtf8(overlay.text), QString::fromUtf8(overlay.prompt),
                                     QString::fromUtf8(overlay.tip));
        toggle->setCheckable(true);
        toggle->setShortcut(overlay.keys);
    }
    action(IdShowSkeleton)->setIcon(toolbarIcon(ToolbarPicture::Skeleton));
    action(IdWireframe)->setIcon(toolbarIcon(ToolbarPicture::Wireframe));
    action(IdShowGrid)->setIcon(toolbarIcon(ToolbarPicture::Grid));
    action(IdFileOpen)->setIcon(toolbarIcon(ToolbarPicture::Open));
    action(IdAppAbout)->setIcon(toolbarIcon(ToolbarPicture::Help));
    action(IdConvert)->setIcon(toolbarIcon(ToolbarPicture::Convert));
    action(IdPause)->setIcon(toolbarIcon(ToolbarPicture::Pause));
    action(IdTexture)->setIcon(toolbarIcon(ToolbarPicture::Texture));
    action(IdCull)->setIcon(toolbarIcon(ToolbarPicture::Cull));
    connect(action(IdAppExit), &QAction::triggered, this, &QWidget::close);
    // Every command's keys work wherever the focus is in the window, whichever menus show.
    addActions(commands_);

    createMenus();
    createToolbars();
    createStatusBar();
    createWindowMenu();
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
    fileMenu_ = file;
    file->addAction(action(IdFileOpen));
    file->addAction(action(IdConvert));
    file->addAction(action(IdExportGltf));
    file->addAction(action(IdSavePicture));
    file->addAction(action(IdSaveSessionScript));
    file->addAction(action(IdRecord));
    file->addAction(action(IdFileClose));
    recentSeparator_ = file->addSeparator();
    file->addSeparator();
    file->addAction(action(IdAppExit));
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    view->addAction(action(IdFitToModel));
    view->addAction(action(IdTurntable));
    view->addSeparator();
    for (const CommandId id :
         {IdShowSkeleton, IdShowBoneNames, IdWireframe, IdWireframeAlone, IdShowNormals, IdShowBounds, IdShowGrid})
        view->addAction(action(id));
    view->addSeparator();
    playbackMenu_ = menuBar()->addMenu(QStringLiteral("&Playback"));
    playbackMenu_->setObjectName(QStringLiteral("playbackMenu"));
    for (const CommandId id : {IdPause, IdStepBack, IdStepForward, IdGoToStart}) playbackMenu_->addAction(action(id));
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
    tools->addSeparator();
    for (const CommandId id : {IdShowSkeleton, IdWireframe, IdShowGrid}) tools->addAction(action(id));
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
    frameRatePane_->setMinimumWidth(
        frameRatePane_->fontMetrics().horizontalAdvance(QString::fromLatin1(FrameRateSample)) + 8);
    sizePane_ = new QLabel(this);
    sizePane_->setObjectName(QStringLiteral("sizePane"));
    sizePane_->setAccessibleName(QStringLiteral("Model size"));
    sizePane_->setToolTip(QStringLiteral("The size of the box around the posed model (View › Bounds)"));
    statusBar()->addPermanentWidget(sizePane_);
    timePane_ = new QLabel(this);
    timePane_->setObjectName(QStringLiteral("timePane"));
    timePane_->setAccessibleName(QStringLiteral("Session time"));
    // As wide as a long readout, so that the bar is not laid out afresh as the digits change.
    timePane_->setMinimumWidth(
        timePane_->fontMetrics().horizontalAdvance(QStringLiteral("0000.000 s  frame 00000 stand")));
    statusBar()->addPermanentWidget(timePane_);
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

void CMainFrame::setSessionTime(const QString& readout) {
    if (timePane_->text() != readout) timePane_->setText(readout);
}

void CMainFrame::setModelSize(const QString& size) {
    if (sizePane_->text() != size) sizePane_->setText(size);
}

void CMainFrame::showMenuState(bool childActive) {
    for (const CommandId id :
         {IdFileClose, IdExportGltf, IdSavePicture, IdSaveSessionScript, IdRecord, IdFitToModel, IdTurntable})
        action(id)->setVisible(childActive);
    for (const CommandId id : {IdStepBack, IdStepForward, IdGoToStart}) action(id)->setEnabled(childActive);
    windowMenu_->menuAction()->setVisible(childActive);
    playbackMenu_->menuAction()->setVisible(childActive);
    if (!childActive) setSessionTime({});
}

void CMainFrame::createWindowMenu() {
    windowMenu_ = new QMenu(QStringLiteral("&Window"), this);
    windowMenu_->setObjectName(QStringLiteral("windowMenu"));
    menuBar()->insertMenu(menuBar()->actions().last(), windowMenu_);  // before Help
    connect(action(IdWindowCascade), &QAction::triggered, this, &CMainFrame::cascadeChildWindows);
    connect(action(IdWindowTile), &QAction::triggered, mdiArea_, &QMdiArea::tileSubWindows);
    connect(action(IdWindowNext), &QAction::triggered, mdiArea_, &QMdiArea::activateNextSubWindow);
    // The open windows are listed afresh each time the menu opens, the active one ticked.
    connect(windowMenu_, &QMenu::aboutToShow, this, [this] {
        windowMenu_->clear();
        for (const CommandId id : {IdWindowCascade, IdWindowTile, IdWindowNext}) windowMenu_->addAction(action(id));
        const QList<QMdiSubWindow*> children = mdiArea_->subWindowList();
        if (!children.isEmpty()) windowMenu_->addSeparator();
        auto* group = new QActionGroup(windowMenu_);
        for (int i = 0; i < children.size(); ++i) {
            QMdiSubWindow* child = children[i];
            const QString text = i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(child->windowTitle())
                                       : QStringLiteral("%1 %2").arg(i + 1).arg(child->windowTitle());
            QAction* entry = windowMenu_->addAction(text);
            entry->setCheckable(true);
            entry->setChecked(child == mdiArea_->activeSubWindow());
            group->addAction(entry);
            connect(entry, &QAction::triggered, this, [this, window = QPointer<QMdiSubWindow>(child)] {
                if (window) mdiArea_->setActiveSubWindow(window);
            });
        }
    });
    // Filled once now, so that the entries and their shortcuts exist before it first opens.
    emit windowMenu_->aboutToShow();
}

void CMainFrame::setRecentFiles(const QStringList& files) {
    for (QAction* entry : recentEntries_) {
        fileMenu_->removeAction(entry);
        // Later, since the entry may be the one whose choice is being carried out; out of the
        // window's children at once, so that only the current entries are found.
        entry->setParent(nullptr);
        entry->deleteLater();
    }
    recentEntries_.clear();
    for (int i = 0; i < files.size(); ++i) {
        auto* entry = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]), fileMenu_);
        entry->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        entry->setStatusTip(QStringLiteral("Open this document"));
        const QString path = files[i];
        connect(entry, &QAction::triggered, this, [this, path] { emit recentFileChosen(path); });
        fileMenu_->insertAction(recentSeparator_, entry);
        recentEntries_.append(entry);
    }
    recentSeparator_->setVisible(!files.isEmpty());
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) emit restingChanged();
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    emit restingChanged();
}

void CMainFrame::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    emit restingChanged();
}

void CMainFrame::keepMaximisedAfterClose(QMdiSubWindow* child) {
    // Taken from the window's own state changes: by the time it is destroyed it has none.
    auto maximised = std::make_shared<bool>(child->isMaximized());
    connect(child, &QMdiSubWindow::windowStateChanged, this,
            [maximised](Qt::WindowStates, Qt::WindowStates now) { *maximised = now.testFlag(Qt::WindowMaximized); });
    connect(child, &QObject::destroyed, this, [this, maximised] {
        if (!*maximised) return;
        // Once the area has let go of the window and activated the next one.
        QTimer::singleShot(0, this, [this] {
            QMdiSubWindow* next = mdiArea_->currentSubWindow();
            if (next == nullptr && !mdiArea_->subWindowList().isEmpty()) next = mdiArea_->subWindowList().last();
            if (next != nullptr && !next->isMaximized()) next->showMaximized();
        });
    });
}

void CMainFrame::cascadeChildWindows() {
    const QList<QMdiSubWindow*> children = mdiArea_->subWindowList();
    if (children.isEmpty()) return;
    const QSize area = mdiArea_->viewport()->size();
    const int step = children.front()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, children.front()) + 4;
    const auto extra = static_cast<int>(children.size() - 1) * step;
    const QSize size(std::min(area.width(), std::max(area.width() * 2 / 3, area.width() - extra)),
                     std::min(area.height(), std::max(area.height() * 2 / 3, area.height() - extra)));
    const QSize leastView(area.width() / 3, area.height() / 3);
    int offset = 0;
    for (QMdiSubWindow* child : children) {
        if (child->isMaximized() || child->isMinimized()) child->showNormal();
        // Past the area's corner the steps start again at the top left.
        if (offset + size.width() > area.width() || offset + size.height() > area.height()) offset = 0;
        child->setGeometry(QRect(QPoint(offset, offset), size));
        child->raise();
        offset += step;
    }
    // The frames are laid out at their new sizes before their columns are measured.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (QMdiSubWindow* child : children)
        if (auto* frame = qobject_cast<CChildFrame*>(child->widget())) frame->keepViewAtLeast(leastView);
    mdiArea_->setActiveSubWindow(children.back());
}

QMdiSubWindow* CMainFrame::addChildWindow(QWidget* content, const QString& title) {
    QMdiSubWindow* child = mdiArea_->addSubWindow(content);
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->setWindowTitle(title);
    keepMaximisedAfterClose(child);
    return child;
}

}  // namespace qx::app
