#include "app/SharedGlContext.h"

#include <QCoreApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>

namespace qx::app {

namespace {

// One surface for the whole run, made on first use and freed with the application object.
QOffscreenSurface* sharedSurface() {
    static QOffscreenSurface* surface = [] {
        auto* s = new QOffscreenSurface(nullptr, QCoreApplication::instance());
        s->setFormat(QOpenGLContext::globalShareContext() ? QOpenGLContext::globalShareContext()->format()
                                                          : QSurfaceFormat::defaultFormat());
        s->create();
        return s;
    }();
    return surface;
}

}  // namespace

SharedGlScope::SharedGlScope() {
    previousContext_ = QOpenGLContext::currentContext();
    previousSurface_ = previousContext_ != nullptr ? previousContext_->surface() : nullptr;
    QOpenGLContext* shared = QOpenGLContext::globalShareContext();
    if (shared == nullptr) return;
    current_ = shared->makeCurrent(sharedSurface());
}

SharedGlScope::~SharedGlScope() {
    if (!current_) return;
    if (previousContext_ != nullptr && previousSurface_ != nullptr)
        previousContext_->makeCurrent(previousSurface_);
    else
        QOpenGLContext::globalShareContext()->doneCurrent();
}

}  // namespace qx::app
