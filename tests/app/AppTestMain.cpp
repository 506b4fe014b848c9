// Runs one group of the viewer's Qt tests, named by the first argument (all without one), in one
// application object set up as the viewer sets up its own.

#include <cstring>
#include <vector>

#include <QApplication>
#include <QStandardPaths>
#include <QTest>

#include "app/CViewerApp.h"
#include "tests/app/AppTests.h"

int main(int argc, char** argv) {
    qx::app::CViewerApp::prepareApplication(qx::app::CViewerApp::LoopPace::Unthrottled);
    QApplication application(argc, argv);
    // Settings such as the recent files go to a test location, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    // Named as the viewer names itself, so that a test's first clearing of the settings clears
    // the ones the viewer reads.
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("qxmodelview"));
    const char* only = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
    std::vector<char*> rest{argv[0]};
    for (int i = only != nullptr ? 2 : 1; i < argc; ++i) rest.push_back(argv[i]);
    int failures = 0;
    for (const qx::test::AppTestGroup& group : qx::test::appTestGroups()) {
        if (only != nullptr && std::strcmp(only, group.name) != 0) continue;
        const std::unique_ptr<QObject> tests = group.make();
        failures += QTest::qExec(tests.get(), static_cast<int>(rest.size()), rest.data());
    }
    return failures == 0 ? 0 : 1;
}
