#pragma once
// What the commands (Open, Convert, Save Picture, Export glTF) act on, and all they reach of the
// program: where they ask for files and show messages, the active child window and view, the
// clock they pause while they wait on the user, and where a new document's window goes. The
// application implements it; tests drive the commands through the application.

class QWidget;

namespace qx::app {

class AnimationClock;
class CBaseView;
class CChildFrame;
class Dialogs;
class ViewHost;

class CommandHost {
public:
    virtual ~CommandHost() = default;

    virtual Dialogs& dialogs() = 0;
    // The window dialogs and messages belong to.
    virtual QWidget* dialogParent() = 0;
    // The active child window's frame and view, or none.
    virtual CChildFrame* activeChildFrame() const = 0;
    virtual CBaseView* activeView() const = 0;
    virtual AnimationClock& clock() = 0;
    // What a new document's frame and view are made with.
    virtual ViewHost& viewHost() = 0;
    // Shows a new document's frame in a maximised child window of its own, makes it active and
    // starts animating it, the time spent reading the file not counted.
    virtual void showChildFrame(CChildFrame* frame) = 0;
};

// Pauses the clock while a command waits on the user, if it runs; it runs on afterwards.
class ClockPause {
public:
    explicit ClockPause(AnimationClock& clock);
    ~ClockPause();
    ClockPause(const ClockPause&) = delete;
    ClockPause& operator=(const ClockPause&) = delete;

private:
    AnimationClock& clock_;
    bool wasRunning_;
};

}  // namespace qx::app
