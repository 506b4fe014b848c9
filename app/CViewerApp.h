#pragma once
// The application object: owns the clock, the main window and the one renderer, runs the idle
// loop that animates the active child window's view, and routes the main window's commands.
// Pause, Texture, Cull, Help and Fit to Model are its own; Open (with the command line, drops
// and the recent files), Convert, Save Picture and Export glTF are command classes of their
// own (OpenCommand, ConvertCommand, SavePictureCommand, GltfExportCommand) acting through the
// CommandHost it implements. Views and child windows reach it only as their ViewHost.

#include <memory>
#include <vector>

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include "app/AnimationClock.h"
#include "app/CHelpDlg.h"
#include "app/CommandHost.h"
#include "app/FileDialogs.h"
#include "app/IdleDriver.h"
#include "app/IdleLoop.h"
#include "app/OpenCommand.h"
#include "app/RecentFiles.h"
#include "app/ViewHost.h"
#include "render/OverlayOptions.h"
#include "render/Renderer.h"

namespace qx::app {

class CBaseView;
class CChildFrame;
class CMainFrame;

class CViewerApp : public QObject, public ViewHost, public CommandHost {
    Q_OBJECT
public:
    // How fast the idle loop may draw: at the display's refresh rate (a swap interval of 1, so
    // that a laptop's core rests between frames), or as fast as it can, for measuring the loop
    // and for tests. QX_UNTHROTTLED=1 in the environment asks for the latter too.
    enum class LoopPace { Display, Unthrottled };
    // What must be set before the QApplication is made: contexts that share their textures, and
    // the views' surface format (depth buffer, double buffering, no Core profile, since all
    // drawing is immediate mode, and the swap interval of the pace).
    static void prepareApplication(LoopPace pace = LoopPace::Display);

    // Starts with the clock given (running), the settings location, a main window (not yet
    // shown) and the hidden help window.
    explicit CViewerApp(std::unique_ptr<AnimationClock> clock);
    // Frees the windows, then the renderer, then the clock.
    ~CViewerApp() override;

    AnimationClock& clock() override { return *clock_; }
    const AnimationClock& clock() const { return *clock_; }
    IdleLoop& idleLoop() { return idleLoop_; }
    CMainFrame& mainFrame() const { return *mainFrame_; }

    // ViewHost: the renderer lives from the first view's set-up until the last view is gone.
    Renderer* renderer() const override { return renderer_.get(); }
    Renderer& ensureRenderer() override;
    const LightingSettings& lighting() const override;
    void viewCreated(CBaseView* view) override;
    void viewInitialised(CBaseView* view) override;
    void viewDestroyed(CBaseView* view) override;
    void childFrameClosing() override;
    void filesDropped(const QStringList& paths, QWidget* on) override { openDroppedFiles(paths, on); }
    bool viewKeyPressed(QKeyCombination key) override;
    void holdStill() override;

    // The view the idle loop animates: the active child window's, or none.
    CBaseView* activeView() const override;
    const std::vector<CBaseView*>& views() const { return views_; }

    // One idle pass; true for "more".
    bool OnIdle(int idleCount);
    // What opening a document does before its first pass: the clock runs, is ticked, and the
    // animation and frame-rate stopwatches are taken afresh.
    void startAnimation();

    // The commands, each carried out by its command class (see OpenCommand for what opening
    // files does).
    void OnFileOpen();
    void openFiles(const QStringList& paths, CChildFrame* target = nullptr) { openCommand_.openFiles(paths, target); }
    void openDroppedFiles(const QStringList& paths, QWidget* on) { openCommand_.openDropped(paths, on); }
    void openRecentFile(const QString& path);
    CChildFrame* openDocument(const QString& path) { return openCommand_.openDocument(path); }
    void OnSavePicture();
    void OnConvert();
    // Saves the active child window's model (with its motions) as glTF; nothing without one.
    void OnExportGltf();
    void OnHelp();
    // Fits the active view's camera to its model as it stands now (View > Fit to Model).
    void OnFitToModel();
    // Pause toggles the clock; a window paused shows the pose of its session time as a replay
    // of its session gives it, the pose a session script reproduces.
    void OnPause();
    // Left and Right: pause, and show the frame before or after (the timeline's frames).
    void OnStep(int frames);
    // Home: the active window's session from time 0, playing on if the clock runs.
    void OnGoToStart();
    void OnSaveSessionScript();
    void OnRecord();
    // A View menu overlay toggled: every view draws what the toggles ask, and the choice is
    // remembered for the next start.
    void OnOverlaysChanged();
    // The overlays the View menu's toggles ask for (no bone selected).
    OverlayOptions overlayOptions() const;
    void OnTexture();
    void OnCull();

    // CommandHost.
    CChildFrame* activeChildFrame() const override;
    Dialogs& dialogs() override { return *dialogs_; }
    QWidget* dialogParent() override;
    ViewHost& viewHost() override { return *this; }
    void showChildFrame(CChildFrame* frame) override;
    // Where the commands ask for files and show messages; tests put their own here.
    void setDialogs(std::unique_ptr<Dialogs> dialogs) { dialogs_ = std::move(dialogs); }
    CHelpDlg& helpWindow() const { return *helpWindow_; }
    // The four most recently opened files, newest first.
    QStringList recentFiles() const { return recentFiles_.files(); }
    // The enabled and pressed states of Pause, Texture and Cull, the menus and the frame rate.
    void updateCommandUi();

    bool texturingWanted() const { return texturingWanted_; }
    bool cullingWanted() const { return cullingWanted_; }

private:
    // Runs a command that waits on the user, and shows the state it leaves.
    template <class Command>
    void runCommand(Command command);
    // While the main window is minimised or hidden the clock rests, paused, and no pass runs;
    // it runs on from where it stopped once the window shows again.
    bool restWhileOutOfSight();
    void toggleSwitch(int rendererSwitch, bool& wanted);
    // Brings every set-up view's context up to date with the renderer and the lighting.
    void syncAllViews();
    // Shows the active window's session time on its timeline and in the status bar.
    void showSessionTime();

    std::unique_ptr<AnimationClock> clock_;
    IdleLoop idleLoop_;
    std::unique_ptr<Renderer> renderer_;
    std::unique_ptr<CMainFrame> mainFrame_;
    std::unique_ptr<IdleDriver> idleDriver_;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<CHelpDlg> helpWindow_;
    RecentFiles recentFiles_;
    OpenCommand openCommand_{*this, recentFiles_};
    std::vector<CBaseView*> views_;
    int liveViews_ = 0;
    bool restingPaused_ = false;
    QElapsedTimer readoutPace_;
    bool texturingWanted_ = false;
    bool cullingWanted_ = false;
};

}  // namespace qx::app
