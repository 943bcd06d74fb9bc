// Renders the application's SVG icon into an .iconset folder, the sizes
// macOS asks of an application icon, for iconutil to make the .icns from.
// Usage: tallowin_render_iconset ICON.svg OUT.iconset
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>

namespace {

// Each point size at 1x and 2x: icon_16x16.png, icon_16x16@2x.png, ...
constexpr int kPointSizes[] = {16, 32, 128, 256, 512};

bool render(QSvgRenderer& svg, int pixels, const QString& file) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    return image.save(file, "PNG");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ICON.svg OUT.iconset\n", argv[0]);
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "%s: cannot read %s as SVG\n", argv[0], argv[1]);
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "%s: cannot make %s\n", argv[0], argv[2]);
        return 1;
    }
    for (const int points : kPointSizes) {
        const QString name = QStringLiteral("icon_%1x%1").arg(points);
        for (const int scale : {1, 2}) {
            const QString file =
                folder.filePath(name + (scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png")));
            if (!render(svg, points * scale, file)) {
                std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(file));
                return 1;
            }
        }
    }
    return 0;
}
