#include "app/CViewerApp.h"

#include <QAction>
#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QSettings>
#include <QSurfaceFormat>

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/CBaseView.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/ConvertCommand.h"
#include "app/GltfExportCommand.h"
#include "app/RecordCommand.h"
#include "app/SavePictureCommand.h"
#include "app/SessionScriptCommand.h"
#include "app/SharedGlContext.h"
#include "app/ToolbarIcons.h"

namespace qx::app {

namespace {

// Milliseconds between the readouts' updates while playing.
constexpr qint64 ReadoutInterval = 40;

// Where each overlay toggle is remembered.
const std::pair<CommandId, const char*> OverlaySettings[] = {
    {IdShowSkeleton, "overlays/skeleton"}, {IdShowBoneNames, "overlays/boneNames"},
    {IdWireframe, "overlays/wireframe"},   {IdWireframeAlone, "overlays/wireframeAlone"},
    {IdShowNormals, "overlays/normals"},   {IdShowBounds, "overlays/bounds"},
    {IdShowGrid, "overlays/grid"}};

}  // namespace

void CViewerApp::prepareApplication(LoopPace pace) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (qEnvironmentVariableIntValue("QX_UNTHROTTLED") == 1) pace = LoopPace::Unthrottled;
    QSurfaceFormat format;
    format.setSwapInterval(pace == LoopPace::Display ? 1 : 0);
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    QSurfaceFormat::setDefaultFormat(format);
}

CViewerApp::CViewerApp(std::unique_ptr<AnimationClock> clock) : clock_(std::move(clock)), idleLoop_(*clock_) {
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("qxmodelview"));
    dialogs_ = std::make_unique<Dialogs>();
    mainFrame_ = std::make_unique<CMainFrame>();
    mainFrame_->setWindowIcon(programIcon());
    connect(mainFrame_->action(IdFileOpen), &QAction::triggered, this, &CViewerApp::OnFileOpen);
    connect(mainFrame_->action(IdConvert), &QAction::triggered, this, &CViewerApp::OnConvert);
    connect(mainFrame_->action(IdExportGltf), &QAction::triggered, this, &CViewerApp::OnExportGltf);
    connect(mainFrame_->action(IdSavePicture), &QAction::triggered, this, &CViewerApp::OnSavePicture);
    connect(mainFrame_->action(IdFitToModel), &QAction::triggered, this, &CViewerApp::OnFitToModel);
    connect(mainFrame_.get(), &CMainFrame::recentFileChosen, this, &CViewerApp::openRecentFile);
    connect(&recentFiles_, &RecentFiles::changed, mainFrame_.get(), &CMainFrame::setRecentFiles);
    // The clock rests the moment the window goes out of sight, not at the next pass, which
    // could come much later and count the time in between.
    connect(mainFrame_.get(), &CMainFrame::restingChanged, this, [this] {
        restWhileOutOfSight();
        if (idleDriver_) idleDriver_->wake();
    });
    connect(mainFrame_.get(), &CMainFrame::filesDropped, this,
            [this](const QStringList& files, QWidget* under) { openDroppedFiles(files, under); });
    connect(mainFrame_->action(IdAppAbout), &QAction::triggered, this, &CViewerApp::OnHelp);
    connect(mainFrame_->action(IdPause), &QAction::triggered, this, &CViewerApp::OnPause);
    connect(mainFrame_->action(IdStepBack), &QAction::triggered, this, [this] { OnStep(-1); });
    connect(mainFrame_->action(IdStepForward), &QAction::triggered, this, [this] { OnStep(1); });
    connect(mainFrame_->action(IdGoToStart), &QAction::triggered, this, &CViewerApp::OnGoToStart);
    connect(mainFrame_->action(IdSaveSessionScript), &QAction::triggered, this, &CViewerApp::OnSaveSessionScript);
    connect(mainFrame_->action(IdRecord), &QAction::triggered, this, &CViewerApp::OnRecord);
    connect(mainFrame_->action(IdTurntable), &QAction::toggled, this, [this](bool on) {
        for (CBaseView* view : views_) view->setTurntable(on);
    });
    {
        const QSettings settings;
        for (const auto& [id, key] : OverlaySettings)
            mainFrame_->action(id)->setChecked(settings.value(QLatin1String(key), false).toBool());
    }
    for (const auto& [id, key] : OverlaySettings) {
        connect(mainFrame_->action(id), &QAction::triggered, this, [this, id = id] {
            // Wireframe alone is a kind of wireframe: each of the two follows the other.
            if (id == IdWireframeAlone && mainFrame_->action(id)->isChecked())
                mainFrame_->action(IdWireframe)->setChecked(true);
            if (id == IdWireframe && !mainFrame_->action(id)->isChecked())
                mainFrame_->action(IdWireframeAlone)->setChecked(false);
            OnOverlaysChanged();
        });
    }
    connect(mainFrame_->action(IdTexture), &QAction::triggered, this, &CViewerApp::OnTexture);
    connect(mainFrame_->action(IdCull), &QAction::triggered, this, &CViewerApp::OnCull);
    connect(mainFrame_->action(IdFileClose), &QAction::triggered, &mainFrame_->mdiArea(),
            &QMdiArea::closeActiveSubWindow);
    connect(mainFrame_.get(), &CMainFrame::lightingChanged, this, &CViewerApp::syncAllViews);
    // A child window coming, going or activated changes what the loop animates.
    connect(&mainFrame_->mdiArea(), &QMdiArea::subWindowActivated, this, [this] {
        updateCommandUi();
        showSessionTime();
        if (idleDriver_) idleDriver_->wake();
    });
    idleDriver_ = std::make_unique<IdleDriver>([this](int count) { return OnIdle(count); });
    helpWindow_ = std::make_unique<CHelpDlg>();
    helpWindow_->setWindowIcon(programIcon());
    mainFrame_->setRecentFiles(recentFiles());
    updateCommandUi();
}

CViewerApp::~CViewerApp() {
    idleDriver_.reset();
    // The child windows going away activate one another, and the window hides as it goes;
    // nothing is left to update then.
    QObject::disconnect(&mainFrame_->mdiArea(), nullptr, this, nullptr);
    QObject::disconnect(mainFrame_.get(), nullptr, this, nullptr);
    mainFrame_.reset();
    helpWindow_.reset();
    renderer_.reset();
    clock_.reset();
}

Renderer& CViewerApp::ensureRenderer() {
    if (!renderer_) {
        renderer_ = std::make_unique<Renderer>();
        // A new renderer starts with every switch on; the toolbar shows what it draws.
        texturingWanted_ = cullingWanted_ = true;
    }
    return *renderer_;
}

const LightingSettings& CViewerApp::lighting() const { return mainFrame_->lighting(); }

QWidget* CViewerApp::dialogParent() { return mainFrame_.get(); }

void CViewerApp::viewCreated(CBaseView* view) {
    views_.push_back(view);
    view->setOverlays(overlayOptions());
    view->setTurntable(mainFrame_->action(IdTurntable)->isChecked());
}

OverlayOptions CViewerApp::overlayOptions() const {
    const auto on = [this](CommandId id) { return mainFrame_->action(id)->isChecked(); };
    OverlayOptions options;
    options.skeleton = on(IdShowSkeleton);
    options.boneNames = on(IdShowBoneNames);
    options.wireframe = on(IdWireframeAlone) ? Wireframe::Alone : on(IdWireframe) ? Wireframe::Over : Wireframe::Off;
    options.normals = on(IdShowNormals);
    options.bounds = on(IdShowBounds);
    options.grid = on(IdShowGrid);
    return options;
}

void CViewerApp::OnOverlaysChanged() {
    QSettings settings;
    for (const auto& [id, key] : OverlaySettings)
        settings.setValue(QLatin1String(key), mainFrame_->action(id)->isChecked());
    const OverlayOptions options = overlayOptions();
    for (CBaseView* view : views_) view->setOverlays(options);
    showSessionTime();
}

void CViewerApp::viewInitialised(CBaseView*) {
    ++liveViews_;
    updateCommandUi();
    if (idleDriver_) idleDriver_->wake();
}

void CViewerApp::viewDestroyed(CBaseView* view) {
    std::erase(views_, view);
    if (!view->initialised()) return;
    // The loop may no longer animate it; the next pass looks for the active view afresh.
    // The renderer holds nothing of its own in a context, so it may go with the last view.
    if (--liveViews_ == 0) renderer_.reset();
    if (mainFrame_) updateCommandUi();
    if (idleDriver_) idleDriver_->wake();
}

CBaseView* CViewerApp::activeView() const {
    // The current child window rather than the active one: animation goes on while another
    // program has the focus.
    const QMdiSubWindow* child = mainFrame_ ? mainFrame_->mdiArea().currentSubWindow() : nullptr;
    if (child == nullptr) return nullptr;
    // A view is animated from the moment its window opens, before Qt first shows it: the
    // stopwatches taken by Open must not be given up by a pass that finds no view yet.
    for (CBaseView* view : views_)
        if (view->existingContainer() != nullptr && child->isAncestorOf(view->existingContainer())) return view;
    return nullptr;
}

bool CViewerApp::restWhileOutOfSight() {
    if (mainFrame_->resting()) {
        if (!clock_->paused()) {
            clock_->pause();
            restingPaused_ = true;
        }
        return true;
    }
    if (restingPaused_) {
        restingPaused_ = false;
        if (clock_->paused()) clock_->resume();
        updateCommandUi();
    }
    return false;
}

bool CViewerApp::OnIdle(int) {
    if (restWhileOutOfSight()) return false;
    CBaseView* view = activeView();
    const bool more = idleLoop_.runPass(view);
    if (view != nullptr) mainFrame_->setFrameRate(idleLoop_.frameRate());
    updateCommandUi();
    // Text that changes every pass costs a repaint of its widgets each time: while playing, the
    // readouts follow at the pace a reader can see, and the last pass before a pause shows its
    // time exactly.
    if (!more || !readoutPace_.isValid() || readoutPace_.elapsed() >= ReadoutInterval) {
        readoutPace_.start();
        showSessionTime();
    }
    return more;
}

void CViewerApp::startAnimation() {
    idleLoop_.restartAnimation();
    if (idleDriver_) idleDriver_->wake();
}

CChildFrame* CViewerApp::activeChildFrame() const {
    const QMdiSubWindow* child = mainFrame_->mdiArea().currentSubWindow();
    return child != nullptr ? qobject_cast<CChildFrame*>(child->widget()) : nullptr;
}

void CViewerApp::childFrameClosing() {
    idleLoop_.releaseAnimationStopwatch();
    if (idleDriver_) idleDriver_->wake();
}

template <class Command>
void CViewerApp::runCommand(Command command) {
    command();
    updateCommandUi();
}

void CViewerApp::OnFileOpen() { openCommand_.run(); }

void CViewerApp::showChildFrame(CChildFrame* frame) {
    QMdiSubWindow* child = mainFrame_->addChildWindow(frame, frame->windowTitle());
    child->setWindowIcon(programIcon());
    frame->ShowDocument();
    mainFrame_->mdiArea().setActiveSubWindow(child);
    // The time spent reading is not fed to the animation.
    startAnimation();
}

void CViewerApp::OnSavePicture() {
    runCommand([this] { SavePictureCommand(*this).run(); });
}

void CViewerApp::OnConvert() {
    runCommand([this] { ConvertCommand(*this).run(); });
}

void CViewerApp::OnExportGltf() {
    const CChildFrame* frame = activeChildFrame();
    if (frame == nullptr) return;
    runCommand([&] {
        const ClockPause resting(*clock_);
        exportGltf(*frame, *dialogs_, mainFrame_.get());
    });
}

void CViewerApp::OnHelp() {
    helpWindow_->show();
    helpWindow_->raise();
}

void CViewerApp::openRecentFile(const QString& path) { openCommand_.openRecent(path); }

void CViewerApp::OnFitToModel() {
    if (CBaseView* view = activeView()) view->FitToModel();
}

void CViewerApp::OnPause() {
    clock_->toggle();
    if (CBaseView* view = activeView(); view != nullptr && clock_->paused()) view->showTime(view->sessionTime());
    updateCommandUi();
    showSessionTime();
    if (idleDriver_) idleDriver_->wake();
}

void CViewerApp::holdStill() {
    if (!clock_->paused()) {
        clock_->pause();
        updateCommandUi();
    }
}

void CViewerApp::OnStep(int frames) {
    CBaseView* view = activeView();
    if (view == nullptr) return;
    holdStill();
    const double rate = view->timelineRate();
    const double at = view->sessionTime() * rate;
    // From between two frames a step back lands on the frame before, not two frames back.
    const double frame = frames > 0 ? std::floor(at + 1e-6) : std::ceil(at - 1e-6);
    view->showTime(std::max(0.0, (frame + frames) / rate));
    showSessionTime();
}

void CViewerApp::OnGoToStart() {
    CBaseView* view = activeView();
    if (view == nullptr) return;
    view->showTime(0.0);
    showSessionTime();
}

void CViewerApp::OnSaveSessionScript() {
    runCommand([this] { SessionScriptCommand(*this).run(); });
}

void CViewerApp::OnRecord() {
    runCommand([this] { RecordCommand(*this).run(); });
}

bool CViewerApp::viewKeyPressed(QKeyCombination key) {
    const QKeySequence pressed(key);
    for (QAction* command : mainFrame_->actions()) {
        if (command->isEnabled() && command->shortcuts().contains(pressed)) {
            command->trigger();
            return true;
        }
    }
    return false;
}

void CViewerApp::showSessionTime() {
    CChildFrame* frame = activeChildFrame();
    mainFrame_->setSessionTime(frame != nullptr ? frame->showSessionTime() : QString());
    QString size;
    if (const CBaseView* view = activeView(); view != nullptr && view->overlays().bounds) {
        const BoundingBox box = view->posedBounds();
        if (!box.empty) {
            const Vector3 extent = box.high - box.low;
            size = QStringLiteral("size %1 x %2 x %3")
                       .arg(extent.x, 0, 'g', 4)
                       .arg(extent.y, 0, 'g', 4)
                       .arg(extent.z, 0, 'g', 4);
        }
    }
    mainFrame_->setModelSize(size);
}

void CViewerApp::OnTexture() { toggleSwitch(Renderer::Texturing, texturingWanted_); }

void CViewerApp::OnCull() { toggleSwitch(Renderer::Culling, cullingWanted_); }

void CViewerApp::toggleSwitch(int rendererSwitch, bool& wanted) {
    wanted = !wanted;
    if (renderer_) {
        {
            // The switch is stored here; every view's context takes it in syncAllViews.
            const SharedGlScope gl;
            renderer_->setState(rendererSwitch, wanted);
        }
        syncAllViews();
    }
    updateCommandUi();
}

void CViewerApp::syncAllViews() {
    for (CBaseView* view : views_) view->syncGlState();
}

void CViewerApp::updateCommandUi() {
    const bool child = mainFrame_->mdiArea().currentSubWindow() != nullptr;
    QAction* pause = mainFrame_->action(IdPause);
    pause->setEnabled(child);
    pause->setChecked(clock_->paused());
    const struct {
        CommandId id;
        int rendererSwitch;
        bool& wanted;
    } toggles[] = {{IdTexture, Renderer::Texturing, texturingWanted_}, {IdCull, Renderer::Culling, cullingWanted_}};
    for (const auto& toggle : toggles) {
        QAction* button = mainFrame_->action(toggle.id);
        button->setEnabled(child);
        if (renderer_) {
            button->setChecked(renderer_->isEnabled(toggle.rendererSwitch));
        } else {
            // Agrees with the next renderer, which starts with every switch on.
            button->setChecked(true);
            toggle.wanted = true;
        }
    }
    mainFrame_->showMenuState(child);
}

}  // namespace qx::app
