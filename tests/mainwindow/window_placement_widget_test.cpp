// The main window's outer bounds under window managers that frame it early, late or not at
// all. The offscreen platform draws no frames: the frame is fed in, as a window manager would
// report it, and the client area is moved as a window manager moves it.

#include <QTest>
#include <QWidget>

#include "mainwindow/outer_geometry.h"
#include "mainwindow/window_placement.h"
#include "window_test_support.h"

using namespace mossleaf;

namespace {

using namespace Qt::StringLiterals;
enum class Framing { None, Early, Late, LatePushingDown };

// A window manager in miniature: it frames the window when told to.
struct Desktop {
    QMargins frame;
    QWidget window;
    WindowPlacement placement{window, [this](const QWidget&) { return frame; }};

    void start(MemorySettingsStore& store, Framing framing) {
        const QMargins border(1, 22, 1, 5);
        if (framing == Framing::Early) {
            frame = border;
        }
        placement.restore(store, 15, 15);
        placement.setLeastOuterWidth(200);  // 3000 twips, as the main window's layout asks
        window.show();
        QCoreApplication::processEvents();
        if (framing == Framing::Late || framing == Framing::LatePushingDown) {
            frame = border;
            // Some keep the client where it was asked for and grow the frame around it,
            // others put the frame there and push the client down; either way a configure
            // notification follows.
            const QPoint shift = framing == Framing::LatePushingDown ? QPoint(1, 22) : QPoint();
            window.setGeometry(window.geometry().translated(shift));
            QMoveEvent configured(window.pos(), window.pos());
            QCoreApplication::sendEvent(&window, &configured);
        }
    }
};

void store4(MemorySettingsStore& store, const QStringList& values) {
    const QStringList keys{"MainLeft", "MainTop", "MainWidth", "MainHeight"};
    for (int i = 0; i < keys.size(); ++i) {
        if (!values[i].isEmpty()) {
            store.setSetting(keys[i], values[i]);
        }
    }
}

QStringList stored4(const MemorySettingsStore& store) {
    return {store.setting("MainLeft"), store.setting("MainTop"), store.setting("MainWidth"),
            store.setting("MainHeight")};
}

}  // namespace

Q_DECLARE_METATYPE(Framing)

class WindowPlacementWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void untouchedWindowKeepsItsPlace_data() {
        QTest::addColumn<Framing>("framing");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QRect>("outer");  // pixels, 15 twips each

        const QStringList defaults{{}, {}, {}, {}};
        const QStringList between{"1007", "3000", "7001", "4444"};
        QTest::newRow("no frame, defaults") << Framing::None << defaults << QRect(67, 67, 433, 433);
        QTest::newRow("early, defaults") << Framing::Early << defaults << QRect(67, 67, 433, 433);
        QTest::newRow("late, defaults") << Framing::Late << defaults << QRect(67, 67, 433, 433);
        QTest::newRow("late pushing down, defaults")
            << Framing::LatePushingDown << defaults << QRect(67, 67, 433, 433);
        QTest::newRow("late, between pixels")
            << Framing::Late << between << QRect(67, 200, 467, 296);
        QTest::newRow("late pushing down, between pixels")
            << Framing::LatePushingDown << between << QRect(67, 200, 467, 296);
    }

    // Four starts and closes in a row, the window left alone: the frame stands where the
    // values say each time, and the values written are those read.
    void untouchedWindowKeepsItsPlace() {
        QFETCH(Framing, framing);
        QFETCH(QStringList, stored);
        MemorySettingsStore store;
        store4(store, stored);
        const QStringList first =
            stored.contains(QString()) ? QStringList{"1000", "1000", "6500", "6500"} : stored;
        for (int run = 0; run < 4; ++run) {
            Desktop desktop;
            desktop.start(store, framing);
            QTEST(desktop.placement.outerGeometry(), "outer");
            desktop.placement.save(store, 15, 15);
            QCOMPARE(stored4(store), first);
        }
    }

    // The user moves and sizes the frame; the next start puts it there again.
    void movedWindowComesBackWhereLeft_data() {
        QTest::addColumn<Framing>("framing");
        QTest::newRow("no frame") << Framing::None;
        QTest::newRow("early") << Framing::Early;
        QTest::newRow("late") << Framing::Late;
        QTest::newRow("late pushing down") << Framing::LatePushingDown;
    }

    void movedWindowComesBackWhereLeft() {
        QFETCH(Framing, framing);
        MemorySettingsStore store;
        {
            Desktop desktop;
            desktop.start(store, framing);
            const QMargins frame = desktop.frame;
            desktop.window.setGeometry(QRect(200, 150, 500, 400).marginsRemoved(frame));
            desktop.placement.save(store, 15, 15);
        }
        QCOMPARE(stored4(store), (QStringList{"3000", "2250", "7500", "6000"}));
        Desktop again;
        again.start(store, framing);
        QCOMPARE(again.placement.outerGeometry(), QRect(200, 150, 500, 400));
    }

    void absurdValuesGiveAUsableWindow_data() {
        QTest::addColumn<QString>("stored");  // left,top,width,height
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<QString>("written");
        QTest::newRow("text, -1e308, huge") << u"abc,-1e308,99999999999999,1e30"_s
                                            << QRect(67, 67, 433, 433) << u"1000,1000,6500,6500"_s;
        QTest::newRow("nan, inf, negative, X11's most: 32767 pixels")
            << u"nan,inf,-6500,491505"_s << QRect(67, 67, 433, 32767) << u"1000,1000,6500,491505"_s;
        QTest::newRow("below the least width, frame included")
            << u"1500,1500,1500,4500"_s << QRect(100, 100, 200, 300) << u"1500,1500,3000,4500"_s;
    }

    void absurdValuesGiveAUsableWindow() {
        QFETCH(QString, stored);
        MemorySettingsStore store;
        store4(store, stored.split(u','));
        Desktop desktop;
        desktop.start(store, Framing::Late);
        desktop.placement.save(store, 15, 15);
        QTEST(stored4(store).join(u','), "written");
        QTEST(desktop.placement.outerGeometry(), "outer");
    }

    void ontoNearestScreen_data() {
        QTest::addColumn<QRect>("outer");
        QTest::addColumn<QRect>("placed");
        const QRect fits(0, 0, 400, 300);
        // Two screens side by side, 800x600 each.
        QTest::newRow("on the first") << fits.translated(100, 100) << fits.translated(100, 100);
        QTest::newRow("on the second") << fits.translated(900, 50) << fits.translated(900, 50);
        QTest::newRow("half off the right, title bar reachable")
            << fits.translated(1400, 100) << fits.translated(1400, 100);
        QTest::newRow("title bar above the top")
            << fits.translated(100, -33) << fits.translated(100, 0);
        QTest::newRow("far right: onto the second, whole")
            << fits.translated(5000, 200) << fits.translated(1200, 200);
        QTest::newRow("far left and below: onto the first, whole")
            << fits.translated(-3000, 4000) << fits.translated(0, 300);
        QTest::newRow("taller than the screen: its top on it")
            << QRect(-900, 100, 400, 900) << QRect(0, 0, 400, 900);
    }

    void ontoNearestScreen() {
        QFETCH(QRect, outer);
        const QList<QRect> screens{QRect(0, 0, 800, 600), QRect(800, 0, 800, 600)};
        QTEST(OuterGeometry::ontoNearestScreen(outer, screens), "placed");
    }
};

QTEST_MAIN(WindowPlacementWidgetTest)
#include "window_placement_widget_test.moc"
