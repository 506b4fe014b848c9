// qxmodelview: opens skeletal meshes and vertex-animated models and plays them.
//
//   qxmodelview [FILE...]   opens each model in order, each motion into the skeletal mesh
//                           before it, playing

#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>

#include <cstring>

#include "app/CMainFrame.h"
#include "app/CViewerApp.h"

namespace {

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Plays skeletal meshes (.qm1) with their motions (.qm2) and vertex-animated models (.qv1); "
                       "A:M (.ply, .kfm) and MD2 (.md2) files open converted in memory."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("Models to open, in order; a motion plays on the skeletal mesh before it."),
        QStringLiteral("[FILE...]"));
}

// Help and the version need no window: they are answered before any display is asked for.
bool onlyAsksForText(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0) return true;
    return false;
}

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("qxmodelview"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QX_VERSION));
}

}  // namespace

int main(int argc, char** argv) {
    if (onlyAsksForText(argc, argv)) {
        QCoreApplication text(argc, argv);
        nameApplication();
        QCommandLineParser parser;
        describe(parser);
        parser.process(text);  // prints and exits
        return 0;
    }
    qx::app::CViewerApp::prepareApplication();
    QApplication application(argc, argv);
    nameApplication();
    QCommandLineParser parser;
    describe(parser);
    parser.process(application);  // an unknown option: a usage message and exit status 1
    std::unique_ptr<qx::app::AnimationClock> clock = qx::app::AnimationClock::create();
    if (!clock) {
        QMessageBox::critical(nullptr, QStringLiteral("qxmodelview"),
                              QStringLiteral("This system offers no steady clock to time the animation."));
        return 1;
    }
    qx::app::CViewerApp viewer(std::move(clock));
    viewer.mainFrame().show();
    viewer.openFiles(parser.positionalArguments());
    return QApplication::exec();
}
