// icongen FOLDER: writes the program's icon for the desktop, drawn from the same shapes as the
// windows' icon, as a freedesktop.org icon theme tree: FOLDER/hicolor/NxN/apps/qxmodelview.png
// for each usual size and FOLDER/hicolor/scalable/apps/qxmodelview.svg.

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "app/ToolbarIcons.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icongen FOLDER\n");
        return 2;
    }
    // Drawing into images needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QDir theme(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor"));
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(side);
        QImage picture(side, side, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        {
            QPainter painter(&picture);
            qx::app::programIcon().paint(&painter, picture.rect());
        }
        if (!theme.mkpath(folder) || !picture.save(theme.filePath(folder + QStringLiteral("/qxmodelview.png")))) {
            std::fprintf(stderr, "icongen: cannot write %s\n", qPrintable(theme.filePath(folder)));
            return 1;
        }
    }
    QFile svg(theme.filePath(QStringLiteral("scalable/apps/qxmodelview.svg")));
    if (!theme.mkpath(QStringLiteral("scalable/apps")) || !svg.open(QIODevice::WriteOnly) ||
        svg.write(qx::app::programIconSvg()) < 0) {
        std::fprintf(stderr, "icongen: cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    return 0;
}
