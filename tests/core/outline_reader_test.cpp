#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "core/document.h"
#include "core/outline_read_ahead.h"
#include "core/outline_reader.h"
#include "outline_test_support.h"

using mossleaf::Document;
using mossleaf::LoadOutcome;
using mossleaf::TextEncoding;
using namespace testsupport;

Q_DECLARE_METATYPE(LoadOutcome::Status)
Q_DECLARE_METATYPE(TextEncoding)

namespace {

QByteArray records(int count) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) {
        const QByteArray n = QByteArray::number(i);
        bytes += "<**********>, " + n + " , 0 ,T" + n + "\r\nbody " + n + "\r\n";
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
        QTest::addColumn<QString>("tree");  // empty with a file that is no outline
        using B = QByteArray;
        const B first = "<**********>, 1 , 0 ,A\r\n<**********>, 2 , 1 ,B\r\n";
        const QString abc = "S1()A=|S2(S1)B=|S3()C=";
        const QString abUnderB = "S1()A=|S2(S1)B=|S3(S2)C=";
        // clang-format off
        QTest::newRow("worked example") << kWorkedExample << "S1()Notes=first line\\r\\nsecond line|S2(S1)Plan=buy paper|S3(S2)Tasks=";
        QTest::newRow("empty file") << B() << "";
        QTest::newRow("byte-order mark only") << B("\xEF\xBB\xBF") << "";
        QTest::newRow("two roots") << B("<**********>, 1 , 0 ,A\r\na\r\n<**********>, 2 , 0 ,B\r\nb\r\n") << "S1()A=a|S2()B=b";
        QTest::newRow("record numbers all 1") << B("<**********>, 1 , 0 ,A\r\n<**********>, 1 , 1 ,B\r\n<**********>, 1 , 2 ,C\r\n") << abUnderB;
        QTest::newRow("marker alone") << B("<**********>\r\nbody\r\n") << "S1()=body";
        QTest::newRow("two fields") << B("<**********>, 1 \r\nbody\r\n") << "S1()=body";
        QTest::newRow("three fields keep the parent") << B("<**********>, 1 , 0 ,A\r\n<**********>, 2 , 1 \r\nb\r\n") << "S1()A=|S2(S1)=b";
        QTest::newRow("title with commas, quotes and blanks") << B("<**********>, 1 , 0 , a, \"b\",,c ,\r\n") << "S1() a, \"b\",,c ,=";
        QTest::newRow("title with a leading tab") << B("<**********>, 1 , 0 ,\tA\r\n") << "S1()\tA=";
        QTest::newRow("fields without blanks") << B("<**********>,1,0,A\r\n<**********>,2,1,B\r\n") << "S1()A=|S2(S1)B=";
        // Parent numbers that name no earlier record put the node at the root level; the
        // number parsing itself is checked in the document tests.
        QTest::newRow("forward parent") << first + "<**********>, 3 , 4 ,C\r\n<**********>, 4 , 0 ,D\r\n" << abc + "|S4()D=";
        QTest::newRow("parent is the record itself") << first + "<**********>, 3 , 3 ,C\r\n" << abc;
        QTest::newRow("negative parent") << first + "<**********>, 3 , -1 ,C\r\n" << abc;
        QTest::newRow("parent beyond 16 bits") << first + "<**********>, 3 , 65538 ,C\r\n" << abc;
        QTest::newRow("parent not a number") << first + "<**********>, 3 , x1 ,C\r\n" << abc;
        QTest::newRow("parent 0.5 rounds to the root") << first + "<**********>, 3 , 0.5 ,C\r\n" << abc;
        QTest::newRow("lines that only look like headers") << B("<**********>, 1 , 0 ,A\r\n<**********>x\r\n <**********>,\r\n<*********>, 2 , 0 ,B\r\n<***********>\r\n**********>,\r\n") << "S1()A=<**********>x\\r\\n <**********>,\\r\\n<*********>, 2 , 0 ,B\\r\\n<***********>\\r\\n**********>,";
        QTest::newRow("the bare marker opens a record") << B("<**********>, 1 , 0 ,A\r\nx\r\n<**********>\r\ny\r\n") << "S1()A=x|S2()=y";
        QTest::newRow("lone LF") << B("<**********>, 1 , 0 ,A\nx\ny\n<**********>, 2 , 1 ,B\n") << "S1()A=x\\r\\ny|S2(S1)B=";
        QTest::newRow("lone CR") << B("<**********>, 1 , 0 ,A\rx\ry\r<**********>, 2 , 1 ,B\r") << "S1()A=x\\r\\ny|S2(S1)B=";
        QTest::newRow("LF CR is two line ends") << B("<**********>, 1 , 0 ,A\r\nx\n\ry\r\n") << "S1()A=x\\r\\n\\r\\ny";
        QTest::newRow("CR CR LF is two line ends") << B("<**********>, 1 , 0 ,A\r\nx\r\r\ny\r\n") << "S1()A=x\\r\\n\\r\\ny";
        QTest::newRow("no final line end") << B("<**********>, 1 , 0 ,A\r\nx\r\nlast") << "S1()A=x\\r\\nlast";
        QTest::newRow("header is the last line") << B("<**********>, 1 , 0 ,A") << "S1()A=";
        QTest::newRow("body ends with a line break") << B("<**********>, 1 , 0 ,A\r\nx\r\n\r\n<**********>, 2 , 0 ,B\r\n") << "S1()A=x\\r\\n|S2()B=";
        QTest::newRow("body of empty lines") << B("<**********>, 1 , 0 ,A\r\n\r\n\r\n\r\n") << "S1()A=\\r\\n\\r\\n";
        QTest::newRow("header after a lone CR") << B("<**********>, 1 , 0 ,A\r\nx\r<**********>, 2 , 0 ,B\r\n") << "S1()A=x|S2()B=";
        QTest::newRow("header after a lone LF, no line end") << B("<**********>, 1 , 0 ,A\r\nx\n<**********>") << "S1()A=x|S2()=";
        QTest::newRow("header after an empty line ending in LF") << B("<**********>,1,0,A\n\n<**********>,2,0,B") << "S1()A=|S2()B=";
        QTest::newRow("markers not at a line start or cut short") << B("<**********>,1,0,A\r\nx<**********>,2\r\n<<**********>\r\n<**********") << "S1()A=x<**********>,2\\r\\n<<**********>\\r\\n<**********";
        QTest::newRow("first line a note") << B("note\r\n<**********>, 1 , 0 ,A\r\n") << "";
        QTest::newRow("first line empty") << B("\r\n<**********>, 1 , 0 ,A\r\n") << "";
        QTest::newRow("leading blank") << B(" <**********>, 1 , 0 ,A\r\n") << "";
        QTest::newRow("marker with more") << B("<**********>x, 1 , 0 ,A\r\n") << "";
        QTest::newRow("marker cut short") << B("<*********>, 1 , 0 ,A\r\n") << "";
        // clang-format on
    }

    void reads() {
        QFETCH(QByteArray, file);
        QFETCH(QString, tree);

        Document doc;
        doc.NodeCounter = 40;
        const QString path = put(file);
        const bool loaded = !tree.isEmpty() || !file.contains('<');  // else rejected
        QCOMPARE(LoadDocument(doc, path.toStdString()).status,
                 loaded ? LoadOutcome::Status::Loaded : LoadOutcome::Status::NotOutline);
        QCOMPARE(describe(doc), tree);
        QCOMPARE(QString::fromStdString(doc.CurrentFileName), loaded ? path : QString());
        QCOMPARE(int(doc.NodeCounter), doc.Nodes.Count() + 1);
    }

    // The window's first load takes the file read ahead: it must end as LoadDocument would.
    void readAhead_loadsAsLoadDocument_data() {
        QTest::addColumn<QByteArray>("file");  // null: no such file
        QTest::addColumn<bool>("loadAnother");
        QTest::newRow("outline") << kWorkedExample << false;
        QTest::newRow("not an outline") << QByteArray("note\r\n<**********>,1,0,A\r\n") << false;
        QTest::newRow("no such file") << QByteArray() << false;
        QTest::newRow("another file loaded") << kWorkedExample << true;
    }

    void readAhead_loadsAsLoadDocument() {
        QFETCH(QByteArray, file);
        QFETCH(bool, loadAnother);
        const QString ahead = fileIn(dir_.path(), QStringLiteral("ahead.txt"));
        QFile::remove(ahead);
        if (!file.isNull()) {
            writeFile(ahead, file);
        }
        const std::string loaded =
            loadAnother ? put(records(2)).toStdString() : ahead.toStdString();
        mossleaf::OutlineReadAhead readAhead(ahead.toStdString());
        for (int load = 1; load <= 2; ++load) {  // the second reads the file anew
            Document doc, expected;
            const LoadOutcome outcome = readAhead.load(doc, loaded);
            const LoadOutcome wanted = LoadDocument(expected, loaded);
            QCOMPARE(outcome.status, wanted.status);
            QCOMPARE(outcome.reason, wanted.reason);
            QCOMPARE(describe(doc), describe(expected));
            QCOMPARE(doc.CurrentFileName, expected.CurrentFileName);
            writeFile(QString::fromStdString(loaded), records(3));
        }
    }

    void decodesTitlesAndBodies_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QString>("tree");
        using B = QByteArray;
        const auto cp932 = TextEncoding::Cp932;
        // clang-format off
        QTest::newRow("CP932 rows") << B("<**********>, 1 , 0 ,\x8A\xBF\x82\xA0\xB1\xDE\r\n\x81\x60\x81\x5F\\~\x87\x40\x87\x54\x87\x8A\r\n\xED\x40\xFA\x40\xFA\x54\xEE\xF9\xF0\x40\r\n") << cp932 << QString::fromUtf16(u"S1()漢あｱﾞ=～＼\\~①Ⅰ㈱\\r\\n纊ⅰ￢￢\uE000");
        QTest::newRow("UTF-8 with byte-order mark") << B("\xEF\xBB\xBF<**********>, 1 , 0 ,A\r\n\xF0\x9F\x98\x80\r\n") << TextEncoding::Utf8Bom << QString::fromUtf16(u"S1()A=😀");
        QTest::newRow("UTF-8 byte-order mark, invalid byte") << B("\xEF\xBB\xBF<**********>, 1 , 0 ,A\r\n\xFF\r\n") << TextEncoding::Utf8Bom << QString("S1()A=\\xff");
        // The half-width pair ﾃｩ is also valid UTF-8; one CP932 kanji elsewhere decides.
        QTest::newRow("half-width pair with a kanji") << B("<**********>, 1 , 0 ,\xC3\xA9\r\n\x8A\xBF\r\n") << cp932 << QString::fromUtf16(u"S1()ﾃｩ=漢");
        // clang-format on
    }

    void decodesTitlesAndBodies() {
        QFETCH(QByteArray, file);
        Document doc;
        QCOMPARE(LoadDocument(doc, put(file).toStdString()).status, LoadOutcome::Status::Loaded);
        QTEST(doc.encoding, "encoding");
        QTEST(describe(doc), "tree");
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
        QCOMPARE(LoadDocument(doc, path.toStdString()).status, status);
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
        // clang-format off
        QTest::newRow("missing") << "missing.txt" << "No such file or directory";
        QTest::newRow("folder") << "folder" << "Is a directory";
        QTest::newRow("in a missing folder") << "nowhere/a.txt" << "No such file or directory";
        QTest::newRow("empty name") << "" << "No such file or directory";
        QTest::newRow("unreadable") << "unreadable.txt" << "Permission denied";
        QTest::newRow("pipe, would block") << "pipe" << "Invalid argument";
        QTest::newRow("device, never ends") << "/dev/zero" << "Invalid argument";
        // clang-format on
    }

    void leavesTheDocumentWhenTheFileCannotBeOpened() {
        QFETCH(QString, name);
        if (name == "unreadable.txt" && ::geteuid() == 0) {
            QSKIP("root reads every file");
        }
        QDir(dir_.path()).mkpath(QStringLiteral("folder"));
        const QString unreadable = fileIn(dir_.path(), QStringLiteral("unreadable.txt"));
        writeFile(unreadable, kWorkedExample);
        QFile::setPermissions(unreadable, QFile::WriteOwner);
        ::mkfifo(fileIn(dir_.path(), QStringLiteral("pipe")).toLocal8Bit().constData(), 0600);
        Document doc;
        LoadDocument(doc, put(kWorkedExample).toStdString());
        const QString before = describe(doc);
        const std::string fileName = doc.CurrentFileName;
        const LoadOutcome outcome =
            LoadDocument(doc, name.isEmpty()          ? std::string()
                              : name.startsWith(u'/') ? name.toStdString()
                                                      : fileIn(dir_.path(), name).toStdString());
        QCOMPARE(outcome.status, LoadOutcome::Status::CannotOpen);
        QTEST(QString::fromStdString(outcome.reason), "reason");
        QCOMPARE(describe(doc), before);
        QCOMPARE(doc.CurrentFileName, fileName);
        QCOMPARE(int(doc.NodeCounter), 4);
    }

    void loadKeepsWhatTheFileDoesNotHold() {
        Document doc;
        doc.BodyTable[0].assign(u"slot zero");
        doc.BodyTable[7].assign(u"slot seven");
        doc.CurrentKey = "S9";
        doc.CurrentIndex = 5;
        doc.NodeLimit = 256;
        LoadDocument(doc, put(kWorkedExample).toStdString());
        QCOMPARE(doc.CurrentKey, std::string("S9"));
        QCOMPARE(int(doc.CurrentIndex), 5);
        QCOMPARE(int(doc.NodeLimit), 256);
        QCOMPARE(qs(doc.BodyTable[0].text()), QString("slot zero"));
        QCOMPARE(qs(doc.BodyTable[7].text()), QString("slot seven"));
        // Loading the rejected file empties the tree but not the other slots.
        QCOMPARE(LoadDocument(doc, put("note\r\n").toStdString()).status,
                 LoadOutcome::Status::NotOutline);
        QCOMPARE(int(doc.NodeCounter), 1);
        QCOMPARE(qs(doc.BodyTable[7].text()), QString("slot seven"));
    }
};

QTEST_APPLESS_MAIN(OutlineReaderTest)
#include "outline_reader_test.moc"
