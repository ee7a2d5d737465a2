// The tree as the user drives it: mirroring the node collection, which node is selected after
// a removal, and which mouse and keyboard actions select a node.
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "document/node_collection.h"
#include "editing/outline_tree.h"
#include "editing/qt_text.h"

using mossleaf::NodeCollection;
using mossleaf::Relationship;
using mossleaf::StoredText;

namespace {

StoredText title(const char* text) {
    return StoredText(QtText::fromQString(QString::fromUtf8(text)));
}

// Keys of the children of `item` (or of the top level) in screen order.
QStringList screenOrder(const QTreeWidget& tree, const QTreeWidgetItem* item = nullptr) {
    QStringList keys;
    const int count = item ? item->childCount() : tree.topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        keys << OutlineTree::keyOf(item ? item->child(i) : tree.topLevelItem(i));
    }
    return keys;
}

}  // namespace

class OutlineTreeTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void mirrorsAddsTitlesAndClear();
    void removalSelectsNeighbour_data();
    void removalSelectsNeighbour();
    void leftClickSelectsAndReports_data();
    void leftClickSelectsAndReports();
    void otherButtonsNeverSelect_data();
    void otherButtonsNeverSelect();
    void draggingDoesNotSelect();
    void focusWithoutSelectionSelectsNothing();

private:
    // R1 { A, B { B1 }, C }, R2
    void buildSample();
    QPoint centerOf(const std::string& key) const;

    NodeCollection nodes_;
    QWidget* host_ = nullptr;
    OutlineTree* tree_ = nullptr;
};

void OutlineTreeTest::init() {
    host_ = new QWidget;
    auto* layout = new QVBoxLayout(host_);
    tree_ = new OutlineTree(nodes_, host_);
    layout->addWidget(tree_);
    host_->resize(300, 400);
    host_->show();
    QVERIFY(QTest::qWaitForWindowExposed(host_));
    host_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(host_));
}

void OutlineTreeTest::cleanup() {
    delete host_;
    host_ = nullptr;
    nodes_.Clear();
}

void OutlineTreeTest::buildSample() {
    nodes_.Add("R1", title("R1"));
    nodes_.Add("R1", Relationship::Child, "A", title("a"));
    nodes_.Add("R1", Relationship::Child, "B", title("b"));
    nodes_.Add("B", Relationship::Child, "B1", title("b1"));
    nodes_.Add("R1", Relationship::Child, "C", title("c"));
    nodes_.Add("R2", title("R2"));
    tree_->expandAll();
}

QPoint OutlineTreeTest::centerOf(const std::string& key) const {
    QTreeWidgetItem* item = tree_->itemForKey(key);
    return item ? tree_->visualItemRect(item).center() : QPoint();
}

void OutlineTreeTest::mirrorsAddsTitlesAndClear() {
    buildSample();
    QCOMPARE(screenOrder(*tree_), (QStringList{"R1", "R2"}));
    QCOMPARE(screenOrder(*tree_, tree_->itemForKey("R1")), (QStringList{"A", "B", "C"}));
    QCOMPARE(screenOrder(*tree_, tree_->itemForKey("B")), QStringList{"B1"});
    QCOMPARE(tree_->itemForKey("B1")->text(0), QStringLiteral("b1"));

    nodes_.setText(3, title("新しい題"));
    QCOMPARE(tree_->itemForKey("B")->text(0), QStringLiteral("新しい題"));

    // A tree made after the collection was filled shows the same nodes.
    OutlineTree late(nodes_, nullptr);
    QCOMPARE(screenOrder(late, late.itemForKey("R1")), (QStringList{"A", "B", "C"}));
    nodes_.setObserver(tree_);

    tree_->SelectKey("A");
    QSignalSpy changed(tree_, &OutlineTree::SelectionChanged);
    nodes_.Clear();
    QCOMPARE(tree_->topLevelItemCount(), 0);
    QCOMPARE(tree_->SelectedKey(), QString());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().toString(), QString());
}

void OutlineTreeTest::removalSelectsNeighbour_data() {
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("only child: parent") << "B1"
                                        << "B1"
                                        << "B";
    QTest::newRow("selected inside removed subtree") << "B1"
                                                     << "B"
                                                     << "C";
    QTest::newRow("first root: next root") << "A"
                                           << "R1"
                                           << "R2";
    QTest::newRow("last root: previous root") << "R2"
                                              << "R2"
                                              << "R1";
    QTest::newRow("other node: selection stays") << "A"
                                                 << "C"
                                                 << "A";
}

void OutlineTreeTest::removalSelectsNeighbour() {
    QFETCH(QString, selected);
    QFETCH(QString, removed);
    QFETCH(QString, expected);
    buildSample();
    tree_->SelectKey(selected.toStdString());
    QSignalSpy clicks(tree_, &OutlineTree::NodeClick);
    nodes_.Remove(nodes_.find(removed.toStdString())->Index);
    QCOMPARE(tree_->SelectedKey(), expected);
    QVERIFY(tree_->itemForKey(removed.toStdString()) == nullptr);
    QCOMPARE(clicks.count(), 0);  // the program's removal is no click of the user's
}

void OutlineTreeTest::leftClickSelectsAndReports_data() {
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("another node") << Qt::KeyboardModifiers() << "A"
                                  << "C";
    QTest::newRow("the selected node again") << Qt::KeyboardModifiers() << "A"
                                             << "A";
    QTest::newRow("ctrl on the selected node keeps it")
        << Qt::KeyboardModifiers(Qt::ControlModifier) << "A"
        << "A";
}

void OutlineTreeTest::leftClickSelectsAndReports() {
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, first);
    QFETCH(QString, second);
    buildSample();
    QSignalSpy clicks(tree_, &OutlineTree::NodeClick);
    QSignalSpy ups(tree_, &OutlineTree::MouseUp);
    QTest::mouseClick(tree_->viewport(), Qt::LeftButton, {}, centerOf(first.toStdString()));
    QTest::mouseClick(tree_->viewport(), Qt::LeftButton, modifiers, centerOf(second.toStdString()));
    QCOMPARE(tree_->SelectedKey(), second);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(clicks.at(1).first().toString(), second);
    QCOMPARE(ups.count(), 2);
    QCOMPARE(ups.at(1).first().value<Qt::MouseButton>(), Qt::LeftButton);
    // Ctrl+Space would deselect in a plain view; here the node stays selected.
    QTest::keyClick(tree_, Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(tree_->SelectedKey(), second);
    // Clicking empty space below the nodes keeps the node selected.
    QTest::mouseClick(tree_->viewport(), Qt::LeftButton, {},
                      QPoint(10, tree_->viewport()->height() - 5));
    QCOMPARE(tree_->SelectedKey(), second);
    QCOMPARE(clicks.count(), 2);
}

void OutlineTreeTest::otherButtonsNeverSelect_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void OutlineTreeTest::otherButtonsNeverSelect() {
    QFETCH(Qt::MouseButton, button);
    buildSample();
    tree_->SelectKey("A");
    QWidget other(host_);
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    other.setFocus();
    QSignalSpy clicks(tree_, &OutlineTree::NodeClick);
    QSignalSpy ups(tree_, &OutlineTree::MouseUp);
    const QPoint at = centerOf("C");
    QTest::mousePress(tree_->viewport(), button, {}, at);
    QVERIFY(tree_->hasFocus());  // the press takes the focus
    QCOMPARE(ups.count(), 0);    // nothing is reported before the release
    QTest::mouseRelease(tree_->viewport(), button, {}, at);
    QCOMPARE(tree_->SelectedKey(), QStringLiteral("A"));
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(ups.count(), 1);
    QCOMPARE(ups.first().at(0).value<Qt::MouseButton>(), button);
    QCOMPARE(ups.first().at(1).toPoint(), tree_->viewport()->mapTo(tree_, at));
    QTest::mouseDClick(tree_->viewport(), button, {}, at);
    QCOMPARE(tree_->SelectedKey(), QStringLiteral("A"));
}

void OutlineTreeTest::draggingDoesNotSelect() {
    buildSample();
    QSignalSpy clicks(tree_, &OutlineTree::NodeClick);
    QTest::mousePress(tree_->viewport(), Qt::LeftButton, {}, centerOf("A"));
    QMouseEvent move(QEvent::MouseMove, QPointF(centerOf("C")),
                     tree_->viewport()->mapToGlobal(QPointF(centerOf("C"))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree_->viewport(), &move);
    QTest::mouseRelease(tree_->viewport(), Qt::LeftButton, {}, centerOf("C"));
    QCOMPARE(tree_->SelectedKey(), QStringLiteral("A"));
    QCOMPARE(clicks.count(), 1);
}

void OutlineTreeTest::focusWithoutSelectionSelectsNothing() {
    buildSample();
    QWidget other(host_);
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    other.setFocus();
    QSignalSpy clicks(tree_, &OutlineTree::NodeClick);
    tree_->setFocus(Qt::TabFocusReason);
    QVERIFY(tree_->hasFocus());
    QCOMPARE(tree_->SelectedKey(), QString());
    QCOMPARE(clicks.count(), 0);
}

QTEST_MAIN(OutlineTreeTest)
#include "outline_tree_test.moc"
