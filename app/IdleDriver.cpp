#include "app/IdleDriver.h"

#include <QCoreApplication>
#include <QEvent>

namespace qx::app {

IdleDriver::IdleDriver(std::function<bool(int)> callback, QObject* parent)
    : QObject(parent), callback_(std::move(callback)) {
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &IdleDriver::runPass);
    if (QCoreApplication* application = QCoreApplication::instance()) application->installEventFilter(this);
    timer_.start();
}

bool IdleDriver::eventFilter(QObject* watched, QEvent* event) {
    // Qt marks the paints it delivers to widgets as spontaneous too; a paint is what a pass
    // asked for, not news from outside.
    const QEvent::Type type = event->type();
    if (event->spontaneous() && type != QEvent::Paint && type != QEvent::UpdateRequest && type != QEvent::Timer) wake();
    return QObject::eventFilter(watched, event);
}

void IdleDriver::wake() {
    if (timer_.isActive()) return;
    idleCount_ = 0;
    timer_.start();
}

void IdleDriver::runPass() {
    if (!callback_(idleCount_++)) timer_.stop();
}

}  // namespace qx::app
