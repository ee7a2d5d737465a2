// The toolbar pictures and the program icon, drawn from their SVG sources: every size a screen
// asks for is a fresh drawing, the image list's mask colour never shows, and the build-time
// tool writes PNGs whole or not at all.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "widgets/app_icon.h"
#include "widgets/image_list.h"
#include "widgets/svg_picture.h"

using namespace mossleaf;

namespace {

// Opaque pixels, and whether they hold more than one colour: a blank or one-colour square
// is no picture.
bool isDrawn(const QImage& image) {
    int opaque = 0;
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            opaque += qAlpha(p) == 255;
            colours << p;
        }
    }
    return opaque > image.width() * image.height() / 8 && colours.size() > 2;
}

bool showsMask(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) != 0 && QColor(p).rgb() == ImageList::kMaskColour.rgb()) {
                return true;
            }
        }
    }
    return false;
}

// The pixels alone, whatever device pixel ratio the pixmap was drawn for.
QImage argb(const QPixmap& pixmap) {
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(1.0);
    return image;
}

}  // namespace

class ScalablePicturesTest : public QObject {
    Q_OBJECT

private slots:
    void picture_drawnAfreshAtEveryScale_data() {
        QTest::addColumn<QString>("key");  // empty: the program icon
        QTest::addColumn<int>("size");     // its size at a device pixel ratio of 1
        for (const char* key : {"New", "Open", "Save", "Copy", "Update", "Exe"}) {
            QTest::newRow(key) << QString::fromLatin1(key) << 16;
        }
        QTest::newRow("program icon") << QString() << 32;
    }

    void picture_drawnAfreshAtEveryScale() {
        QFETCH(QString, key);
        QFETCH(int, size);
        const ImageList list = toolbarIcons();
        const bool toolbar = !key.isEmpty();
        const QIcon icon = toolbar ? list.icon(key) : mossleafIcon();
        const auto direct = [&](int pixels) {
            return toolbar ? list.picture(key, pixels)
                           : renderSvg(mossleafIconPath(), QSize(pixels, pixels));
        };
        QVERIFY(!icon.isNull());

        for (const int pixels : {16, 32}) {
            const QImage image = argb(icon.pixmap(QSize(pixels, pixels), 1.0));
            QCOMPARE(image.size(), QSize(pixels, pixels));
            QVERIFY2(isDrawn(image), qPrintable(QString::number(pixels)));
            if (toolbar) {
                QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
                QVERIFY(!showsMask(image));
            }
        }

        const QPixmap sharp = icon.pixmap(QSize(size, size), 2.0);
        QCOMPARE(sharp.size(), QSize(2 * size, 2 * size));
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
        QCOMPARE(argb(sharp), direct(2 * size));
        // ...and that drawing is not the small one enlarged.
        QVERIFY(direct(2 * size) != direct(size).scaled(2 * size, 2 * size));
        if (toolbar) {
            QVERIFY(!showsMask(argb(sharp)));
        }
    }

    void iconTool_writesWholePngOrNothing_data() {
        QTest::addColumn<QString>("source");  // "icon": the program icon; else text of a file
        QTest::addColumn<QString>("size");
        QTest::addColumn<int>("written");  // the PNG's size, 0 when the tool must refuse
        // clang-format off
        QTest::newRow("48 px") << "icon" << "48" << 48;
        QTest::newRow("256 px") << "icon" << "256" << 256;
        QTest::newRow("size zero") << "icon" << "0" << 0;
        QTest::newRow("size not a number") << "icon" << "16px" << 0;
        QTest::newRow("not an SVG") << "<html>no picture</html>" << "16" << 0;
        // clang-format on
    }

    void iconTool_writesWholePngOrNothing() {
        QFETCH(QString, source);
        QFETCH(QString, size);
        QFETCH(int, written);
        QTemporaryDir dir;
        QString svg = QStringLiteral(MOSSLEAF_ICON_SVG);
        if (source != QLatin1String("icon")) {
            svg = dir.filePath(QStringLiteral("in.svg"));
            QFile file(svg);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(source.toUtf8());
        }
        // A PNG from an earlier build stays as it was when the tool refuses.
        const QString png = dir.filePath(QStringLiteral("out.png"));
        QImage earlier(8, 8, QImage::Format_ARGB32);
        earlier.fill(Qt::red);
        QVERIFY(earlier.save(png));

        QProcess tool;
        tool.start(QStringLiteral(MOSSLEAF_ICON_PNG), {svg, png, size});
        QVERIFY(tool.waitForFinished(30000));
        const QImage result(png);
        if (written == 0) {
            QVERIFY(tool.exitCode() != 0);
            QVERIFY(!tool.readAllStandardError().isEmpty());
            QCOMPARE(result.convertToFormat(QImage::Format_ARGB32), earlier);
        } else {
            QCOMPARE(tool.exitCode(), 0);
            QCOMPARE(result.size(), QSize(written, written));
            QVERIFY(isDrawn(result.convertToFormat(QImage::Format_ARGB32)));
            QCOMPARE(qAlpha(result.pixel(0, 0)), 0);
        }
    }
};

QTEST_MAIN(ScalablePicturesTest)
#include "scalable_pictures_test.moc"
