// Which mouse and keyboard actions select a node in the tree, and which are reported as a
// click. Mirroring the Document and the node chosen after deleting the highlighted node are
// checked on the window; here, the removal of an ancestor of the selected node.
#include <QHelpEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <QVBoxLayout>

#include "core/node_collection.h"
#include "editing/outline_tree.h"

using namespace mossleaf;

class OutlineTreeTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void onlyLeftClickOrKeysSelect_data();
    void onlyLeftClickOrKeysSelect();
    void removingTheSelectedNodesAncestorMovesTheSelection();
    void elidedTitleShowsWholeInATooltip_data();
    void elidedTitleShowsWholeInATooltip();

private:
    QPoint centerOf(const QString& key) const;

    mossleaf::NodeCollection nodes_;
    QWidget* host_ = nullptr;
    OutlineTree* tree_ = nullptr;
};

void OutlineTreeTest::init() {
    host_ = new QWidget;
    auto* layout = new QVBoxLayout(host_);
    layout->addWidget(tree_ = new OutlineTree(nodes_, host_));
    host_->resize(300, 400);
    host_->show();
    host_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(host_));
    // R1 { A, B, C }, R2
    nodes_.Add("R1", mossleaf::StoredText(u"R1"));
    for (const char* key : {"A", "B", "C"}) {
        nodes_.Add("R1", mossleaf::Relationship::Child, key, mossleaf::StoredText(u"x"));
    }
    nodes_.Add("R2", mossleaf::StoredText(u"R2"));
    tree_->expandAll();
}

void OutlineTreeTest::cleanup() {
    QToolTip::hideText();
    delete host_;
    nodes_.Clear();
}

QPoint OutlineTreeTest::centerOf(const QString& key) const {
    if (key.isEmpty()) {
        return QPoint(10, tree_->viewport()->height() - 5);  // below the nodes
    }
    return tree_->visualItemRect(tree_->itemForKey(key.toStdString())).center();
}

void OutlineTreeTest::onlyLeftClickOrKeysSelect_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("at");  // empty: empty space below the nodes
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("clicks");  // after the click on A that selects it first
    const Qt::KeyboardModifiers none;
    const Qt::KeyboardModifiers ctrl(Qt::ControlModifier);
    // clang-format off
    QTest::newRow("left click on another node") << "click" << Qt::LeftButton << none << "C" << "C" << 2;
    QTest::newRow("left click on the selected node") << "click" << Qt::LeftButton << none << "A" << "A" << 2;
    QTest::newRow("ctrl+click on the selected node keeps it") << "click" << Qt::LeftButton << ctrl << "A" << "A" << 2;
    QTest::newRow("left click on empty space") << "click" << Qt::LeftButton << none << "" << "A" << 1;
    QTest::newRow("right click") << "click" << Qt::RightButton << none << "C" << "A" << 1;
    QTest::newRow("middle click") << "click" << Qt::MiddleButton << none << "C" << "A" << 1;
    QTest::newRow("right double click") << "double" << Qt::RightButton << none << "C" << "A" << 1;
    QTest::newRow("middle double click") << "double" << Qt::MiddleButton << none << "C" << "A" << 1;
    QTest::newRow("left drag from C over A") << "drag" << Qt::LeftButton << none << "C" << "C" << 2;
    QTest::newRow("left drag from the selected A over C") << "drag back" << Qt::LeftButton << none << "C" << "A" << 2;
    QTest::newRow("ctrl+space would deselect") << "space" << Qt::NoButton << ctrl << "" << "A" << 1;
    QTest::newRow("arrow key") << "down" << Qt::NoButton << none << "" << "B" << 2;
    // clang-format on
}

void OutlineTreeTest::onlyLeftClickOrKeysSelect() {
    QFETCH(QString, action);
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, at);
    QSignalSpy clicks(tree_, &OutlineTree::nodeClicked);
    QWidget* viewport = tree_->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, centerOf(QStringLiteral("A")));
    const QPoint to = centerOf(at);
    if (action == QLatin1String("click")) {
        QTest::mouseClick(viewport, button, modifiers, to);
    } else if (action == QLatin1String("double")) {
        QTest::mouseDClick(viewport, button, modifiers, to);
    } else if (action.startsWith(QLatin1String("drag"))) {
        // "drag": from `at` over A; "drag back": from A, already selected, over `at`.
        const bool back = action == QLatin1String("drag back");
        const QPoint from = back ? centerOf(QStringLiteral("A")) : to;
        const QPoint over = back ? to : centerOf(QStringLiteral("A"));
        QTest::mousePress(viewport, button, modifiers, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(over), viewport->mapToGlobal(QPointF(over)),
                         Qt::NoButton, button, modifiers);
        QApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, button, modifiers, over);
    } else {
        QTest::keyClick(tree_, action == "down" ? Qt::Key_Down : Qt::Key_Space, modifiers);
    }
    QTEST(tree_->selectedKey(), "selected");
    QTEST(int(clicks.count()), "clicks");
    QCOMPARE(clicks.last().first().toString(), tree_->selectedKey());
}

void OutlineTreeTest::removingTheSelectedNodesAncestorMovesTheSelection() {
    tree_->selectKey("A");
    nodes_.Remove(nodes_.find("R1")->Index);
    QCOMPARE(tree_->selectedKey(), QStringLiteral("R2"));
}

void OutlineTreeTest::elidedTitleShowsWholeInATooltip_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("tip");  // "none", "whole", or "shortened" in the middle
    // clang-format off
    QTest::newRow("fits its row") << "Short title" << "none";
    QTest::newRow("Latin with blanks") << QString("a long title of many words ").repeated(8) << "whole";
    QTest::newRow("Japanese") << QString("日本語の長い見出し").repeated(12) << "whole";
    QTest::newRow("looks like markup") << "<b>bold</b> &amp; " + QString(200, QLatin1Char('x')) << "whole";
    QTest::newRow("10,000 characters") << QString("見出しx").repeated(2500) << "shortened";
    // clang-format on
}

void OutlineTreeTest::elidedTitleShowsWholeInATooltip() {
    QFETCH(QString, title);
    QFETCH(QString, tip);
    nodes_.Add("L", mossleaf::StoredText(title.toStdU16String()));
    const QPoint at = centerOf(QStringLiteral("L"));
    QHelpEvent help(QEvent::ToolTip, at, tree_->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree_->viewport(), &help);
    QCOMPARE(QToolTip::isVisible(), tip != "none");
    if (tip == "none") {
        return;
    }
    // Wrapped to lines that fit the screen, and shown as written.
    const QString shown = QTextDocumentFragment::fromHtml(QToolTip::text()).toPlainText();
    const QStringList lines = shown.split(QLatin1Char('\n'));
    const QFontMetrics metrics(QToolTip::font());
    for (const QString& line : lines) {
        QVERIFY(metrics.horizontalAdvance(line) <= tree_->screen()->availableGeometry().width());
    }
    if (tip == "whole") {
        QCOMPARE(lines.join(QString()), title);
    } else {
        const QStringList ends = lines.join(QString()).split(QChar(0x2026));
        QCOMPARE(ends.size(), 2);
        QVERIFY(title.startsWith(ends[0]) && title.endsWith(ends[1]) && ends[1].size() > 100);
    }
}

QTEST_MAIN(OutlineTreeTest)
#include "outline_tree_test.moc"
