#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "core/document.h"
#include "core/outline_reader.h"
#include "core/outline_save.h"
#include "outline_test_support.h"

using mossleaf::ByteSink;
using mossleaf::Document;
using mossleaf::LoadOutcome;
using mossleaf::Node;
using mossleaf::NodeNumberOf;
using mossleaf::SaveOutcome;
using mossleaf::TextEncoding;
using namespace testsupport;

#if defined(__SANITIZE_ADDRESS__)
#define MOSSLEAF_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOSSLEAF_ASAN 1
#endif
#endif

namespace {

// Passes bytes to the file until `limit` bytes have gone, then runs out of memory.
class ExhaustingSink : public ByteSink {
public:
    ExhaustingSink(ByteSink& file, qsizetype limit, bool lengthError)
        : file_(file), left_(limit), lengthError_(lengthError) {}
    bool write(std::string_view bytes) override {
        if (qsizetype(bytes.size()) > left_) {
            lengthError_ ? throw std::length_error("basic_string::_M_create")
                         : throw std::bad_alloc();
        }
        left_ -= qsizetype(bytes.size());
        return file_.write(bytes);
    }

private:
    ByteSink& file_;
    qsizetype left_;
    bool lengthError_;
};

// Kilobytes of address space the process has mapped.
long mappedKib() {
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        pages = std::fscanf(statm, "%ld", &pages) == 1 ? pages : 0;
        std::fclose(statm);
    }
    return pages * (::sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

class DocumentOpsTest : public QObject {
    Q_OBJECT

private slots:
    void nodeNumberOf_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("number");
        QTest::newRow("S12") << "S12" << 12;
        QTest::newRow("letter only") << "S" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("leading blanks") << "S  7" << 7;
        QTest::newRow("blanks between digits") << "S1 2" << 12;
        QTest::newRow("plus sign") << "S+5" << 5;
        QTest::newRow("minus sign") << "S-3" << -3;
        QTest::newRow("stops at a letter") << "S12x3" << 12;
        QTest::newRow("fraction rounds down") << "S2.4" << 2;
        QTest::newRow("half rounds to even, down") << "S2.5" << 2;
        QTest::newRow("half rounds to even, up") << "S3.5" << 4;
        QTest::newRow("largest 16-bit") << "S32767" << 32767;
        QTest::newRow("just beyond 16 bits") << "S32768" << -1;
        QTest::newRow("rounds beyond 16 bits") << "S32767.5" << -1;
        QTest::newRow("smallest 16-bit") << "S-32768" << -32768;
        QTest::newRow("far beyond") << "S99999999999999999999999" << -1;
    }

    void nodeNumberOf() {
        QFETCH(QString, key);
        QTEST(int(NodeNumberOf(key.toStdString())), "number");
    }

    void addNodePlacesTheNode_data() {
        QTest::addColumn<QString>("currentKey");
        QTest::addColumn<QString>("tree");
        // clang-format off
        QTest::newRow("no current node") << "" << "S1()a=|S2(S1)b=|S3()c=|S4()d=";
        QTest::newRow("current node S1") << "S1" << "S1()a=|S2(S1)b=|S3(S1)c=|S4(S1)d=";
        QTest::newRow("current node S2") << "S2" << "S1()a=|S2(S1)b=|S3(S2)c=|S4(S2)d=";
        QTest::newRow("current key names no node") << "S77" << "S1()a=|S2(S1)b=|S3()c=|S4()d=";
        QTest::newRow("current key not a key") << "Sx" << "S1()a=|S2(S1)b=|S3()c=|S4()d=";
        // clang-format on
    }

    void addNodePlacesTheNode() {
        QFETCH(QString, currentKey);

        Document doc;
        doc.NodeCounter = 1;
        doc.AddNode(u"a");
        doc.CurrentKey = "S1";
        doc.AddNode(u"b");
        doc.CurrentKey = currentKey.toStdString();
        // Two adds in a row: siblings in the order typed, Index = Count at each add.
        const Node* c = doc.AddNode(u"c");
        QCOMPARE(c->Index, 3);
        const Node* d = doc.AddNode(u"d");
        QCOMPARE(d->Index, 4);
        QTEST(describe(doc), "tree");
        QCOMPARE(int(doc.NodeCounter), 5);
        QCOMPARE(doc.CurrentKey, currentKey.toStdString());
    }

    void addNodeStaysInsideBodyTable_data() {
        QTest::addColumn<int>("counter");
        QTest::addColumn<bool>("adds");
        QTest::newRow("0: the first node of a fresh run is S0") << 0 << true;
        QTest::newRow("256") << 256 << true;
        QTest::newRow("257") << 257 << true;
        QTest::newRow("512") << 512 << true;
        QTest::newRow("513") << 513 << false;
        QTest::newRow("-1") << -1 << false;
        QTest::newRow("32767") << 32767 << false;
    }

    void addNodeStaysInsideBodyTable() {
        QFETCH(int, counter);
        QFETCH(bool, adds);

        Document doc;
        if (counter != 0) {  // 0 is where a new Document starts
            doc.NodeCounter = std::int16_t(counter);
        }
        if (counter >= 0 && counter <= 512) {
            doc.BodyTable[counter].assign(u"left over");
        }
        const Node* node = doc.AddNode(u"n");
        QCOMPARE(node != nullptr, adds);
        QCOMPARE(doc.Nodes.Count(), adds ? 1 : 0);
        QCOMPARE(int(doc.NodeCounter), adds ? counter + 1 : counter);
        if (adds) {
            QCOMPARE(QString::fromStdString(node->Key), QStringLiteral("S%1").arg(counter));
            QVERIFY(doc.BodyTable[counter].empty());  // the new node's slot is emptied
        }
    }

    void addNodeWithATakenKeyChangesNothing() {
        Document doc;
        doc.NodeCounter = 3;
        doc.AddNode(u"a");
        doc.NodeCounter = 3;
        doc.BodyTable[3].assign(u"kept");
        QVERIFY(doc.AddNode(u"again") == nullptr);
        QCOMPARE(int(doc.NodeCounter), 3);
        QCOMPARE(describe(doc), QString("S3()a=kept"));
    }

    void renameNode_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("tree");
        QTest::newRow("first") << 1 << "S0()new=a|S1(S0)b=b";
        QTest::newRow("second") << 2 << "S0()a=a|S1(S0)new=b";
        QTest::newRow("0 does nothing") << 0 << "S0()a=a|S1(S0)b=b";
        QTest::newRow("past the end does nothing") << 3 << "S0()a=a|S1(S0)b=b";
        QTest::newRow("negative does nothing") << -4 << "S0()a=a|S1(S0)b=b";
    }

    void renameNode() {
        QFETCH(int, index);

        Document doc;
        doc.StoreBody("S0", u"ignored");  // no node yet: nothing happens
        doc.AddNode(u"a");
        doc.StoreBody("S0", u"a");
        doc.CurrentKey = "S0";
        doc.AddNode(u"b");
        doc.StoreBody("S1", u"b");
        doc.CurrentIndex = std::int16_t(index);
        doc.RenameNode(u"new");
        QTEST(describe(doc), "tree");
        QCOMPARE(int(doc.CurrentIndex), index);
    }

    void showSelection_data() {
        QTest::addColumn<bool>("emptyTree");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("shows");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("currentKey");
        QTest::addColumn<int>("currentIndex");
        // clang-format off
        QTest::newRow("empty tree") << true << "S1" << true << "" << "S9" << 7;
        QTest::newRow("empty tree, no selection") << true << "" << true << "" << "S9" << 7;
        QTest::newRow("no selection") << false << "" << false << "" << "S9" << 7;
        QTest::newRow("unknown node") << false << "S5" << false << "" << "S9" << 7;
        QTest::newRow("second node") << false << "S2" << true << "two\r\nlines" << "S2" << 2;
        QTest::newRow("first node") << false << "S1" << true << "one" << "S1" << 1;
        // clang-format on
    }

    void showSelection() {
        QFETCH(bool, emptyTree);
        QFETCH(QString, selected);

        Document doc;
        doc.NodeCounter = 1;
        if (!emptyTree) {
            doc.AddNode(u"a");
            doc.StoreBody("S1", u"one");
            doc.AddNode(u"b");
            doc.StoreBody("S2", u"two\r\nlines");
        }
        doc.CurrentKey = "S9";
        doc.CurrentIndex = 7;
        const std::optional<std::u16string> shown = doc.ShowSelection(selected.toStdString());
        QTEST(shown.has_value(), "shows");
        QTEST(qs(shown.value_or(u"")), "text");
        QTEST(QString::fromStdString(doc.CurrentKey), "currentKey");
        QTEST(int(doc.CurrentIndex), "currentIndex");
    }

    void storeBodyUsesTheSelectedNode() {
        Document doc;
        doc.NodeCounter = 1;
        doc.AddNode(u"a");
        doc.AddNode(u"b");
        doc.ShowSelection("S1");
        doc.StoreBody("S2", u"typed");  // selected now, although S1 is current
        doc.StoreBody("", u"lost");     // nothing selected
        doc.StoreBody("S8", u"lost");   // names no node
        QCOMPARE(describe(doc), QString("S1()a=|S2()b=typed"));
        QCOMPARE(doc.CurrentKey, std::string("S1"));
        QVERIFY(doc.BodyTable[8].empty());
    }

    void clearDocumentKeepsTheCounters() {
        Document doc;
        doc.NodeCounter = 5;
        doc.AddNode(u"a");
        doc.StoreBody("S5", u"body");
        doc.ShowSelection("S5");
        doc.CurrentFileName = "/tmp/a.txt";
        doc.encoding = TextEncoding::Utf8;
        doc.NodeCounter = 9;
        doc.ClearDocument();
        QCOMPARE(doc.Nodes.Count(), 0);
        QVERIFY(doc.CurrentFileName.empty());
        QCOMPARE(doc.encoding, TextEncoding::Cp932);  // a new Document is written in CP932
        QCOMPARE(int(doc.NodeCounter), 9);
        QCOMPARE(doc.CurrentKey, std::string("S5"));
        QCOMPARE(int(doc.CurrentIndex), 1);
        QCOMPARE(qs(doc.BodyTable[5].text()), QString("body"));
        // With CurrentKey naming no node any more, the next node is the root-level S9.
        doc.AddNode(u"next");
        QCOMPARE(describe(doc), QString("S9()next="));
    }

    // The rules themselves are the typed-text module's; here, that every way in applies them.
    void typedTextIsStoredAsTheFileHoldsIt() {
        const std::u16string typed = u"a\n\rb\u2029c";
        Document doc;
        doc.NodeCounter = 1;
        doc.AddNode(typed);
        doc.StoreBody("S1", typed);
        QCOMPARE(qs(doc.Nodes(1)->title()), QString("a  b c"));
        QCOMPARE(qs(doc.bodyOf("S1")), QString("a\r\n\r\nb\r\nc"));
        doc.CurrentIndex = 1;
        doc.RenameNode(u"!" + typed);
        QCOMPARE(qs(doc.Nodes(1)->title()), QString("!a  b c"));
    }

    void outOfMemoryFailsTheSave_data() {
        QTest::addColumn<bool>("lengthError");  // else bad_alloc
        QTest::addColumn<int>("pass");          // the writing of the file that runs out
        QTest::addColumn<qsizetype>("limit");   // bytes written before
        QTest::newRow("bad_alloc at the first byte") << false << 1 << qsizetype(0);
        QTest::newRow("length_error midway") << true << 1 << qsizetype(10);
        QTest::newRow("bad_alloc writing again with a byte-order mark")
            << false << 2 << qsizetype(3);
    }

    void outOfMemoryFailsTheSave() {
        QFETCH(bool, lengthError);
        QFETCH(int, pass);
        QFETCH(qsizetype, limit);

        QTemporaryDir dir;
        const QString path = fileIn(dir.path(), QStringLiteral("notes.txt"));
        const QByteArray old = "<**********>, 1 , 0 ,A\r\n\xC3\xA9\r\n";
        writeFile(path, old);
        Document doc;
        LoadDocument(doc, path.toStdString());
        // An escaped byte makes the UTF-8 file invalid: it is written a second time.
        doc.StoreBody("S1", pass == 1 ? u"\u00E9!" : u"\u00E9\xDC81");
        int passes = 0;
        const SaveOutcome outcome =
            mossleaf::saveOutlineFile(doc, path.toStdString(), [&](ByteSink& file) {
                ++passes;
                return std::make_unique<ExhaustingSink>(file, passes == pass ? limit : 1 << 20,
                                                        lengthError);
            });
        QCOMPARE(passes, pass);
        QCOMPARE(outcome.status, SaveOutcome::Status::Failed);
        QCOMPARE(outcome.reason, std::string(std::strerror(ENOMEM)));
        QCOMPARE(readFile(path), old);
        QCOMPARE(entriesOf(dir.path()), QStringList("notes.txt"));
        QCOMPARE(doc.encoding, TextEncoding::Utf8);
    }

    void outOfMemoryLeavesTheLoadedDocument() {
#ifdef MOSSLEAF_ASAN
        QSKIP("AddressSanitizer maps more address space than the limit leaves");
#endif
        QTemporaryDir dir;
        const std::string small = fileIn(dir.path(), QStringLiteral("small.txt")).toStdString();
        writeFile(QString::fromStdString(small), kWorkedExample);
        Document doc;
        LoadDocument(doc, small);
        doc.StoreBody("S2", u"edited");
        doc.ShowSelection("S2");
        const QString before = describe(doc);

        // A header whose title is 128 MiB of NUL bytes (a sparse file): the file can be read,
        // but its title, decoded, takes twice that.
        const QString big = fileIn(dir.path(), QStringLiteral("big.txt"));
        const qint64 size = qint64(128) << 20;
        QVERIFY(writeFile(big, "<**********>, 1 , 0 ,") && QFile::resize(big, size));
        std::fflush(nullptr);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // An abort must end the child at once, not in the test framework's handler.
            std::signal(SIGABRT, SIG_DFL);
            std::signal(SIGSEGV, SIG_DFL);
            ::alarm(60);
            const rlim_t room = rlim_t(mappedKib()) * 1024 + rlim_t(size) + (rlim_t(64) << 20);
            const rlimit limit{room, room};
            if (::setrlimit(RLIMIT_AS, &limit) != 0) {
                ::_exit(10);
            }
            LoadOutcome outcome;
            try {
                outcome = LoadDocument(doc, big.toStdString());
            } catch (...) {
                ::_exit(4);
            }
            const bool kept = describe(doc) == before && doc.CurrentFileName == small &&
                              doc.CurrentKey == "S2" && doc.NodeCounter == 4 &&
                              doc.encoding == TextEncoding::Cp932;
            ::_exit(outcome.status != LoadOutcome::Status::CannotOpen ? 1
                    : outcome.reason != std::strerror(ENOMEM)         ? 2
                    : kept                                            ? 0
                                                                      : 3);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status),
                 qPrintable(QStringLiteral("the load ended with signal %1 (14: over a minute)")
                                .arg(WTERMSIG(status))));
        // 1: another status, 2: another reason, 3: the Document changed, 4: an exception escaped,
        // 10: no limit set
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    void bodyOfAnOutOfRangeSlotIsEmpty() {
        Document doc;
        QVERIFY(doc.bodyOf("S513").empty());
        QVERIFY(doc.bodyOf("S-1").empty());
        QVERIFY(doc.bodyOf("S99999").empty());
        doc.BodyTable[512].assign(u"last");
        QCOMPARE(qs(doc.bodyOf("S512")), QString("last"));
    }
};

QTEST_APPLESS_MAIN(DocumentOpsTest)
#include "document_ops_test.moc"
