#pragma once
// What a view and its child window need from the program around them, and all they may reach
// of it: the one renderer and the lighting every view's context takes, the registration that
// lets the idle loop animate the active view, and where files dropped on a view go. The
// application implements it; views are handed it when they are made.

#include <QKeyCombination>
#include <QStringList>

namespace qx {
class Renderer;
struct LightingSettings;
}  // namespace qx

class QWidget;

namespace qx::app {

class CBaseView;

class ViewHost {
public:
    virtual ~ViewHost() = default;

    // The renderer lives from the first view's set-up until the last view is gone.
    virtual Renderer* renderer() const = 0;
    virtual Renderer& ensureRenderer() = 0;
    virtual const LightingSettings& lighting() const = 0;

    // Views report their making, their set-up (context made, model measured) and their end.
    virtual void viewCreated(CBaseView* view) = 0;
    virtual void viewInitialised(CBaseView* view) = 0;
    virtual void viewDestroyed(CBaseView* view) = 0;
    // A child window going away: the animation stopwatch is freed.
    virtual void childFrameClosing() = 0;
    // Files dropped on a view (on: its container): they open as from the command line, motions
    // into the window they were dropped on.
    virtual void filesDropped(const QStringList& paths, QWidget* on) = 0;
    // A key pressed in a view, which the main window's shortcuts do not see; true when it was a
    // command's.
    virtual bool viewKeyPressed(QKeyCombination key) = 0;
    // The clock stops if it runs, as Pause stops it: the user has taken hold of the time.
    virtual void holdStill() = 0;
};

}  // namespace qx::app
