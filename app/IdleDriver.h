#pragma once
// Runs a callback in the event loop's idle time: pass after pass while the event queue is
// empty and the callback answers "more"; after it answers "no more", once more only when the
// next event has arrived.
//
// Qt has no idle callback. A zero-interval timer is its idiom for "when no event is waiting":
// its timeout is delivered each time the loop has handled what was queued. The timer is
// stopped on "no more" and started again by the next event that comes from outside the
// program (input, a window shown, moved or uncovered: Qt marks those spontaneous), never by the
// paint the last pass asked for or by a timer; so a paused clock costs nothing while nothing
// happens. Code that changes what the passes would do (a window opened or closed, the clock
// resumed) calls wake().

#include <functional>

#include <QObject>
#include <QTimer>

namespace qx::app {

class IdleDriver : public QObject {
    Q_OBJECT
public:
    // callback receives the idle count: 0 for the first pass after an event, then 1, 2, ...
    explicit IdleDriver(std::function<bool(int idleCount)> callback, QObject* parent = nullptr);

    // Starts the passes now (as after an event).
    void wake();
    bool running() const { return timer_.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void runPass();

    std::function<bool(int)> callback_;
    QTimer timer_;
    int idleCount_ = 0;
};

}  // namespace qx::app
