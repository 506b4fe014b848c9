// qxmodelview: opens skeletal meshes and vertex-animated models and plays them.

#include <QApplication>
#include <QMessageBox>

#include "app/CMainFrame.h"
#include "app/CViewerApp.h"

int main(int argc, char** argv) {
    qx::app::CViewerApp::prepareApplication();
    QApplication application(argc, argv);
    std::unique_ptr<qx::app::AnimationClock> clock = qx::app::AnimationClock::create();
    if (!clock) {
        QMessageBox::critical(nullptr, QStringLiteral("qxmodelview"),
                              QStringLiteral("This system offers no steady clock to time the animation."));
        return 1;
    }
    qx::app::CViewerApp viewer(std::move(clock));
    viewer.mainFrame().show();
    return QApplication::exec();
}
