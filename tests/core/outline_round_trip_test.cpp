#include <QTemporaryDir>
#include <QTest>

#include "core/document.h"
#include "core/outline_reader.h"
#include "core/outline_save.h"
#include "outline_test_support.h"

using mossleaf::Document;
using mossleaf::LoadOutcome;
using mossleaf::SaveOutcome;
using mossleaf::TextEncoding;
using namespace testsupport;

Q_DECLARE_METATYPE(TextEncoding)
Q_DECLARE_METATYPE(SaveOutcome::Status)

// Files saved again without edits give back their bytes; Documents built in memory are
// written exactly in the record format.
class OutlineRoundTripTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    QByteArray save(Document& doc, SaveOutcome::Status expected = SaveOutcome::Status::Saved) {
        const QString path = fileIn(dir_.path(), QStringLiteral("out.txt"));
        const SaveOutcome outcome = SaveDocument(doc, path.toStdString());
        if (outcome.status != expected) {
            return "<save status " + QByteArray::number(int(outcome.status)) + ">";
        }
        return readFile(path);
    }

private slots:
    void savesWhatItLoaded_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("saved");  // empty: the same bytes as the file
        QTest::addColumn<TextEncoding>("encoding");

        using B = QByteArray;
        const auto cp932 = TextEncoding::Cp932;
        // clang-format off
        QTest::newRow("worked example") << kWorkedExample << B() << cp932;
        QTest::newRow("single node") << B("<**********>, 1 , 0 ,A\r\n\r\n") << B() << cp932;
        QTest::newRow("empty file") << B() << B() << cp932;
        QTest::newRow("CP932 every kind of row") << B("<**********>, 1 , 0 ,\x8A\xBF\x82\xA0\xB1\xDE\\~\r\n\x81\x60\x81\x5F\x81\x7C\x87\x40\x87\x54\x87\x8A\r\n\xED\x40\xEE\xF9\xFA\x40\xFA\x54\xFA\x5C\xF0\x40\xF9\xFC\r\n<**********>, 2 , 1 ,\x87\x90\x81\xCA\r\n\x81\xCA\xEE\xF9\r\n") << B() << cp932;
        QTest::newRow("CP932 invalid bytes and a lone lead byte at the end") << B("<**********>, 1 , 0 ,\x80\xA0\r\n\x85\x40\xFD\xFE\xFF\x81\r\n\xEF\x80\r\n\x81") << B("<**********>, 1 , 0 ,\x80\xA0\r\n\x85\x40\xFD\xFE\xFF\x81\r\n\xEF\x80\r\n\x81\r\n") << cp932;
        QTest::newRow("UTF-8") << B("<**********>, 1 , 0 ,\xC3\xA9\r\n\xED\x95\x9C\r\n") << B() << TextEncoding::Utf8;
        QTest::newRow("UTF-8 with byte-order mark") << B("\xEF\xBB\xBF<**********>, 1 , 0 ,A\r\n\xF0\x9F\x98\x80\xFF\r\n") << B() << TextEncoding::Utf8Bom;
        QTest::newRow("half-width pairs misread as UTF-8") << B("<**********>, 1 , 0 ,\xC3\xA9\r\n\xC3\xA9\xC3\xA9\r\n") << B() << TextEncoding::Utf8;
        QTest::newRow("lone LF and lone CR") << B("<**********>, 1 , 0 ,A\nx\ry\n\r<**********>, 2 , 1 ,B") << B("<**********>, 1 , 0 ,A\r\nx\r\ny\r\n\r\n<**********>, 2 , 1 ,B\r\n\r\n") << cp932;
        QTest::newRow("lone LF first in a body") << B("<**********>, 1 , 0 ,A\r\n\nx\r\n") << B("<**********>, 1 , 0 ,A\r\n\r\nx\r\n") << cp932;
        QTest::newRow("lone CR last in a body") << B("<**********>, 1 , 0 ,A\r\nx\r\r\n") << B("<**********>, 1 , 0 ,A\r\nx\r\n\r\n") << cp932;
        QTest::newRow("header fields renumbered") << B("<**********>,1,0,A\r\n<**********>, 1 , 1.2 ,B\r\n<**********>\r\n") << B("<**********>, 1 , 0 ,A\r\n\r\n<**********>, 2 , 1 ,B\r\n\r\n<**********>, 3 , 0 ,\r\n\r\n") << cp932;
        // clang-format on
    }

    void savesWhatItLoaded() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, saved);
        QFETCH(TextEncoding, encoding);
        if (saved.isEmpty()) {
            saved = file;
        }

        const QString in = fileIn(dir_.path(), QStringLiteral("in.txt"));
        writeFile(in, file);
        Document doc;
        QCOMPARE(LoadDocument(doc, in.toStdString()).status, LoadOutcome::Status::Loaded);
        QCOMPARE(doc.encoding, encoding);
        QCOMPARE(save(doc), saved);
        // and the saved file reads back as the same Document
        Document again;
        LoadDocument(again, fileIn(dir_.path(), QStringLiteral("out.txt")).toStdString());
        QCOMPARE(describe(again), describe(doc));
        QCOMPARE(again.encoding, encoding);
    }

    void writesTheRecordFormat_data() {
        QTest::addColumn<int>("nodes");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("empty tree") << 0 << QByteArray();
        QTest::newRow("single node A") << 1 << QByteArray("<**********>, 1 , 0 ,A\r\n\r\n");
        QTest::newRow("worked example") << 3 << kWorkedExample;
    }

    void writesTheRecordFormat() {
        QFETCH(int, nodes);

        // Built the way the node commands build it: each node added under the last one.
        const std::u16string titles[] = {u"Notes", u"Plan", u"Tasks"};
        const std::u16string bodies[] = {u"first line\r\nsecond line", u"buy paper", u""};
        Document doc;
        doc.NodeCounter = 1;
        for (int i = 0; i < nodes; ++i) {
            mossleaf::Node* node = doc.AddNode(nodes == 1 ? u"A" : titles[i]);
            QVERIFY(node);
            doc.StoreBody(node->Key, nodes == 1 ? u"" : bodies[i]);
            doc.CurrentKey = node->Key;
        }
        const QByteArray written = save(doc);
        QTEST(written, "file");
        QCOMPARE(written.size(), QList<int>({0, 26, 121}).at(nodes == 3 ? 2 : nodes));
    }

    void editedTextKeepsInvalidBytes_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("saved");
        // clang-format off
        QTest::newRow("CP932") << QByteArray("<**********>, 1 , 0 ,A\r\na\x80" "b\r\n\x81") << QByteArray("<**********>, 1 , 0 ,A\r\nXa\x80" "b\r\n\x81\r\n");
        QTest::newRow("UTF-8") << QByteArray("<**********>, 1 , 0 ,A\r\n\xC3\xA9\xFF\xC3\r\n") << QByteArray("<**********>, 1 , 0 ,A\r\nX\xC3\xA9\xFF\xC3\r\n");
        // clang-format on
    }

    void editedTextKeepsInvalidBytes() {
        QFETCH(QByteArray, file);

        const QString in = fileIn(dir_.path(), QStringLiteral("in.txt"));
        writeFile(in, file);
        Document doc;
        LoadDocument(doc, in.toStdString());
        doc.StoreBody("S1", u"X" + doc.bodyOf("S1"));
        QVERIFY(!doc.BodyTable[1].hasOriginalBytes());
        QTEST(save(doc), "saved");
    }

    void editedTextReadsBackTheSame_data() {
        QTest::addColumn<QByteArray>("file");  // empty: a new Document
        QTest::addColumn<QString>("body");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<SaveOutcome::Status>("status");
        QTest::addColumn<TextEncoding>("encoding");

        using B = QByteArray;
        const B utf8File = "<**********>, 1 , 0 ,A\r\n\xC3\xA9\r\n";
        const B record = "<**********>, 1 , 0 ,A\r\n";
        const B bom = "\xEF\xBB\xBF";
        const auto saved = SaveOutcome::Status::Saved;
        const auto savedAsUtf8 = SaveOutcome::Status::SavedAsUtf8;
        // clang-format off
        // Invalid UTF-8 without the mark would be read as CP932.
        QTest::newRow("UTF-8 given an escaped byte") << utf8File << QString::fromUtf16(u"é\xDC81") << bom + record + "\xC3\xA9\x81\r\n" << saved << TextEncoding::Utf8Bom;
        QTest::newRow("UTF-8 given a lone surrogate") << utf8File << QString::fromUtf16(u"\xD800!") << bom + record + "\xED\xA0\x80!\r\n" << saved << TextEncoding::Utf8Bom;
        QTest::newRow("UTF-8 left with ASCII only") << utf8File << "plain" << record + "plain\r\n" << saved << TextEncoding::Utf8;
        QTest::newRow("UTF-8 still valid") << utf8File << QString::fromUtf16(u"漢") << record + "\xE6\xBC\xA2\r\n" << saved << TextEncoding::Utf8;
        // Half-width kana pairs can make CP932 bytes that are valid UTF-8.
        QTest::newRow("CP932 that reads as UTF-8") << B() << QString::fromUtf16(u"ﾃｩ") << bom + record + "\xEF\xBE\x83\xEF\xBD\xA9\r\n" << savedAsUtf8 << TextEncoding::Utf8Bom;
        QTest::newRow("CP932 kana pair beside a kanji") << B() << QString::fromUtf16(u"ﾃｩ漢") << record + "\xC3\xA9\x8A\xBF\r\n" << saved << TextEncoding::Cp932;
        QTest::newRow("CP932 given a lone surrogate") << B() << QString::fromUtf16(u"a\xDBFF") << bom + record + "a\xED\xAF\xBF\r\n" << savedAsUtf8 << TextEncoding::Utf8Bom;
        // clang-format on
    }

    void editedTextReadsBackTheSame() {
        QFETCH(QByteArray, file);
        QFETCH(QString, body);

        Document doc;
        if (file.isEmpty()) {
            doc.NodeCounter = 1;
            doc.AddNode(u"A");
        } else {
            const QString in = fileIn(dir_.path(), QStringLiteral("in.txt"));
            writeFile(in, file);
            LoadDocument(doc, in.toStdString());
        }
        doc.StoreBody("S1", us(body));
        const QString out = fileIn(dir_.path(), QStringLiteral("out.txt"));
        const SaveOutcome outcome = SaveDocument(doc, out.toStdString());
        QTEST(outcome.status, "status");
        QTEST(readFile(out), "saved");
        QTEST(doc.encoding, "encoding");
        Document again;
        LoadDocument(again, out.toStdString());
        QCOMPARE(describe(again), describe(doc));
    }

    void reportsBodiesWithHeaderLines_data() {
        QTest::addColumn<QStringList>("bodies");  // of S1, S2 (child of S1) and S3
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("recordsOnOpen");
        // clang-format off
        QTest::newRow("none") << QStringList{"<**********>x", " <**********>", "a<**********>,"} << QStringList() << 3;
        QTest::newRow("marker alone on a middle line") << QStringList{"", "a\r\n<**********>\r\nb", ""} << QStringList{"S2"} << 4;
        QTest::newRow("marker and comma on the first line") << QStringList{"<**********>, 9 , 1 ,t", "", ""} << QStringList{"S1"} << 4;
        QTest::newRow("marker as the last line, twice") << QStringList{"", "", "<**********>,\r\n<**********>"} << QStringList{"S3"} << 5;
        QTest::newRow("in Index order") << QStringList{"x\r\n<**********>", "", "<**********>"} << QStringList{"S1", "S3"} << 5;
        // clang-format on
    }

    void reportsBodiesWithHeaderLines() {
        QFETCH(QStringList, bodies);

        Document doc;
        doc.NodeCounter = 1;
        for (const char* title : {"a", "b", "c"}) {
            doc.AddNode(QString::fromLatin1(title).toStdU16String());
            doc.CurrentKey = doc.CurrentKey.empty() ? "S1" : "";
        }
        for (int i = 0; i < 3; ++i) {
            doc.StoreBody(mossleaf::nodeKey(i + 1), us(bodies[i]));
        }
        const QString out = fileIn(dir_.path(), QStringLiteral("out.txt"));
        const SaveOutcome outcome = SaveDocument(doc, out.toStdString());
        QCOMPARE(outcome.status, SaveOutcome::Status::Saved);
        QStringList keys;
        for (const std::string& key : outcome.markerLineKeys) {
            keys << QString::fromStdString(key);
        }
        QTEST(keys, "keys");
        // The report is true: those lines do open records of their own.
        Document again;
        LoadDocument(again, out.toStdString());
        QTEST(again.Nodes.Count(), "recordsOnOpen");
    }

    void storingTheSameTextKeepsTheBytes() {
        // 0xFA54 and 0x81CA are both the fullwidth not sign: unchanged text must not be
        // written back under the other code.
        const QString in = fileIn(dir_.path(), QStringLiteral("in.txt"));
        const QByteArray file = "<**********>, 1 , 0 ,\xFA\x54\r\n\xFA\x54\xED\x40\r\n";
        writeFile(in, file);
        Document doc;
        LoadDocument(doc, in.toStdString());
        doc.StoreBody("S1", doc.bodyOf("S1"));
        doc.CurrentIndex = 1;
        doc.RenameNode(doc.Nodes(1)->title());
        QCOMPARE(save(doc), file);
        doc.StoreBody("S1", doc.bodyOf("S1") + u"");
        doc.RenameNode(u"\uFFE2!");
        QCOMPARE(save(doc), QByteArray("<**********>, 1 , 0 ,\x81\xCA!\r\n\xFA\x54\xED\x40\r\n"));
    }
};

QTEST_APPLESS_MAIN(OutlineRoundTripTest)
#include "outline_round_trip_test.moc"
