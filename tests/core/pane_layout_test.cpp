// The pane arithmetic in twips that a window does not show; the panes themselves are checked
// on a real window.

#include <QTest>

#include "core/pane_layout.h"

using namespace mossleaf;

class PaneLayoutTest : public QObject {
    Q_OBJECT

private slots:
    // The window's least size guards the same floor; this one holds where a window manager
    // lets the window be narrower.
    void windowWidthHasAFloor_data() {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("expected");
        QTest::newRow("2999 snaps to 3000") << 2999.0 << 3000.0;
        QTest::newRow("3000 stays") << 3000.0 << 3000.0;
        QTest::newRow("6500 stays") << 6500.0 << 6500.0;
    }

    void windowWidthHasAFloor() {
        QFETCH(double, width);
        QTEST(PaneLayout::clampWindowWidth(width), "expected");
    }

    void heightKeepsPreviousWhenTooShort() {
        PaneLayout::Input in;
        in.split = 3000;
        in.windowWidth = 6500;
        in.scaleHeight = 500;  // less than the strips above and below the panes
        in.toolbarHeight = 420;
        in.titlesTop = 420;
        in.statusHeight = 360;
        in.previousPaneHeight = 1234;
        QCOMPARE(PaneLayout::compute(in).paneHeight, 1234.0);
    }

    void barAtPress() {
        const PaneLayout::Bar bar = PaneLayout::barAtPress(3000, 720, 150, 4920);
        QCOMPARE(bar.left, 3000.0);
        QCOMPARE(bar.top, 720.0);
        QCOMPARE(bar.width, 75.0);
        QCOMPARE(bar.height, 4900.0);
        // An odd zone width loses its remainder; a fraction is rounded first.
        QCOMPARE(PaneLayout::barAtPress(0, 0, 151, 0).width, 75.0);
        QCOMPARE(PaneLayout::barAtPress(0, 0, 150.6, 0).width, 75.0);
        QCOMPARE(PaneLayout::barAtPress(0, 0, 151.6, 0).width, 76.0);
    }
};

QTEST_APPLESS_MAIN(PaneLayoutTest)
#include "pane_layout_test.moc"
