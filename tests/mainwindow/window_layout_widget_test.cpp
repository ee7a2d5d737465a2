// The panes and the splitter of a real main window at 96 logical DPI (15 twips per pixel).

#include <QAccessible>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QToolBar>

#include "editing/body_edit.h"
#include "editing/outline_tree.h"
#include "editing/title_box.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/splitter_zone.h"
#include "mainwindow/status_bar.h"
#include "window_test_support.h"

using namespace mossleaf;

namespace {

struct Window {
    MemorySettingsStore settings;
    std::unique_ptr<frmMain> form;

    Window() {
        form = std::make_unique<frmMain>(settings);
        form->show();
    }
    void setOuterWidth(int pixels) {
        const int extra = form->frameGeometry().width() - form->width();
        form->resize(pixels - extra, form->height());
        QCoreApplication::processEvents();
    }
};

}  // namespace

class WindowLayoutWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (QGuiApplication::primaryScreen()->logicalDotsPerInchX() != 96) {
            QSKIP("the pixel numbers below are for 96 logical DPI");
        }
    }

    void panesFollowTheWidth_data() {
        QTest::addColumn<int>("outerWidth");
        QTest::addColumn<int>("shownWidth");
        QTest::addColumn<int>("treeWidth");
        QTest::addColumn<int>("textLeft");
        QTest::addColumn<int>("textWidth");
        QTest::addColumn<int>("caption1Left");
        QTest::addColumn<int>("caption1Width");

        // twips / 15, rounded: 3040 -> 203, 2860 -> 191, 3060 -> 204, 2820 -> 188
        QTest::newRow("9000 twips") << 600 << 600 << 200 << 203 << 391 << 204 << 388;
        QTest::newRow("6000 twips") << 400 << 400 << 200 << 203 << 191 << 204 << 188;
        QTest::newRow("5010 twips: split 2010") << 334 << 334 << 134 << 137 << 191 << 138 << 188;
        QTest::newRow("2000 twips snaps to 3000") << 133 << 200 << 0 << 3 << 191 << 4 << 188;
    }

    void panesFollowTheWidth() {
        QFETCH(int, outerWidth);
        Window w;
        w.setOuterWidth(outerWidth);
        frmMain& f = *w.form;
        QTEST(f.frameGeometry().width(), "shownWidth");
        QTEST(f.TreeView1->width(), "treeWidth");
        QCOMPARE(f.TreeView1->x(), 0);
        QTEST(f.Text2->x(), "textLeft");
        QTEST(f.Text2->width(), "textWidth");
        QCOMPARE(f.lblTitle[0]->x(), 0);
        QCOMPARE(f.lblTitle[0]->width(), f.TreeView1->width());
        QTEST(f.lblTitle[1]->x(), "caption1Left");
        QTEST(f.lblTitle[1]->width(), "caption1Width");
        QCOMPARE(f.imgSplitter->x(), f.TreeView1->width());
        QCOMPARE(f.imgSplitter->width(), 10);  // 150 twips
    }

    void stripsAndPanesStackFromTopToBottom() {
        Window w;
        w.setOuterWidth(600);
        w.form->resize(w.form->width(), 450);
        QCoreApplication::processEvents();
        frmMain& f = *w.form;
        QWidget* client = f.centralWidget();
        QCOMPARE(f.tbToolBar->parentWidget(), client);
        QCOMPARE(f.sbStatusBar->parentWidget(), client);
        QCOMPARE(f.tbToolBar->y(), 0);
        QVERIFY(f.tbToolBar->height() > 0);
        QCOMPARE(f.picTitles->y(), f.tbToolBar->height());
        QCOMPARE(f.picTitles->height(), 20);    // 300 twips
        QCOMPARE(f.lblTitle[0]->y(), 1);        // 12 twips
        QCOMPARE(f.lblTitle[0]->height(), 18);  // 270 twips
        QCOMPARE(f.TreeView1->y(), f.tbToolBar->height() + f.picTitles->height());
        QCOMPARE(f.TreeView1->y() + f.TreeView1->height(), f.sbStatusBar->y());
        QCOMPARE(f.sbStatusBar->y() + f.sbStatusBar->height(), client->height());
        QCOMPARE(f.Text2->y(), f.TreeView1->y());
        QCOMPARE(f.Text2->height(), f.TreeView1->height());
        QCOMPARE(f.imgSplitter->y(), f.TreeView1->y());
        QCOMPARE(f.imgSplitter->height(), f.TreeView1->height());
        QCOMPARE(f.lblTitle[0]->text(), QStringLiteral("分類"));
        QCOMPARE(f.lblTitle[1]->text(), QStringLiteral("内容"));
        QVERIFY(f.Text1->isHidden());
    }

    // A split lowered by a narrow window stays where it went when the window grows again.
    void narrowedSplitIsNotRestored() {
        Window w;
        w.setOuterWidth(900);
        QTest::mousePress(w.form->imgSplitter, Qt::LeftButton, {}, QPoint(0, 20));
        QTest::mouseMove(w.form->imgSplitter, QPoint(200, 20));
        QTest::mouseRelease(w.form->imgSplitter, Qt::LeftButton, {}, QPoint(200, 20));
        QCOMPARE(w.form->TreeView1->width(), 400);
        w.setOuterWidth(500);
        QCOMPARE(w.form->TreeView1->width(), 300);  // Width - 3000 twips
        w.setOuterWidth(900);
        QCOMPARE(w.form->TreeView1->width(), 300);
    }

    void dragTheBar_data() {
        QTest::addColumn<int>("moveBy");
        QTest::addColumn<int>("barWhileDragging");
        QTest::addColumn<int>("treeAfterRelease");

        // Window 9000 twips (600 px), split at 3000 (200 px).
        QTest::newRow("to about 700 twips: bar follows, border lands at 3000") << -153 << 47 << 200;
        QTest::newRow("beyond the left edge: bar stops at 500") << -400 << 33 << 200;
        QTest::newRow("beyond the right edge: bar stops at Width - 500") << 900 << 567 << 400;
        QTest::newRow("in the middle: border follows") << 100 << 300 << 300;
    }

    void dragTheBar() {
        QFETCH(int, moveBy);
        Window w;
        w.setOuterWidth(600);
        frmMain& f = *w.form;
        SplitterZone* zone = f.imgSplitter;
        QVERIFY(f.picSplitter->isHidden());
        QCOMPARE(zone->cursor().shape(), Qt::SplitHCursor);

        const QPoint grab(1, 20);
        QTest::mousePress(zone, Qt::LeftButton, {}, grab);
        QVERIFY(f.picSplitter->isVisible());
        QCOMPARE(f.picSplitter->x(), 200);
        QCOMPARE(f.picSplitter->y(), zone->y());
        QCOMPARE(f.picSplitter->width(), 5);  // 75 twips
        QCOMPARE(f.picSplitter->height(), qRound((zone->height() * 15 - 20) / 15.0));
        QCOMPARE(f.picSplitter->palette().color(QPalette::Window), QColor(128, 128, 128));

        const QPoint to = grab + QPoint(moveBy - 1, 0);
        QTest::mouseMove(zone, to);
        QTEST(f.picSplitter->x(), "barWhileDragging");
        QCOMPARE(f.TreeView1->width(), 200);  // only the bar moves during the drag

        QTest::mouseRelease(zone, Qt::LeftButton, {}, to);
        QVERIFY(f.picSplitter->isHidden());
        QTEST(f.TreeView1->width(), "treeAfterRelease");
        QCOMPARE(f.imgSplitter->x(), f.TreeView1->width());
    }

    void screenReaderKnowsEachPane_data() {
        QTest::addColumn<QString>("name");  // rows by the pane's object name
        QTest::addColumn<int>("caption");   // the caption that labels it; -1: none
        QTest::newRow("TreeView1") << "分類" << 0;
        QTest::newRow("Text2") << "内容" << 1;
        QTest::newRow("Text1") << "見出し" << -1;
    }

    void screenReaderKnowsEachPane() {
        QFETCH(QString, name);
        QFETCH(int, caption);
        Window w;
        QWidget* widget = w.form->findChild<QWidget*>(QTest::currentDataTag());
        QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(seen->text(QAccessible::Name), name);
        if (caption >= 0) {
            const auto labelled = QAccessible::queryAccessibleInterface(w.form->lblTitle[caption])
                                      ->relations(QAccessible::Labelled);
            QCOMPARE(labelled.size(), 1);
            QCOMPARE(labelled.first().first->object(), widget);
        }
        for (int i = 0; i < seen->childCount(); ++i) {  // a header, never shown, names it too
            QVERIFY(seen->child(i)->role() != QAccessible::ColumnHeader ||
                    seen->child(i)->text(QAccessible::Name) == name);
        }
    }
};

QTEST_MAIN(WindowLayoutWidgetTest)
#include "window_layout_widget_test.moc"
