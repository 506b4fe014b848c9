#include "app/CViewerApp.h"

#include <QAction>
#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QSurfaceFormat>

#include <QFileInfo>
#include <QImage>
#include <QSettings>
#include <QTreeWidgetItem>

#include <cstring>
#include <vector>

#include "app/CBaseView.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CSModelFrame.h"
#include "app/CVModelFrame.h"
#include "app/GltfExportCommand.h"
#include "app/SharedGlContext.h"
#include "app/ToolbarIcons.h"
#include "core/FileTypes.h"
#include "import/Conversion.h"
#include "render/PngWriter.h"
#include "skeletal/NameHash.h"
#include "skeletal/SkeletalMotionFile.h"

namespace qx::app {

CViewerApp* CViewerApp::instance_ = nullptr;

const QString CViewerApp::ModelFilesFilter = QString::fromStdString(openFilter(FileFamily::Models));
const QString CViewerApp::MotionFilesFilter = QString::fromStdString(openFilter(FileFamily::Motions));
const QString CViewerApp::ConvertSourceFilter = QString::fromStdString(convertSourceFilter());

namespace {

constexpr int RecentFileCount = 4;

// Motions, which go into a skeletal mesh document, as against models, which open one.
bool isMotionFile(const QString& path) {
    const FileTypeRow* row = fileTypeOf(path.toStdString());
    return row != nullptr && row->role == FileRole::SkeletalMotion;
}

// The save dialog's filter for a conversion's result, by what the result holds.
QString destinationFilter(const std::string& extension) {
    return QString::fromStdString(convertTargetFilter(extension));
}

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
    instance_ = this;
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

void CViewerApp::OnFileOpen() {
    QString filter = ModelFilesFilter;
    CSModelFrame* skeletal = nullptr;
    if (CChildFrame* frame = activeChildFrame()) {
        if (frame->document().kind() == CBaseDoc::SkeletalMeshKind) {
            filter = MotionFilesFilter;
            skeletal = static_cast<CSModelFrame*>(frame);
        } else {
            // A vertex model window makes way for the next file at once, whatever is chosen.
            delete frame->parentWidget();
        }
    }
    const FileDialogResult chosen = dialogs_->askForFile(mainFrame_.get(), {true, {}, {}, filter, {}});
    if (!chosen.ok) return;
    if (skeletal != nullptr && isMotionFile(chosen.path)) {
        loadMotion(*skeletal, chosen.path);
        return;
    }
    openDocument(chosen.path);
}

void CViewerApp::openFiles(const QStringList& paths, CChildFrame* target) {
    auto* skeletal = target != nullptr && target->document().kind() == CBaseDoc::SkeletalMeshKind
                         ? static_cast<CSModelFrame*>(target)
                         : nullptr;
    for (const QString& given : paths) {
        // As the Open dialog gives it: the full path, which also names the motion for the
        // duplicate check.
        const QString path = QFileInfo(given).absoluteFilePath();
        if (!isMotionFile(path)) {
            CChildFrame* frame = openDocument(path);
            if (frame != nullptr && frame->document().kind() == CBaseDoc::SkeletalMeshKind)
                skeletal = static_cast<CSModelFrame*>(frame);
            continue;
        }
        if (skeletal == nullptr) {
            dialogs_->showMessage(mainFrame_.get(), QStringLiteral("Cannot open %1: a motion plays on a skeletal mesh; "
                                                                   "open one (.qm1) before it")
                                                        .arg(QFileInfo(path).fileName()));
            continue;
        }
        if (QTreeWidgetItem* item = loadMotion(*skeletal, path)) {
            // Loading rebuilt the instance: what was ticked plays again, with this one.
            skeletal->restartTickedMotions();
            item->setCheckState(0, Qt::Checked);
        }
    }
}

void CViewerApp::openDroppedFiles(const QStringList& paths, QWidget* on) {
    for (QWidget* w = on; w != nullptr; w = w->parentWidget())
        if (auto* frame = qobject_cast<CChildFrame*>(w)) return openFiles(paths, frame);
    openFiles(paths, activeChildFrame());
}

QTreeWidgetItem* CViewerApp::loadMotion(CSModelFrame& frame, const QString& path) {
    CSModelDoc& document = frame.modelDocument();
    const std::string file = path.toStdString();
    const QString fileName = QFileInfo(path).fileName();
    if (document.model().findMotion(nameHash(file)) != nullptr) {
        dialogs_->showMessage(mainFrame_.get(), QStringLiteral("Skeletal Motion: ") + fileName +
                                                    QStringLiteral(" has already been loaded."));
        return nullptr;
    }
    std::string reason;
    std::unique_ptr<SkeletalMotion> motion;
    if (const FileTypeRow* row = fileTypeOf(file); row != nullptr && row->convertsTo != nullptr) {
        // An A:M motion export plays as its conversion would, named by its own path.
        if (std::unique_ptr<ConvertedFile> converted = convertFile(file, &reason))
            motion = std::move(converted->motion);
        if (motion) motion->nameHash = nameHash(file);
    } else {
        motion = readSkeletalMotion(file, &reason);
    }
    if (!motion) {
        dialogs_->showMessage(mainFrame_.get(),
                              QStringLiteral("Cannot open %1: %2").arg(fileName, QString::fromStdString(reason)));
        return nullptr;
    }
    CSMotionDoc& record = document.addMotion(std::move(motion), file);
    frame.RebuildInstance();
    return frame.addMotionItem(record);
}

CChildFrame* CViewerApp::openDocument(const QString& path) {
    const std::string file = path.toStdString();
    const FileTypeRow* row = fileTypeOf(file);
    std::string reason = "not a model this viewer opens (" + openableModelExtensions() + ")";
    CChildFrame* frame = nullptr;
    if (row != nullptr && row->role == FileRole::SkeletalMesh) {
        if (std::unique_ptr<CSModelDoc> document = CSModelDoc::load(file, &reason))
            frame = new CSModelFrame(std::move(document));
    } else if (row != nullptr && row->role == FileRole::VertexModel) {
        if (std::unique_ptr<CVModelDoc> document = CVModelDoc::load(file, &reason))
            frame = new CVModelFrame(std::move(document));
    }
    if (frame == nullptr) {
        dialogs_->showMessage(
            mainFrame_.get(),
            QStringLiteral("Cannot open %1: %2").arg(QFileInfo(path).fileName(), QString::fromStdString(reason)));
        return nullptr;
    }
    QMdiSubWindow* child = mainFrame_->addChildWindow(frame, frame->windowTitle());
    child->setWindowIcon(programIcon());
    frame->ShowDocument();
    mainFrame_->mdiArea().setActiveSubWindow(child);
    addRecentFile(QFileInfo(path).absoluteFilePath());
    // The time spent reading is not fed to the animation.
    startAnimation();
    return frame;
}

void CViewerApp::OnSavePicture() {
    CBaseView* view = activeView();
    if (view == nullptr) return;
    const bool wasRunning = !clock_->paused();
    if (wasRunning) clock_->pause();
    // What the screen shows now, at the view's size: taken before the dialog covers it.
    const QImage picture = view->renderFrame().convertToFormat(QImage::Format_RGBA8888);
    const CChildFrame* frame = activeChildFrame();
    const QString proposed = frame != nullptr
                                 ? QFileInfo(QString::fromStdString(frame->document().pathName())).completeBaseName() +
                                       QStringLiteral(".png")
                                 : QStringLiteral("picture.png");
    const FileDialogResult target = dialogs_->askForFile(
        mainFrame_.get(), {false, QStringLiteral("png"), proposed, QStringLiteral("PNG Pictures (*.png)|*.png||"), {}});
    if (target.ok && !picture.isNull()) {
        QString path = target.path;
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(picture.width()) *
                                       static_cast<std::size_t>(picture.height()) * 4);
        for (int y = 0; y < picture.height(); ++y)
            std::memcpy(rgba.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width()) * 4,
                        picture.constScanLine(y), static_cast<std::size_t>(picture.width()) * 4);
        std::string reason;
        if (!writePng(path.toStdString(), rgba.data(), picture.width(), picture.height(), &reason))
            dialogs_->showMessage(
                mainFrame_.get(),
                QStringLiteral("Cannot write %1: %2").arg(QFileInfo(path).fileName(), QString::fromStdString(reason)));
    }
    if (wasRunning) clock_->resume();
    updateCommandUi();
}

void CViewerApp::OnConvert() {
    const bool wasRunning = !clock_->paused();
    if (wasRunning) clock_->pause();
    const FileDialogResult source = dialogs_->askForFile(mainFrame_.get(), {true, {}, {}, ConvertSourceFilter, {}});
    const std::optional<Conversion> conversion =
        source.ok ? findConversion(source.path.toStdString()) : std::optional<Conversion>{};
    if (conversion) {
        std::string reason;
        const std::unique_ptr<ConvertedFile> converted = convertFile(source.path.toStdString(), &reason);
        if (!converted) {
            dialogs_->showMessage(
                mainFrame_.get(),
                QStringLiteral("Cannot convert %1: %2").arg(source.fileName, QString::fromStdString(reason)));
        } else {
            const QString extension = QString::fromLatin1(conversion->to);
            const QString proposed = source.fileName.left(source.fileName.size() - 4) + QLatin1Char('.') + extension;
            const FileDialogResult target = dialogs_->askForFile(
                mainFrame_.get(),
                {false, extension, proposed, destinationFilter(conversion->to), QFileInfo(source.path).absolutePath()});
            if (target.ok) {
                QString path = target.path;
                if (QFileInfo(path).suffix().isEmpty()) path += QLatin1Char('.') + extension;
                if (!converted->write(path.toStdString(), &reason))
                    dialogs_->showMessage(mainFrame_.get(),
                                          QStringLiteral("Cannot write %1: %2")
                                              .arg(QFileInfo(path).fileName(), QString::fromStdString(reason)));
            }
        }
    }
    if (wasRunning) clock_->resume();
    updateCommandUi();
}

void CViewerApp::OnExportGltf() {
    const CChildFrame* frame = activeChildFrame();
    if (frame == nullptr) return;
    const bool wasRunning = !clock_->paused();
    if (wasRunning) clock_->pause();
    exportGltf(*frame, *dialogs_, mainFrame_.get());
    if (wasRunning) clock_->resume();
    updateCommandUi();
}

void CViewerApp::OnHelp() {
    helpWindow_->show();
    helpWindow_->raise();
}

QStringList CViewerApp::recentFiles() const {
    QSettings settings;
    QStringList files;
    for (int i = 1; i <= RecentFileCount; ++i) {
        const QString file = settings.value(QStringLiteral("Recent File List/File%1").arg(i)).toString();
        if (!file.isEmpty()) files.append(file);
    }
    return files;
}

void CViewerApp::addRecentFile(const QString& path) {
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    storeRecentFiles(files);
}

void CViewerApp::storeRecentFiles(const QStringList& files) {
    QSettings settings;
    for (int i = 0; i < RecentFileCount; ++i)
        settings.setValue(QStringLiteral("Recent File List/File%1").arg(i + 1),
                          i < files.size() ? files[i] : QString());
    mainFrame_->setRecentFiles(recentFiles());
}

void CViewerApp::openRecentFile(const QString& path) {
    if (!QFileInfo::exists(path)) {
        dialogs_->showMessage(mainFrame_.get(), QStringLiteral("Cannot open %1: the file is no longer there; "
                                                               "it leaves the list of recent files")
                                                    .arg(QFileInfo(path).fileName()));
        QStringList files = recentFiles();
        files.removeAll(path);
        storeRecentFiles(files);
        return;
    }
    // As Open with this file chosen: a vertex model window makes way, a skeletal one takes a
    // motion into itself.
    if (CChildFrame* frame = activeChildFrame()) {
        if (frame->document().kind() == CBaseDoc::SkeletalMeshKind && isMotionFile(path)) {
            loadMotion(*static_cast<CSModelFrame*>(frame), path);
            return;
        }
        if (frame->document().kind() == CBaseDoc::VertexModelKind) delete frame->parentWidget();
    }
    openDocument(path);
}

void CViewerApp::OnFitToModel() {
    if (CBaseView* view = activeView()) view->FitToModel();
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
