// Writes the program's own icon (app/AppIcon) as the PNG files of the hicolor icon theme:
//   tavora-icon-export OUTDIR  ->  OUTDIR/<N>x<N>/apps/tavora.png for every size drawn.
// Run at build time, so the installed icons are always the icon the window shows.
#include "app/AppIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavora-icon-export OUTDIR\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QIcon icon = tavora::app::appIcon();
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        const QPixmap pixmap = icon.pixmap(QSize(size, size));
        if (!QDir().mkpath(dir) || pixmap.size() != QSize(size, size) || !pixmap.save(dir + "/tavora.png", "PNG")) {
            std::fprintf(stderr, "tavora-icon-export: cannot write the %dx%d icon\n", size, size);
            return 1;
        }
    }
    return 0;
}
