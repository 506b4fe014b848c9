#pragma once
// The program's main window: the menus, the toolbar (Open, Help, Convert, Pause, Texture,
// Cull), the lighting panel as a second row under it, the child windows in a multiple-document
// area, and the status bar with "Ready", the active window's session time and the frame rate.
//
// The frame only shows state and reports changes; the commands are carried out by the
// application object (CViewerApp), which also sets the buttons' enabled and pressed states.

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>

#include "app/CommandIds.h"
#include "app/LightingPanel.h"
#include "render/Lighting.h"

class QAction;
class QMdiSubWindow;
class QMenu;

namespace qx::app {

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);

    // The entry of a command: toolbar button and menu entry share it. None for an unknown id.
    QAction* action(CommandId id) const;
    QMdiArea& mdiArea() const { return *mdiArea_; }
    LightingPanel& lightingPanel() const { return *lightingPanel_; }
    const LightingSettings& lighting() const { return lightingPanel_->settings(); }

    // Adds a child window holding content, titled title; the window is freed when closed.
    QMdiSubWindow* addChildWindow(QWidget* content, const QString& title);

    // Shows the frame rate in its status pane ("%3.2f fps").
    void setFrameRate(float framesPerSecond);
    float frameRate() const { return frameRate_; }
    // Shows the active window's time readout (none: empty).
    void setSessionTime(const QString& readout);
    // Shows the size of the active model's bounds (none: empty).
    void setModelSize(const QString& size);
    // Shows Close, Export glTF, Save Picture and Save Session Script in the File menu, Fit to
    // Model in the View menu and the Window and Playback menus while a child window is open. Convert stays in the menu in both
    // states, as it does on the toolbar.
    void showMenuState(bool childActive);
    // The recent-file entries of the File menu, above Exit, newest first ("&1 path").
    void setRecentFiles(const QStringList& files);
    QMenu& windowMenu() const { return *windowMenu_; }
    // Window › Cascade: the child windows overlap from the top left, each offset by a title bar
    // so that every title shows, each at least two thirds of the area each way, and each view
    // keeps at least a third of the area each way (a widened tree column gives way).
    void cascadeChildWindows();
    // Whether the window is out of sight: minimised or hidden.
    bool resting() const { return isMinimized() || !isVisible(); }

signals:
    // A lighting control changed; the views must apply lighting().
    void lightingChanged();
    // Files were dropped on the window; under is the widget they were dropped on.
    void filesDropped(const QStringList& files, QWidget* under);
    // A recent-file entry was chosen.
    void recentFileChosen(const QString& path);
    // The window was minimised, hidden, shown or restored (see resting()).
    void restingChanged();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QAction* addCommand(CommandId id, const QString& text, const QString& prompt, const QString& tip);
    void createMenus();
    void createToolbars();
    void createStatusBar();
    void createWindowMenu();
    // Keeps a maximised child window's successor maximised when it goes, however it goes.
    void keepMaximisedAfterClose(QMdiSubWindow* child);

    QMdiArea* mdiArea_ = nullptr;
    LightingPanel* lightingPanel_ = nullptr;
    QLabel* frameRatePane_ = nullptr;
    QLabel* timePane_ = nullptr;
    QLabel* sizePane_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QMenu* playbackMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentEntries_;
    QList<QAction*> commands_;
    float frameRate_ = 0.0f;
};

}  // namespace qx::app
