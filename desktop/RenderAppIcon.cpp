// Writes the program's icon into a hicolor tree: PNGs at the sizes desktops
// ask for and one SVG, all drawn by the tray's own heart code.
#include "shell/HeartIcon.h"

#include <QDir>
#include <QFont>
#include <QPainter>
#include <QSvgGenerator>
#include <QTextStream>

namespace {

bool writePng(const QDir &theme, int size)
{
    const QString folder = QStringLiteral("%1x%1/apps").arg(size);
    return theme.mkpath(folder) && tender::HeartIcon::appIcon(size).save(theme.filePath(folder + "/tender.png"));
}

bool writeSvg(const QDir &theme)
{
    constexpr int size = 256;
    if (!theme.mkpath(QStringLiteral("scalable/apps")))
        return false;
    QSvgGenerator svg;
    svg.setFileName(theme.filePath(QStringLiteral("scalable/apps/tender.svg")));
    svg.setSize(QSize(size, size));
    svg.setViewBox(QRect(0, 0, size, size));
    svg.setTitle(QStringLiteral("Tender"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    // Every group carries the painter's font; the default one has no size and
    // would be written as font-size="-1", which SVG readers warn about.
    painter.setFont(QFont(QStringLiteral("sans-serif"), 12));
    tender::HeartIcon::paintAppIcon(painter, size);
    return painter.end();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        QTextStream(stderr) << "usage: render-app-icon <hicolor directory>\n";
        return 2;
    }
    const QDir theme(QString::fromLocal8Bit(argv[1]));
    bool written = writeSvg(theme);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        written = writePng(theme, size) && written;
    if (!written)
        QTextStream(stderr) << "render-app-icon: could not write into " << theme.path() << "\n";
    return written ? 0 : 1;
}
