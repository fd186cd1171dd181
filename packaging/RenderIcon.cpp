// Writes the program icon as PNG files for the icon theme, at build time:
//   delvex-render-icon FOLDER SIZE...  makes FOLDER/SIZExSIZE/apps/delvex.png
// The icon is drawn as vectors, so each size is drawn afresh rather than scaled.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "ui/ProgramIcon.h"

int main(int argc, char** argv) {
    // No display is needed to draw into an image.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: delvex-render-icon FOLDER SIZE...\n");
        return 2;
    }
    const QIcon icon = ProgramIcon();
    for (int i = 2; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size <= 0 || size > 1024) {
            std::fprintf(stderr, "delvex-render-icon: bad size %s\n", argv[i]);
            return 2;
        }
        const QString dir =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            icon.paint(&painter, QRect(0, 0, size, size));
        }
        if (!QDir().mkpath(dir) || !image.save(dir + QStringLiteral("/delvex.png"), "PNG")) {
            std::fprintf(stderr, "delvex-render-icon: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
