#pragma once
// The application object: owns the clock, the main window and the one renderer, runs the idle
// loop that animates the active child window's view, and carries out the commands that are not
// tied to one window (Pause, Texture, Cull; Open, Convert and Help arrive with documents).
//
// One exists at a time; views reach it through instance(), as they reach the renderer and the
// lighting through it.
//
// Open reads a ".qm1" or ".qv1" file as a new document in a child window, or, with a skeletal
// mesh window active, loads ".qm2" motions into it (a motion already loaded from the same path
// is refused with a message). Files given on the command line or dropped on the window open the
// same way, A:M and MD2 files converted in memory. Convert turns a ".ply", ".kfm" or ".md2"
// file into the program's formats. Export glTF saves the active document's model and motions
// as glTF 2.0; Save Picture the active view as PNG. A file that cannot be read or written is
// named in a message with the reason, and nothing is opened, added or written.

#include <memory>
#include <vector>

#include <QObject>
#include <QStringList>

#include "app/AnimationClock.h"
#include "app/CHelpDlg.h"
#include "app/FileDialogs.h"
#include "app/IdleDriver.h"
#include "app/IdleLoop.h"
#include "render/Renderer.h"

class QTreeWidgetItem;

namespace qx::app {

class CBaseView;
class CChildFrame;
class CMainFrame;
class CSModelFrame;

class CViewerApp : public QObject {
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

    // The file filters of the commands, in their bar form (see FileDialogs), from the table of
    // file types.
    static const QString ModelFilesFilter;
    static const QString MotionFilesFilter;
    static const QString ConvertSourceFilter;

    // Starts with the clock given (running), the settings location, a main window (not yet
    // shown) and the hidden help window.
    explicit CViewerApp(std::unique_ptr<AnimationClock> clock);
    // Frees the windows, then the renderer, then the clock.
    ~CViewerApp() override;

    static CViewerApp* instance() { return instance_; }

    AnimationClock& clock() { return *clock_; }
    const AnimationClock& clock() const { return *clock_; }
    IdleLoop& idleLoop() { return idleLoop_; }
    CMainFrame& mainFrame() const { return *mainFrame_; }

    // The renderer lives from the first view's set-up until the last view is gone.
    Renderer* renderer() const { return renderer_.get(); }
    Renderer& ensureRenderer();

    // Views report their making, their set-up (context made, model measured) and their end.
    void viewCreated(CBaseView* view);
    void viewInitialised(CBaseView* view);
    void viewDestroyed(CBaseView* view);
    // The view the idle loop animates: the active child window's, or none.
    CBaseView* activeView() const;
    const std::vector<CBaseView*>& views() const { return views_; }

    // One idle pass; true for "more".
    bool OnIdle(int idleCount);
    // What opening a document does before its first pass: the clock runs, is ticked, and the
    // animation and frame-rate stopwatches are taken afresh.
    void startAnimation();

    void OnFileOpen();
    // Opens files given on the command line or dropped on the window, in order, as Open would
    // with each chosen: a model (.qm1, .qv1, or a .ply or .md2 converted in memory) opens a
    // document; a motion (.qm2, or a .kfm converted in memory) goes into the last skeletal mesh
    // opened before it, else into target, and starts playing (ticked in the tree). A file that
    // cannot be opened is named in a message; the others still open.
    void openFiles(const QStringList& paths, CChildFrame* target = nullptr);
    // Files dropped on the main window (on: the widget under the drop, a view's container for a
    // view): motions go into the skeletal mesh window they were dropped on, else the active one.
    void openDroppedFiles(const QStringList& paths, QWidget* on);
    // Writes the active view's picture, as the screen shows it at its size, to a PNG file the
    // user chooses; nothing without a view.
    void OnSavePicture();
    void OnConvert();
    // Saves the active child window's model (with its motions) as glTF; nothing without one.
    void OnExportGltf();
    void OnHelp();
    // Fits the active view's camera to its model as it stands now (View > Fit to Model).
    void OnFitToModel();
    // A recent-file entry: opens it as Open would with it chosen; a file that has gone is named
    // in a message and leaves the list.
    void openRecentFile(const QString& path);
    void OnPause();
    void OnTexture();
    void OnCull();

    // Opens a model file as a document in a new, maximised child window and starts animating
    // it; none (after a message naming the file and the reason) when it cannot be read.
    CChildFrame* openDocument(const QString& path);
    // The active child window's frame, or none.
    CChildFrame* activeChildFrame() const;
    // A child window going away: the animation stopwatch is freed.
    void childFrameClosing();
    // Where the commands ask for files and show messages; tests put their own here.
    void setDialogs(std::unique_ptr<Dialogs> dialogs) { dialogs_ = std::move(dialogs); }
    CHelpDlg& helpWindow() const { return *helpWindow_; }
    // The four most recently opened files, newest first.
    QStringList recentFiles() const;
    // The enabled and pressed states of Pause, Texture and Cull, the menus and the frame rate.
    void updateCommandUi();

    bool texturingWanted() const { return texturingWanted_; }
    bool cullingWanted() const { return cullingWanted_; }

private:
    // Loads the motion file into the frame's document and hangs it in the tree; none, after a
    // message, when it is already loaded or cannot be read.
    QTreeWidgetItem* loadMotion(CSModelFrame& frame, const QString& path);
    void addRecentFile(const QString& path);
    void storeRecentFiles(const QStringList& files);
    // While the main window is minimised or hidden the clock rests, paused, and no pass runs;
    // it runs on from where it stopped once the window shows again.
    bool restWhileOutOfSight();
    void toggleSwitch(int rendererSwitch, bool& wanted);
    // Brings every set-up view's context up to date with the renderer and the lighting.
    void syncAllViews();

    static CViewerApp* instance_;
    std::unique_ptr<AnimationClock> clock_;
    IdleLoop idleLoop_;
    std::unique_ptr<Renderer> renderer_;
    std::unique_ptr<CMainFrame> mainFrame_;
    std::unique_ptr<IdleDriver> idleDriver_;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<CHelpDlg> helpWindow_;
    std::vector<CBaseView*> views_;
    int liveViews_ = 0;
    bool restingPaused_ = false;
    bool texturingWanted_ = false;
    bool cullingWanted_ = false;
};

}  // namespace qx::app
