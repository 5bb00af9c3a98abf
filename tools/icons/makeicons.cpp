// Renders the program's SVG icon into the PNG sizes of the hicolor icon theme, at build time:
//   vardel-makeicons <icon.svg> <output folder>  ->  <folder>/<n>x<n>/apps/vardel.png
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("usage: vardel-makeicons <icon.svg> <output folder>\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "minimal");
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "vardel-makeicons: %s is not a readable SVG file\n", argv[1]);
        return 1;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString folder = QDir(QString::fromLocal8Bit(argv[2])).filePath(QStringLiteral("%1x%1/apps").arg(size));
        if (!QDir().mkpath(folder) || !image.save(QDir(folder).filePath(QStringLiteral("vardel.png")))) {
            std::fprintf(stderr, "vardel-makeicons: cannot write into %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
