#pragma once
// The program's main window: the menus, the toolbar (Open, Help, Convert, Pause, Texture,
// Cull), the lighting panel as a second row under it, the child windows in a multiple-document
// area, and the status bar with "Ready" and the frame rate.
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
    // Shows Close and Export glTF in the File menu while a child window is open. Convert stays
    // in the menu in both states, as it does on the toolbar.
    void showMenuState(bool childActive);

signals:
    // A lighting control changed; the views must apply lighting().
    void lightingChanged();
    // Files were dropped on the window; under is the widget they were dropped on.
    void filesDropped(const QStringList& files, QWidget* under);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* addCommand(CommandId id, const QString& text, const QString& prompt, const QString& tip);
    void createMenus();
    void createToolbars();
    void createStatusBar();

    QMdiArea* mdiArea_ = nullptr;
    LightingPanel* lightingPanel_ = nullptr;
    QLabel* frameRatePane_ = nullptr;
    QList<QAction*> commands_;
    float frameRate_ = 0.0f;
};

}  // namespace qx::app
