#pragma once
// A viewer as the program starts it (clock from a counter the test moves), with helpers to put
// a view of a model into a child window and to read what GL state and pixels it shows.

#include <GL/gl.h>

#include <array>
#include <memory>

#include <QImage>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include "app/CBaseView.h"
#include "app/CMainFrame.h"
#include "app/CViewerApp.h"
#include "app/SharedGlContext.h"
#include "tests/app/AppTests.h"

namespace qx::test {

struct ViewerFixture {
    FakeCounter counter;
    std::unique_ptr<app::CViewerApp> viewer;

    void start() {
        viewer = std::make_unique<app::CViewerApp>(counter.makeClock());
        viewer->mainFrame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer->mainFrame()));
    }
    void stop() { viewer.reset(); }

    app::CMainFrame& frame() { return viewer->mainFrame(); }

    // Shows the view in a new child window and waits for its set-up.
    template <typename View>
    View* show(View* view, const QString& title, QSize size = QSize(320, 240)) {
        QMdiSubWindow* child = frame().addChildWindow(view->container(), title);
        child->resize(size);
        child->show();
        frame().mdiArea().setActiveSubWindow(child);
        if (!QTest::qWaitFor([view] { return view->initialised(); })) return nullptr;
        return view;
    }
};

// Reads one GL value of the view's context.
inline std::array<float, 4> glFloats(app::CBaseView& view, GLenum what) {
    std::array<float, 4> values{};
    view.makeCurrent();
    glGetFloatv(what, values.data());
    view.doneCurrent();
    return values;
}

// The main window as the screen shows it, views included (they are windows of their own, which
// a widget's grab leaves out).
inline QPixmap screenshot(QWidget& window) {
    QCoreApplication::processEvents();
    return window.screen()->grabWindow(window.winId());
}

inline bool glEnabled(app::CBaseView& view, GLenum what) {
    view.makeCurrent();
    const bool on = glIsEnabled(what) == GL_TRUE;
    view.doneCurrent();
    return on;
}

}  // namespace qx::test
