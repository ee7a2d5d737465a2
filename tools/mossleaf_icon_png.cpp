// mossleaf_icon_png in.svg out.png N
// Draws an SVG picture into an N × N PNG with a transparent background. The PNG is written
// whole or not at all: an existing out.png is replaced only by a complete file.
#include <QGuiApplication>
#include <QSaveFile>
#include <QStringList>
#include <cstdio>

#include "widgets/svg_picture.h"

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "mossleaf_icon_png: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // No window is shown: the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: mossleaf_icon_png in.svg out.png N\n");
        return 2;
    }
    const QString& in = args[1];
    const QString& out = args[2];
    bool number = false;
    const int size = args[3].toInt(&number);
    if (!number || size < 1 || size > 4096) {
        return fail(
            QStringLiteral("%1: the size must be a whole number from 1 to 4096").arg(args[3]));
    }

    const QImage image = mossleaf::renderSvg(in, QSize(size, size));
    if (image.isNull()) {
        return fail(QStringLiteral("%1: not a readable SVG picture").arg(in));
    }
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        return fail(QStringLiteral("%1: cannot be written: %2").arg(out, file.errorString()));
    }
    return 0;
}
