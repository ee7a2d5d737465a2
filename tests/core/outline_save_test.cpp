#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "core/document.h"
#include "core/outline_reader.h"
#include "core/outline_save.h"
#include "outline_test_support.h"

using mossleaf::ByteSink;
using mossleaf::Document;
using mossleaf::SaveOutcome;
using mossleaf::TextEncoding;
using namespace testsupport;

Q_DECLARE_METATYPE(SaveOutcome::Status)

namespace {

// A device that takes `limit` bytes and then reports a full disk.
class FailingSink : public ByteSink {
public:
    FailingSink(ByteSink& file, qsizetype limit) : file_(file), left_(limit) {}
    bool write(std::string_view bytes) override {
        const auto taken = std::min<qsizetype>(left_, qsizetype(bytes.size()));
        left_ -= taken;
        return file_.write(bytes.substr(0, taken)) && taken == qsizetype(bytes.size());
    }
    std::string failureReason() const override { return std::strerror(ENOSPC); }

private:
    ByteSink& file_;
    qsizetype left_;
};

mode_t modeOf(const QString& path) {
    struct stat info {};
    return ::stat(path.toLocal8Bit().constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

}  // namespace

class OutlineSaveTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    static void oneNode(Document& doc, const std::u16string& title, const std::u16string& body) {
        mossleaf::Node* node = doc.AddNode(title);
        doc.StoreBody(node->Key, body);
    }

private slots:
    void init() {
        for (const QString& name : entriesOf(dir_.path())) {
            const QString path = fileIn(dir_.path(), name);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path);
        }
    }

    void choosesTheEncoding_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<SaveOutcome::Status>("status");

        using B = QByteArray;
        const auto saved = SaveOutcome::Status::Saved;
        const auto utf8 = SaveOutcome::Status::SavedAsUtf8;
        const B bom = "\xEF\xBB\xBF<**********>, 1 , 0 ,";
        // clang-format off
        QTest::newRow("input-method characters to their CP932 codes") << "A" << QString::fromUtf16(u"〜−‖¬¢£—") << B("<**********>, 1 , 0 ,A\r\n\x81\x60\x81\x7C\x81\x61\x81\xCA\x81\x91\x81\x92\x81\x5C\r\n") << saved;
        QTest::newRow("their CP932 forms") << "A" << QString::fromUtf16(u"～－∥￢￠￡―") << B("<**********>, 1 , 0 ,A\r\n\x81\x60\x81\x7C\x81\x61\x81\xCA\x81\x91\x81\x92\x81\x5C\r\n") << saved;
        QTest::newRow("kanji, kana, backslash, tilde") << QString::fromUtf16(u"漢ｱ") << QString::fromUtf16(u"\\~①\r\nⅰ\uE000") << B("<**********>, 1 , 0 ,\x8A\xBF\xB1\r\n\\~\x87\x40\r\n\xFA\x40\xF0\x40\r\n") << saved;
        QTest::newRow("é") << "A" << QString::fromUtf16(u"é") << bom + "A\r\n\xC3\xA9\r\n" << utf8;
        QTest::newRow("emoji") << "A" << QString::fromUtf16(u"😀") << bom + "A\r\n\xF0\x9F\x98\x80\r\n" << utf8;
        QTest::newRow("hangul in the title") << QString::fromUtf16(u"한") << QString::fromUtf16(u"漢") << bom + "\xED\x95\x9C\r\n\xE6\xBC\xA2\r\n" << utf8;
        // CP932 would write these as 0x5C and 0x7E, which read back as \ and ~.
        QTest::newRow("yen sign") << "A" << QString::fromUtf16(u"¥") << bom + "A\r\n\xC2\xA5\r\n" << utf8;
        QTest::newRow("overline") << "A" << QString::fromUtf16(u"‾") << bom + "A\r\n\xE2\x80\xBE\r\n" << utf8;
        QTest::newRow("no-break space") << "A" << QString::fromUtf16(u"a\u00A0b") << bom + "A\r\na\xC2\xA0" "b\r\n" << utf8;
        // clang-format on
    }

    void choosesTheEncoding() {
        QFETCH(QString, title);
        QFETCH(QString, body);
        QFETCH(QByteArray, file);
        QFETCH(SaveOutcome::Status, status);

        Document doc;
        doc.NodeCounter = 1;
        oneNode(doc, us(title), us(body));
        const QString path = fileIn(dir_.path(), QStringLiteral("out.txt"));
        QCOMPARE(SaveDocument(doc, path.toStdString()).status, status);
        QCOMPARE(readFile(path), file);
        QCOMPARE(doc.encoding, status == SaveOutcome::Status::SavedAsUtf8 ? TextEncoding::Utf8Bom
                                                                          : TextEncoding::Cp932);
        // The file reads back as the same text; only the input-method characters come back
        // as the code points CP932 holds them under.
        Document again;
        LoadDocument(again, path.toStdString());
        if (QTest::currentDataTag() !=
            QLatin1String("input-method characters to their CP932 codes")) {
            QCOMPARE(describe(again), describe(doc));
        } else {
            QCOMPARE(describe(again), QString::fromUtf16(u"S1()A=～－∥￢￠￡―"));
        }
    }

    void fallbackRewritesUnchangedCp932Records() {
        const QString in = fileIn(dir_.path(), QStringLiteral("in.txt"));
        writeFile(in,
                  "<**********>, 1 , 0 ,\x8A\xBF\r\n\x82\xA0\x80\r\n"
                  "<**********>, 2 , 1 ,B\r\nb\r\n");
        Document doc;
        LoadDocument(doc, in.toStdString());
        doc.StoreBody("S2", u"b😀");
        const QString out = fileIn(dir_.path(), QStringLiteral("out.txt"));
        QCOMPARE(SaveDocument(doc, out.toStdString()).status, SaveOutcome::Status::SavedAsUtf8);
        QCOMPARE(readFile(out), QByteArray("\xEF\xBB\xBF<**********>, 1 , 0 ,\xE6\xBC\xA2\r\n"
                                           "\xE3\x81\x82\x80\r\n"
                                           "<**********>, 2 , 1 ,B\r\nb\xF0\x9F\x98\x80\r\n"));
        QCOMPARE(doc.encoding, TextEncoding::Utf8Bom);
    }

    void failedWriteLeavesTheOldFile_data() {
        // Bytes the device takes; a negative number counts back from the file's size.
        QTest::addColumn<qsizetype>("limit");
        QTest::newRow("nothing written") << qsizetype(0);
        QTest::newRow("inside the first header") << qsizetype(5);
        QTest::newRow("inside the first chunk") << qsizetype(70000);
        QTest::newRow("after the first chunk") << qsizetype(1 << 20);
        QTest::newRow("inside the large body") << qsizetype(1500000);
        QTest::newRow("one byte short") << qsizetype(-1);
        QTest::newRow("all but the last line end") << qsizetype(-2);
    }

    void failedWriteLeavesTheOldFile() {
        QFETCH(qsizetype, limit);

        const QString path = fileIn(dir_.path(), QStringLiteral("notes.txt"));
        const QByteArray old = "<**********>, 1 , 0 ,old\r\nold body\r\n";
        writeFile(path, old);
        // Small records around a body large enough to go out directly: two 24-byte headers,
        // 3 MiB of bodies and four line ends.
        Document doc;
        doc.NodeCounter = 1;
        oneNode(doc, u"a", std::u16string(40000, u'x'));
        oneNode(doc, u"b", std::u16string(3 * 1024 * 1024 - 40000, u'y'));
        qsizetype size = 3 * 1024 * 1024 + 52;
        auto save = [&](qsizetype room) {
            return mossleaf::saveOutlineFile(doc, path.toStdString(), [&](ByteSink& file) {
                return std::make_unique<FailingSink>(file, room);
            });
        };
        for (const bool fallback : {false, true}) {
            if (fallback) {
                // In UTF-8 with its byte-order mark the file is four bytes longer.
                doc.StoreBody("S1", u"\u00E9" + std::u16string(39999, u'x'));
                size += 4;
            }
            const SaveOutcome outcome = save(limit < 0 ? size + limit : limit);
            QCOMPARE(outcome.status, SaveOutcome::Status::Failed);
            QCOMPARE(QString::fromStdString(outcome.reason), QString("No space left on device"));
            QCOMPARE(readFile(path), old);
            QCOMPARE(entriesOf(dir_.path()), QStringList("notes.txt"));
            QCOMPARE(doc.encoding, TextEncoding::Cp932);
        }
        // With room for every byte the same save succeeds.
        QCOMPARE(save(size).status, SaveOutcome::Status::SavedAsUtf8);
        QCOMPARE(readFile(path).size(), size);
        QCOMPARE(entriesOf(dir_.path()), QStringList("notes.txt"));
        QCOMPARE(doc.encoding, TextEncoding::Utf8Bom);
    }

    void refusesTargetsItCannotReplace_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");  // of an existing file; 0 for none
        QTest::addColumn<QString>("reason");
        // clang-format off
        QTest::newRow("read-only file") << "notes.txt" << 0444 << "Permission denied";
        QTest::newRow("no permissions at all") << "notes.txt" << 0 << "";
        QTest::newRow("missing folder") << "missing/notes.txt" << -1 << "No such file or directory";
        QTest::newRow("a folder") << "folder" << -1 << "Is a directory";
        // clang-format on
    }

    void refusesTargetsItCannotReplace() {
        QFETCH(QString, name);
        QFETCH(int, mode);
        QFETCH(QString, reason);

        QDir(dir_.path()).mkdir(QStringLiteral("folder"));
        const QString path = fileIn(dir_.path(), name);
        const QByteArray old = "old contents";
        if (mode >= 0) {
            writeFile(path, old);
            QVERIFY(::chmod(path.toLocal8Bit().constData(), mode_t(mode)) == 0);
        }
        const QStringList before = entriesOf(dir_.path());
        Document doc;
        oneNode(doc, u"new", u"body");
        const SaveOutcome outcome = SaveDocument(doc, path.toStdString());
        QCOMPARE(outcome.status, SaveOutcome::Status::Failed);
        if (!reason.isEmpty()) {
            QCOMPARE(QString::fromStdString(outcome.reason), reason);
        } else {
            QVERIFY(!outcome.reason.empty());
        }
        QCOMPARE(entriesOf(dir_.path()), before);
        if (mode >= 0) {
            QCOMPARE(int(modeOf(path)), mode);
            ::chmod(path.toLocal8Bit().constData(), 0600);
            QCOMPARE(readFile(path), old);
        }
    }

    void keepsPermissionsOfTheReplacedFile_data() {
        QTest::addColumn<int>("mode");  // of the file replaced; -1: a new file
        QTest::addColumn<int>("saved");
        QTest::newRow("0640") << 0640 << 0640;
        QTest::newRow("0664") << 0664 << 0664;
        QTest::newRow("write only") << 0200 << 0200;
        QTest::newRow("new file under umask 022") << -1 << 0644;
    }

    void keepsPermissionsOfTheReplacedFile() {
        QFETCH(int, mode);
        const QString path = fileIn(dir_.path(), QStringLiteral("notes.txt"));
        if (mode >= 0) {
            writeFile(path, "old");
            QVERIFY(::chmod(path.toLocal8Bit().constData(), mode_t(mode)) == 0);
        }
        const mode_t mask = ::umask(022);
        Document doc;
        oneNode(doc, u"A", u"");
        QCOMPARE(SaveDocument(doc, path.toStdString()).status, SaveOutcome::Status::Saved);
        ::umask(mask);
        QTEST(int(modeOf(path)), "saved");
        ::chmod(path.toLocal8Bit().constData(), 0600);
        QCOMPARE(readFile(path).size(), 26);
    }

    // Another program, or another window, may write the notebook while it is open: a save
    // over it must not wipe that out unasked, but a file only touched or gone costs nothing.
    void saveOverAChangedFile_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("afterSave");  // the file was last saved here, not read
        QTest::addColumn<bool>("changed");
        for (const QString change :
             {"none", "touched", "in place, same bytes", "renamed in, same bytes", "removed",
              "in place, same size", "in place, appended", "renamed in", "another window"}) {
            for (const bool afterSave : {false, true}) {
                QTest::addRow("%s%s", qPrintable(change), afterSave ? ", after a save" : "")
                    << change << afterSave
                    << (change == "renamed in" || change.startsWith("another") ||
                        change.endsWith("size") || change.endsWith("appended"));
            }
        }
    }

    void saveOverAChangedFile() {
        QFETCH(QString, change);
        QFETCH(bool, afterSave);
        QFETCH(bool, changed);
        const QString path = fileIn(dir_.path(), QStringLiteral("notes.txt"));
        const std::string name = path.toStdString();
        writeFile(path, kWorkedExample);
        Document doc;
        LoadDocument(doc, name);
        if (afterSave) {
            QCOMPARE(SaveDocument(doc, name).status, SaveOutcome::Status::Saved);
        }
        QByteArray theirs = readFile(path);
        if (change == "touched") {
            QVERIFY(::utimensat(AT_FDCWD, name.c_str(), nullptr, 0) == 0);
        } else if (change.startsWith("in place")) {  // as an editor without atomic saves writes
            theirs = change.endsWith("appended") ? theirs + "x\r\n"
                     : change.endsWith("size")   ? theirs.replace("Notes", "Other")
                                                 : theirs;
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.write(theirs) == theirs.size());
        } else if (change.startsWith("renamed in")) {
            theirs = change.endsWith("bytes") ? theirs : theirs.replace("Plan", "Other");
            const QString other = fileIn(dir_.path(), QStringLiteral("other.tmp"));
            QVERIFY(writeFile(other, theirs) && ::rename(qPrintable(other), name.c_str()) == 0);
        } else if (change == "removed") {
            QVERIFY(QFile::remove(path));
        } else if (change == "another window") {
            Document other;
            LoadDocument(other, name);
            other.CurrentIndex = 1;
            other.RenameNode(u"From the other window");
            QCOMPARE(SaveDocument(other, name).status, SaveOutcome::Status::Saved);
            theirs = readFile(path);
        }
        doc.CurrentIndex = 1;
        doc.RenameNode(u"Mine");

        QCOMPARE(SaveDocument(doc, name).status,
                 changed ? SaveOutcome::Status::ChangedOnDisk : SaveOutcome::Status::Saved);
        QCOMPARE(entriesOf(dir_.path()), QStringList("notes.txt"));
        QCOMPARE(readFile(path) == theirs, changed);
        // Told to, it replaces their file; what it wrote is the file now, saved again unasked.
        QCOMPARE(SaveDocument(doc, name, changed).status, SaveOutcome::Status::Saved);
        QVERIFY(readFile(path).contains("Mine"));
        doc.RenameNode(u"Again");
        QCOMPARE(SaveDocument(doc, name).status, SaveOutcome::Status::Saved);
    }

    // Past a file-size limit (ulimit -f) the save fails like any other write; the program,
    // the old file and the folder stay as they were.
    void fileSizeLimitFailsTheSave() {
        const QString path = fileIn(dir_.path(), QStringLiteral("notes.txt"));
        const QByteArray old = "<**********>, 1 , 0 ,old\r\nold body\r\n";
        writeFile(path, old);
        const pid_t child = ::fork();
        if (child == 0) {
            const struct rlimit limit { 4096, RLIM_INFINITY };
            Document doc;
            oneNode(doc, u"A", std::u16string(100000, u'x'));
            const bool ok = ::setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
                            SaveDocument(doc, path.toStdString()).reason == "File too large";
            ::_exit(ok ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status), "the save ended the process");
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(readFile(path), old);
        QCOMPARE(entriesOf(dir_.path()), QStringList("notes.txt"));
    }

    void removedNodesAreNotWritten() {
        Document doc;
        oneNode(doc, u"A", u"a");
        doc.CurrentKey = "S0";
        oneNode(doc, u"B", u"b");
        doc.CurrentKey.clear();
        oneNode(doc, u"C", u"c");
        doc.Nodes.Remove(1);
        QCOMPARE(qs(doc.BodyTable[1].text()), QString("b"));  // the slot keeps its text
        const QString path = fileIn(dir_.path(), QStringLiteral("out.txt"));
        SaveDocument(doc, path.toStdString());
        QCOMPARE(readFile(path), QByteArray("<**********>, 1 , 0 ,C\r\nc\r\n"));
    }
};

QTEST_APPLESS_MAIN(OutlineSaveTest)
#include "outline_save_test.moc"
