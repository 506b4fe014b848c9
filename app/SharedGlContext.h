#pragma once
// The OpenGL context every view's context shares its textures with. A model is read, and its
// textures uploaded, before its view's own context exists (Qt makes that when the view is first
// shown), and it is freed after its view's context may be gone; both happen with this context
// current instead, so the textures are where every view can use them and are deleted in a
// context that still holds them.
//
// Needs Qt::AA_ShareOpenGLContexts set before the application object is made.

#include <memory>

class QOffscreenSurface;
class QOpenGLContext;
class QSurface;

namespace qx::app {

// Makes the shared context current for the scope's life, then restores whatever context and
// surface were current before.
class SharedGlScope {
public:
    SharedGlScope();
    ~SharedGlScope();
    SharedGlScope(const SharedGlScope&) = delete;
    SharedGlScope& operator=(const SharedGlScope&) = delete;

    // False when there is no shared context (the attribute was not set, or GL is missing).
    bool current() const { return current_; }

private:
    QOpenGLContext* previousContext_ = nullptr;
    QSurface* previousSurface_ = nullptr;
    bool current_ = false;
};

}  // namespace qx::app
