#include "app/CViewerApp.h"

#include <QAction>
#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QSurfaceFormat>

#include "app/CBaseView.h"
#include "app/CMainFrame.h"
#include "app/SharedGlContext.h"

namespace qx::app {

CViewerApp* CViewerApp::instance_ = nullptr;

void CViewerApp::prepareApplication() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    QSurfaceFormat::setDefaultFormat(format);
}

CViewerApp::CViewerApp(std::unique_ptr<AnimationClock> clock) : clock_(std::move(clock)), idleLoop_(*clock_) {
    instance_ = this;
    mainFrame_ = std::make_unique<CMainFrame>();
    connect(mainFrame_->action(IdPause), &QAction::triggered, this, &CViewerApp::OnPause);
    connect(mainFrame_->action(IdTexture), &QAction::triggered, this, &CViewerApp::OnTexture);
    connect(mainFrame_->action(IdCull), &QAction::triggered, this, &CViewerApp::OnCull);
    connect(mainFrame_->action(IdFileClose), &QAction::triggered, &mainFrame_->mdiArea(),
            &QMdiArea::closeActiveSubWindow);
    connect(mainFrame_.get(), &CMainFrame::lightingChanged, this, &CViewerApp::syncAllViews);
    // A child window coming, going or activated changes what the loop animates.
    connect(&mainFrame_->mdiArea(), &QMdiArea::subWindowActivated, this, [this] {
        updateCommandUi();
        if (idleDriver_) idleDriver_->wake();
    });
    idleDriver_ = std::make_unique<IdleDriver>([this](int count) { return OnIdle(count); });
    updateCommandUi();
}

CViewerApp::~CViewerApp() {
    idleDriver_.reset();
    // The child windows going away activate one another; nothing is left to update then.
    QObject::disconnect(&mainFrame_->mdiArea(), nullptr, this, nullptr);
    mainFrame_.reset();
    renderer_.reset();
    clock_.reset();
    instance_ = nullptr;
}

Renderer& CViewerApp::ensureRenderer() {
    if (!renderer_) {
        renderer_ = std::make_unique<Renderer>();
        // A new renderer starts with every switch on; the toolbar shows what it draws.
        texturingWanted_ = cullingWanted_ = true;
    }
    return *renderer_;
}

void CViewerApp::viewCreated(CBaseView* view) { views_.push_back(view); }

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
    for (CBaseView* view : views_)
        if (view->initialised() && view->existingContainer() != nullptr && child->isAncestorOf(view->existingContainer()))
            return view;
    return nullptr;
}

bool CViewerApp::OnIdle(int) {
    CBaseView* view = activeView();
    const bool more = idleLoop_.runPass(view);
    if (view != nullptr) mainFrame_->setFrameRate(idleLoop_.frameRate());
    updateCommandUi();
    return more;
}

void CViewerApp::startAnimation() {
    idleLoop_.restartAnimation();
    if (idleDriver_) idleDriver_->wake();
}

void CViewerApp::OnPause() {
    clock_->toggle();
    updateCommandUi();
    if (idleDriver_) idleDriver_->wake();
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
