// The pane arithmetic in twips, without widgets.

#include <QTest>

#include "mainwindow/pane_layout.h"

class PaneLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void panes_data() {
        QTest::addColumn<double>("split");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("treeWidth");
        QTest::addColumn<double>("textLeft");
        QTest::addColumn<double>("textWidth");
        QTest::addColumn<double>("caption1Left");
        QTest::addColumn<double>("caption1Width");

        // The zone's design position lies below the least split, so the first layout raises it.
        // clang-format off
        QTest::newRow("6500 wide at start") << 1500.0 << 6500.0 << 3000.0 << 3040.0 << 3360.0 << 3060.0 << 3320.0;
        QTest::newRow("5000 wide: right clamp wins") << 3000.0 << 5000.0 << 2000.0 << 2040.0 << 2860.0 << 2060.0 << 2820.0;
        QTest::newRow("least width 3000") << 3000.0 << 3000.0 << 0.0 << 40.0 << 2860.0 << 60.0 << 2820.0;
        QTest::newRow("wide window keeps the split") << 4321.0 << 12000.0 << 4321.0 << 4361.0 << 7539.0 << 4381.0 << 7499.0;
        QTest::newRow("released near the left edge") << 700.0 << 9000.0 << 3000.0 << 3040.0 << 5860.0 << 3060.0 << 5820.0;
        QTest::newRow("released near the right edge") << 8500.0 << 9000.0 << 6000.0 << 6040.0 << 2860.0 << 6060.0 << 2820.0;
        // clang-format on
    }

    void panes() {
        QFETCH(double, split);
        QFETCH(double, width);
        PaneLayout::Input in;
        in.split = split;
        in.windowWidth = width;
        in.scaleHeight = 6000;
        in.toolbarHeight = 420;
        in.titlesTop = 420;
        in.titlesHeight = 300;
        in.statusHeight = 360;
        const PaneLayout::Result r = PaneLayout::compute(in);
        QTEST(r.treeWidth, "treeWidth");
        QCOMPARE(r.split, r.treeWidth);
        QCOMPARE(r.caption0Width, r.treeWidth);
        QTEST(r.textLeft, "textLeft");
        QTEST(r.textWidth, "textWidth");
        QTEST(r.caption1Left, "caption1Left");
        QTEST(r.caption1Width, "caption1Width");
        QCOMPARE(r.paneTop, 720.0);
        QCOMPARE(r.paneHeight, 6000.0 - (420 + 300 + 360));
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
