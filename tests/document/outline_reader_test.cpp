#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include "document/document.h"
#include "outline_test_support.h"

using mossleaf::Document;
using mossleaf::LoadOutcome;
using mossleaf::TextEncoding;
using namespace testsupport;

Q_DECLARE_METATYPE(LoadOutcome::Status)
Q_DECLARE_METATYPE(TextEncoding)

namespace {

const QByteArray kWorkedExample =
    "<**********>, 1 , 0 ,Notes\r\nfirst line\r\nsecond line\r\n"
    "<**********>, 2 , 1 ,Plan\r\nbuy paper\r\n"
    "<**********>, 3 , 2 ,Tasks\r\n\r\n";

QByteArray records(int count) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) {
        bytes += "<**********>, " + QByteArray::number(i) + " , 0 ,T" + QByteArray::number(i) +
                 "\r\nbody " + QByteArray::number(i) + "\r\n";
    }
    return bytes;
}

}  // namespace

class OutlineReaderTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    QString put(const QByteArray& bytes) {
        const QString path = fileIn(dir_.path(), QStringLiteral("in.txt"));
        writeFile(path, bytes);
        return path;
    }

private slots:
    void reads_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("tree");
        QTest::addColumn<LoadOutcome::Status>("status");

        const auto loaded = LoadOutcome::Status::Loaded;
        const auto notOutline = LoadOutcome::Status::NotOutline;
        QTest::newRow("worked example")
            << kWorkedExample
            << "S1()Notes=first line\\r\\nsecond line|S2(S1)Plan=buy paper|S3(S2)Tasks=" << loaded;
        QTest::newRow("empty file") << QByteArray() << "" << loaded;
        QTest::newRow("byte-order mark only") << QByteArray("\xEF\xBB\xBF") << "" << loaded;
        QTest::newRow("two roots") << QByteArray(
                                          "<**********>, 1 , 0 ,A\r\na\r\n"
                                          "<**********>, 2 , 0 ,B\r\nb\r\n")
                                   << "S1()A=a|S2()B=b" << loaded;
        QTest::newRow("record numbers all 1")
            << QByteArray(
                   "<**********>, 1 , 0 ,A\r\n<**********>, 1 , 1 ,B\r\n"
                   "<**********>, 1 , 2 ,C\r\n")
            << "S1()A=|S2(S1)B=|S3(S2)C=" << loaded;
        // Header fields
        QTest::newRow("marker alone")
            << QByteArray("<**********>\r\nbody\r\n") << "S1()=body" << loaded;
        QTest::newRow("two fields")
            << QByteArray("<**********>, 1 \r\nbody\r\n") << "S1()=body" << loaded;
        QTest::newRow("three fields keep the parent")
            << QByteArray("<**********>, 1 , 0 ,A\r\n<**********>, 2 , 1 \r\nb\r\n")
            << "S1()A=|S2(S1)=b" << loaded;
        QTest::newRow("empty title")
            << QByteArray("<**********>, 1 , 0 ,\r\n") << "S1()=" << loaded;
        QTest::newRow("title with commas, quotes and blanks")
            << QByteArray("<**********>, 1 , 0 , a, \"b\",,c ,\r\n")
            << "S1() a, \"b\",,c ,=" << loaded;
        QTest::newRow("title with a leading tab")
            << QByteArray("<**********>, 1 , 0 ,\tA\r\n") << "S1()\tA=" << loaded;
        QTest::newRow("fields without blanks")
            << QByteArray("<**********>,1,0,A\r\n<**********>,2,1,B\r\n")
            << "S1()A=|S2(S1)B=" << loaded;
        // Parent numbers that name no earlier record put the node at the root level.
        const QByteArray first = "<**********>, 1 , 0 ,A\r\n<**********>, 2 , 1 ,B\r\n";
        QTest::newRow("forward parent")
            << first + "<**********>, 3 , 4 ,C\r\n<**********>, 4 , 0 ,D\r\n"
            << "S1()A=|S2(S1)B=|S3()C=|S4()D=" << loaded;
        QTest::newRow("parent is the record itself") << first + "<**********>, 3 , 3 ,C\r\n"
                                                     << "S1()A=|S2(S1)B=|S3()C=" << loaded;
        QTest::newRow("negative parent") << first + "<**********>, 3 , -1 ,C\r\n"
                                         << "S1()A=|S2(S1)B=|S3()C=" << loaded;
        QTest::newRow("parent beyond 16 bits") << first + "<**********>, 3 , 65538 ,C\r\n"
                                               << "S1()A=|S2(S1)B=|S3()C=" << loaded;
        QTest::newRow("parent not a number") << first + "<**********>, 3 , x1 ,C\r\n"
                                             << "S1()A=|S2(S1)B=|S3()C=" << loaded;
        QTest::newRow("parent with trailing text") << first + "<**********>, 3 , 2x ,C\r\n"
                                                   << "S1()A=|S2(S1)B=|S3(S2)C=" << loaded;
        QTest::newRow("parent with inner blanks and sign") << first + "<**********>, 3 ,+ 2 ,C\r\n"
                                                           << "S1()A=|S2(S1)B=|S3(S2)C=" << loaded;
        QTest::newRow("parent 1.5 rounds to even") << first + "<**********>, 3 , 1.5 ,C\r\n"
                                                   << "S1()A=|S2(S1)B=|S3(S2)C=" << loaded;
        QTest::newRow("parent 2.5 rounds to even") << first + "<**********>, 3 , 2.5 ,C\r\n"
                                                   << "S1()A=|S2(S1)B=|S3(S2)C=" << loaded;
        QTest::newRow("parent 0.5 rounds to the root") << first + "<**********>, 3 , 0.5 ,C\r\n"
                                                       << "S1()A=|S2(S1)B=|S3()C=" << loaded;
        // Body lines that only look like headers stay body lines.
        QTest::newRow("lines that only look like headers")
            << QByteArray(
                   "<**********>, 1 , 0 ,A\r\n<**********>x\r\n <**********>,\r\n"
                   "<*********>, 2 , 0 ,B\r\n<***********>\r\n**********>,\r\n")
            << "S1()A=<**********>x\\r\\n <**********>,\\r\\n<*********>, 2 , 0 ,B\\r\\n"
               "<***********>\\r\\n**********>,"
            << loaded;
        QTest::newRow("the bare marker opens a record")
            << QByteArray("<**********>, 1 , 0 ,A\r\nx\r\n<**********>\r\ny\r\n")
            << "S1()A=x|S2()=y" << loaded;
        // Line ends
        QTest::newRow("lone LF") << QByteArray(
                                        "<**********>, 1 , 0 ,A\nx\ny\n<**********>, 2 , 1 ,B\n")
                                 << "S1()A=x\\r\\ny|S2(S1)B=" << loaded;
        QTest::newRow("lone CR") << QByteArray(
                                        "<**********>, 1 , 0 ,A\rx\ry\r<**********>, 2 , 1 ,B\r")
                                 << "S1()A=x\\r\\ny|S2(S1)B=" << loaded;
        QTest::newRow("LF CR is two line ends")
            << QByteArray("<**********>, 1 , 0 ,A\r\nx\n\ry\r\n") << "S1()A=x\\r\\n\\r\\ny"
            << loaded;
        QTest::newRow("CR CR LF is two line ends")
            << QByteArray("<**********>, 1 , 0 ,A\r\nx\r\r\ny\r\n") << "S1()A=x\\r\\n\\r\\ny"
            << loaded;
        QTest::newRow("no final line end")
            << QByteArray("<**********>, 1 , 0 ,A\r\nx\r\nlast") << "S1()A=x\\r\\nlast" << loaded;
        QTest::newRow("header is the last line")
            << QByteArray("<**********>, 1 , 0 ,A") << "S1()A=" << loaded;
        QTest::newRow("body ends with a line break")
            << QByteArray("<**********>, 1 , 0 ,A\r\nx\r\n\r\n<**********>, 2 , 0 ,B\r\n")
            << "S1()A=x\\r\\n|S2()B=" << loaded;
        QTest::newRow("body of empty lines")
            << QByteArray("<**********>, 1 , 0 ,A\r\n\r\n\r\n\r\n") << "S1()A=\\r\\n\\r\\n"
            << loaded;
        // Rejected files
        QTest::newRow("first line a note")
            << QByteArray("note\r\n<**********>, 1 , 0 ,A\r\n") << "" << notOutline;
        QTest::newRow("first line empty")
            << QByteArray("\r\n<**********>, 1 , 0 ,A\r\n") << "" << notOutline;
        QTest::newRow("leading blank")
            << QByteArray(" <**********>, 1 , 0 ,A\r\n") << "" << notOutline;
        QTest::newRow("marker with more")
            << QByteArray("<**********>x, 1 , 0 ,A\r\n") << "" << notOutline;
        QTest::newRow("marker cut short")
            << QByteArray("<*********>, 1 , 0 ,A\r\n") << "" << notOutline;
    }

    void reads() {
        QFETCH(QByteArray, file);
        QFETCH(QString, tree);
        QFETCH(LoadOutcome::Status, status);

        Document doc;
        doc.NodeCounter = 40;
        const QString path = put(file);
        const LoadOutcome outcome = doc.LoadDocument(path.toStdString());
        QCOMPARE(outcome.status, status);
        QCOMPARE(describe(doc), tree);
        const bool loaded = status == LoadOutcome::Status::Loaded;
        QCOMPARE(QString::fromStdString(doc.CurrentFileName), loaded ? path : QString());
        QCOMPARE(int(doc.NodeCounter), doc.Nodes.Count() + 1);
    }

    void decodesTitlesAndBodies_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QString>("tree");

        QTest::newRow("CP932 rows")
            << QByteArray(
                   "<**********>, 1 , 0 ,\x8A\xBF\x82\xA0\xB1\xDE\r\n"
                   "\x81\x60\x81\x5F\\~\x87\x40\x87\x54\x87\x8A\r\n"
                   "\xED\x40\xFA\x40\xFA\x54\xEE\xF9\xF0\x40\r\n")
            << TextEncoding::Cp932
            << QString::fromUtf16(u"S1()漢あｱﾞ=～＼\\~①Ⅰ㈱\\r\\n纊ⅰ￢￢\uE000");
        QTest::newRow("CP932 invalid bytes")
            << QByteArray("<**********>, 1 , 0 ,A\x80\r\n\x85\x40\xA0\xFD\xFE\xFF\r\n\x81")
            << TextEncoding::Cp932 << QString("S1()A\\x80=\\x85@\\xa0\\xfd\\xfe\\xff\\r\\n\\x81");
        QTest::newRow("UTF-8") << QByteArray("<**********>, 1 , 0 ,\xC3\xA9\r\n\xED\x95\x9C\r\n")
                               << TextEncoding::Utf8 << QString::fromUtf16(u"S1()é=한");
        QTest::newRow("UTF-8 with byte-order mark")
            << QByteArray("\xEF\xBB\xBF<**********>, 1 , 0 ,A\r\n\xF0\x9F\x98\x80\r\n")
            << TextEncoding::Utf8Bom << QString::fromUtf16(u"S1()A=😀");
        QTest::newRow("UTF-8 byte-order mark, invalid byte")
            << QByteArray("\xEF\xBB\xBF<**********>, 1 , 0 ,A\r\n\xFF\r\n") << TextEncoding::Utf8Bom
            << QString("S1()A=\\xff");
        QTest::newRow("ASCII only is CP932") << QByteArray("<**********>, 1 , 0 ,A\r\nb\r\n")
                                             << TextEncoding::Cp932 << QString("S1()A=b");
        // The half-width pair ﾃｩ is also valid UTF-8; a file of nothing else reads as UTF-8.
        QTest::newRow("half-width pair read as UTF-8")
            << QByteArray("<**********>, 1 , 0 ,\xC3\xA9\r\n") << TextEncoding::Utf8
            << QString::fromUtf16(u"S1()é=");
        QTest::newRow("half-width pair with a kanji")
            << QByteArray("<**********>, 1 , 0 ,\xC3\xA9\r\n\x8A\xBF\r\n") << TextEncoding::Cp932
            << QString::fromUtf16(u"S1()ﾃｩ=漢");
    }

    void decodesTitlesAndBodies() {
        QFETCH(QByteArray, file);
        QFETCH(TextEncoding, encoding);
        QFETCH(QString, tree);

        Document doc;
        QCOMPARE(doc.LoadDocument(put(file).toStdString()).status, LoadOutcome::Status::Loaded);
        QCOMPARE(doc.Encoding, encoding);
        QCOMPARE(describe(doc), tree);
    }

    void keepsTheFirst512Records_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<LoadOutcome::Status>("status");
        QTest::newRow("512") << 512 << LoadOutcome::Status::Loaded;
        QTest::newRow("513") << 513 << LoadOutcome::Status::TooManyRecords;
        QTest::newRow("1000") << 1000 << LoadOutcome::Status::TooManyRecords;
    }

    void keepsTheFirst512Records() {
        QFETCH(int, records);
        QFETCH(LoadOutcome::Status, status);

        Document doc;
        const QString path = put(::records(records));
        QCOMPARE(doc.LoadDocument(path.toStdString()).status, status);
        QCOMPARE(doc.Nodes.Count(), 512);
        QCOMPARE(int(doc.NodeCounter), 513);
        QCOMPARE(doc.Nodes(512)->Key, std::string("S512"));
        QCOMPARE(qs(doc.Nodes(512)->title()), QString("T512"));
        QCOMPARE(qs(doc.bodyOf("S512")), QString("body 512"));
        // Save must ask for a new name rather than overwrite the longer file.
        QCOMPARE(QString::fromStdString(doc.CurrentFileName),
                 status == LoadOutcome::Status::Loaded ? path : QString());
    }

    void leavesTheDocumentWhenTheFileCannotBeOpened_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing.txt"
                                 << "No such file or directory";
        QTest::newRow("folder") << "folder"
                                << "Is a directory";
        QTest::newRow("in a missing folder") << "nowhere/a.txt"
                                             << "No such file or directory";
        QTest::newRow("empty name") << ""
                                    << "No such file or directory";
    }

    void leavesTheDocumentWhenTheFileCannotBeOpened() {
        QFETCH(QString, name);
        QFETCH(QString, reason);

        QDir(dir_.path()).mkpath(QStringLiteral("folder"));
        Document doc;
        doc.LoadDocument(put(kWorkedExample).toStdString());
        const QString before = describe(doc);
        const std::string fileName = doc.CurrentFileName;
        const std::string path =
            name.isEmpty() ? std::string() : fileIn(dir_.path(), name).toStdString();
        const LoadOutcome outcome = doc.LoadDocument(path);
        QCOMPARE(outcome.status, LoadOutcome::Status::CannotOpen);
        QCOMPARE(QString::fromStdString(outcome.reason), reason);
        QCOMPARE(describe(doc), before);
        QCOMPARE(doc.CurrentFileName, fileName);
        QCOMPARE(int(doc.NodeCounter), 4);
    }

    void unreadableFileIsNotOpened() {
        if (::geteuid() == 0) {
            QSKIP("root reads every file");
        }
        const QString path = put(kWorkedExample);
        QFile::setPermissions(path, QFile::WriteOwner);
        Document doc;
        const LoadOutcome outcome = doc.LoadDocument(path.toStdString());
        QCOMPARE(outcome.status, LoadOutcome::Status::CannotOpen);
        QCOMPARE(QString::fromStdString(outcome.reason), QString("Permission denied"));
        QCOMPARE(doc.Nodes.Count(), 0);
    }

    void loadKeepsWhatTheFileDoesNotHold() {
        Document doc;
        doc.BodyTable[0].assign(u"slot zero");
        doc.BodyTable[7].assign(u"slot seven");
        doc.CurrentKey = "S9";
        doc.CurrentIndex = 5;
        doc.NodeLimit = 256;
        doc.LoadDocument(put(kWorkedExample).toStdString());
        QCOMPARE(doc.CurrentKey, std::string("S9"));
        QCOMPARE(int(doc.CurrentIndex), 5);
        QCOMPARE(int(doc.NodeLimit), 256);
        QCOMPARE(qs(doc.BodyTable[0].text()), QString("slot zero"));
        QCOMPARE(qs(doc.BodyTable[7].text()), QString("slot seven"));
        // Loading the rejected file empties the tree but not the other slots.
        QCOMPARE(doc.LoadDocument(put("note\r\n").toStdString()).status,
                 LoadOutcome::Status::NotOutline);
        QCOMPARE(int(doc.NodeCounter), 1);
        QCOMPARE(qs(doc.BodyTable[7].text()), QString("slot seven"));
    }

    void bodiesAreDecodedOnlyWhenAskedFor() {
        Document doc;
        doc.LoadDocument(put(kWorkedExample).toStdString());
        QVERIFY(doc.BodyTable[1].hasOriginalBytes());
        QVERIFY(doc.Nodes(1)->Text.hasOriginalBytes());
        QCOMPARE(qs(doc.bodyOf("S1")), QString("first line\r\nsecond line"));
        QVERIFY(doc.BodyTable[1].hasOriginalBytes());
    }
};

QTEST_APPLESS_MAIN(OutlineReaderTest)
#include "outline_reader_test.moc"
