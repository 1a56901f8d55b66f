// kavrel-icons DIR: draws the program's icon, the search animation's globe
// under a magnifying glass, into DIR/<N>x<N>/apps/kavrel.png for each size
// a desktop's icon theme asks for (the hicolor layout).
#include "globe_frames.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// The icon in the 32-unit square of the globe frames.
QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.save();
    p.scale(0.84, 0.84);
    finder::paintGlobeFrame(p, 0);
    p.restore();
    const QPointF lens(20.5, 20.5);
    p.setPen(QPen(QColor(70, 50, 40), 4.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(25.5, 25.5), QPointF(30.0, 30.0));
    p.setPen(QPen(QColor(45, 45, 55), 2.2));
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawEllipse(lens, 6.5, 6.5);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kavrel-icons DIR\n");
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    for (const int size : kSizes) {
        const QString folder =
            QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(folder) || !drawIcon(size).save(folder + "/kavrel.png")) {
            std::fprintf(stderr, "kavrel-icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
