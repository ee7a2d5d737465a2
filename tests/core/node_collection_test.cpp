#include <QStringList>
#include <QTest>

#include "core/node_collection.h"

using mossleaf::Node;
using mossleaf::NodeCollection;
using mossleaf::Relationship;
using mossleaf::StoredText;

namespace {

// Writes down every notification, in order.
class Recorder : public mossleaf::NodeCollectionObserver {
public:
    QStringList events;
    void nodeAdded(const Node& node) override {
        events << QStringLiteral("added %1 at %2").arg(key(node)).arg(node.Index);
    }
    void nodesRemoving(const std::vector<std::string>& keys) override {
        QStringList list;
        for (const std::string& k : keys) {
            list << QString::fromStdString(k);
        }
        events << QStringLiteral("removing ") + list.join(u',');
    }
    void nodeTextChanged(const Node& node) override {
        events
            << QStringLiteral("text %1 %2").arg(key(node), QString::fromStdU16String(node.title()));
    }
    void cleared() override { events << QStringLiteral("cleared"); }

private:
    static QString key(const Node& node) { return QString::fromStdString(node.Key); }
};

// Builds a collection from "S1;S2<S1;S3<S2": key, then "<" and the parent's key for a child.
bool build(NodeCollection& nodes, const QString& layout) {
    for (const QString& item : layout.split(u';', Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(u'<');
        const std::string key = parts[0].toStdString();
        Node* added = parts.size() == 1 ? nodes.Add(key, StoredText(u"t"))
                                        : nodes.Add(parts[1].toStdString(), Relationship::Child,
                                                    key, StoredText(u"t"));
        if (added == nullptr) {
            return false;
        }
    }
    return true;
}

// The collection in the same notation, checking that Index is the position as it goes.
QString layout(const NodeCollection& nodes) {
    QStringList items;
    for (int i = 1; i <= nodes.Count(); ++i) {
        const Node* node = nodes(i);
        QString item = QString::fromStdString(node->Key);
        if (node->Index != i) {
            item += QStringLiteral("@%1").arg(node->Index);
        }
        if (node->Parent) {
            item += u'<' + QString::fromStdString(node->Parent->Key);
        }
        if (nodes.find(node->Key) != node) {
            item += QStringLiteral("!lookup");
        }
        items << item;
    }
    return items.join(u';');
}

}  // namespace

class NodeCollectionTest : public QObject {
    Q_OBJECT

private slots:
    void removeTakesTheSubtree_data() {
        QTest::addColumn<QString>("tree");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("removed");

        const QString tree = "S1;S2<S1;S3<S2;S4;S5<S1;S6<S4;S7<S5";
        // clang-format off
        QTest::newRow("a leaf") << tree << 3 << "S1;S2<S1;S4;S5<S1;S6<S4;S7<S5" << "S3";
        QTest::newRow("first root with its subtree, spread out") << tree << 1 << "S4;S6<S4" << "S1,S2,S3,S5,S7";
        QTest::newRow("middle node") << tree << 2 << "S1;S4;S5<S1;S6<S4;S7<S5" << "S2,S3";
        QTest::newRow("second root") << tree << 4 << "S1;S2<S1;S3<S2;S5<S1;S7<S5" << "S4,S6";
        QTest::newRow("last node") << tree << 7 << "S1;S2<S1;S3<S2;S4;S5<S1;S6<S4" << "S7";
        QTest::newRow("only node") << "S0" << 1 << "" << "S0";
        QTest::newRow("index 0 does nothing") << tree << 0 << tree << "";
        QTest::newRow("index past the end does nothing") << tree << 8 << tree << "";
        QTest::newRow("negative index does nothing") << tree << -1 << tree << "";
        // clang-format on
    }

    void removeTakesTheSubtree() {
        QFETCH(QString, tree);
        QFETCH(int, index);
        QFETCH(QString, removed);

        NodeCollection nodes;
        QVERIFY(build(nodes, tree));
        Recorder recorder;
        nodes.setObserver(&recorder);
        nodes.Remove(index);
        QTEST(layout(nodes), "after");
        QCOMPARE(recorder.events,
                 removed.isEmpty() ? QStringList() : QStringList("removing " + removed));
        for (const QString& key : removed.split(u',', Qt::SkipEmptyParts)) {
            QVERIFY(nodes.find(key.toStdString()) == nullptr);
        }
        // Adding goes on at the end, and the removed keys are free again.
        for (const QString& key : removed.split(u',', Qt::SkipEmptyParts)) {
            const Node* again = nodes.Add(key.toStdString(), StoredText());
            QVERIFY(again != nullptr);
            QCOMPARE(again->Index, nodes.Count());
        }
    }

    void addFollowsTheTreeRules_data() {
        QTest::addColumn<QString>("tree");
        QTest::addColumn<QString>("relative");  // empty: no relative
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("after");  // empty: the add fails and nothing changes

        // clang-format off
        QTest::newRow("root to an empty tree") << "" << "" << "S0" << "S0";
        QTest::newRow("root after others") << "S1;S2<S1" << "" << "S3" << "S1;S2<S1;S3";
        QTest::newRow("child of the first node comes last in Index order") << "S1;S2<S1;S3" << "S1" << "S4" << "S1;S2<S1;S3;S4<S1";
        QTest::newRow("grandchild") << "S1;S2<S1" << "S2" << "S9" << "S1;S2<S1;S9<S2";
        QTest::newRow("key in use") << "S1;S2<S1" << "" << "S2" << "";
        QTest::newRow("key in use under a relative") << "S1;S2<S1" << "S1" << "S1" << "";
        QTest::newRow("missing relative") << "S1" << "S7" << "S2" << "";
        // clang-format on
    }

    void addFollowsTheTreeRules() {
        QFETCH(QString, tree);
        QFETCH(QString, relative);
        QFETCH(QString, key);
        QFETCH(QString, after);

        NodeCollection nodes;
        QVERIFY(build(nodes, tree));
        Recorder recorder;
        nodes.setObserver(&recorder);
        const Node* added = relative.isEmpty()
                                ? nodes.Add(key.toStdString(), StoredText(u"title"))
                                : nodes.Add(relative.toStdString(), Relationship::Child,
                                            key.toStdString(), StoredText(u"title"));
        if (after.isEmpty()) {
            QVERIFY(added == nullptr);
            QCOMPARE(layout(nodes), tree);
            QCOMPARE(recorder.events, QStringList());
            return;
        }
        QVERIFY(added != nullptr);
        QCOMPARE(layout(nodes), after);
        QCOMPARE(added->Index, nodes.Count());
        QCOMPARE(QString::fromStdU16String(added->title()), QString("title"));
        QCOMPARE(recorder.events,
                 QStringList(QStringLiteral("added %1 at %2").arg(key).arg(nodes.Count())));
    }

    void textAndClearAreReported() {
        NodeCollection nodes;
        QVERIFY(build(nodes, "S1;S2<S1"));
        Recorder recorder;
        nodes.setObserver(&recorder);
        nodes.setText(2, StoredText(u"renamed"));
        nodes.setText(3, StoredText(u"nobody"));
        nodes.setText(0, StoredText(u"nobody"));
        QCOMPARE(QString::fromStdU16String(nodes(2)->title()), QString("renamed"));
        nodes.Clear();
        QCOMPARE(nodes.Count(), 0);
        QVERIFY(nodes.find("S1") == nullptr);
        QVERIFY(nodes(1) == nullptr);
        QCOMPARE(recorder.events, QStringList({"text S2 renamed", "cleared"}));
        QVERIFY(nodes.Add("S1", StoredText()) != nullptr);  // keys are free again
    }
};

QTEST_APPLESS_MAIN(NodeCollectionTest)
#include "node_collection_test.moc"
