#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "core/atomic_file.h"
#include "core/document.h"
#include "core/outline_save.h"
#include "outline_test_support.h"

using mossleaf::AtomicFile;
using mossleaf::Document;
using mossleaf::SaveOutcome;
using namespace testsupport;

namespace {

const QByteArray kSaved = "<**********>, 1 , 0 ,A\r\na\r\n";

QByteArray local(const QString& path) {
    return QFile::encodeName(path);
}

SaveOutcome saveOneNode(const QString& path) {
    Document doc;
    doc.StoreBody(doc.AddNode(u"A")->Key, u"a");
    return SaveDocument(doc, local(path).toStdString());
}

// Every entry below `folder`, dangling links included, as sorted relative paths.
QStringList treeOf(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        entries << QDir(folder).relativeFilePath(it.next());
    }
    entries.sort();
    return entries;
}

// The temporary file a save killed after writing `bytes` leaves in a folder otherwise empty.
QString killedSave(const QString& path, const QByteArray& bytes) {
    if (const pid_t child = ::fork(); child == 0) {
        AtomicFile file(local(path).toStdString());
        ::_exit(file.open() && file.sink().write(bytes.toStdString()) ? 0 : 1);
    } else {
        ::waitpid(child, nullptr, 0);
    }
    const QStringList left = treeOf(QFileInfo(path).path());
    return left.size() == 1 ? left.first() : QString();
}

}  // namespace

class AtomicFileTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    QString path(const QString& name) const { return fileIn(dir_.path(), name); }

    // The test folder's entries, with `added` among them.
    QStringList treeWith(const QString& added) const {
        QStringList tree = treeOf(dir_.path());
        if (!added.isEmpty() && !tree.contains(added)) {
            tree << added;
            tree.sort();
        }
        return tree;
    }

    std::size_t nameMax() const {
        const long max = ::pathconf(local(dir_.path()).constData(), _PC_NAME_MAX);
        return max > 0 ? std::size_t(max) : 255;
    }

    // A name of `length` bytes that ends in `tail`.
    static QString nameOf(std::size_t length, const QString& tail) {
        return QString(qsizetype(length) - tail.size(), u'n') + tail;
    }

    // "name/" a folder, "name->target" a link ("@" in the target: the test folder), else a
    // file holding `contents`. Returns the name.
    QString make(const QString& entry, const QByteArray& contents) const {
        const QStringList parts = entry.split(QStringLiteral("->"));
        const QString name = entry.endsWith(u'/') ? entry.chopped(1) : parts.first();
        const bool made =
            entry.endsWith(u'/') ? QDir(dir_.path()).mkdir(name)
            : parts.size() == 2
                ? ::symlink(local(QString(parts[1]).replace(u'@', dir_.path())).constData(),
                            local(path(name)).constData()) == 0
                : writeFile(path(name), contents);
        return made ? name : QString();
    }

private slots:
    void init() {
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(dir_.path());
    }

    void savesNamesUpToTheFolderLimit_data() {
        QTest::addColumn<int>("spare");  // bytes the name stays below the folder's limit
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("reason");
        QTest::newRow("one byte short of the plain temporary name") << 7 << true << "";
        QTest::newRow("at the limit") << 0 << true << "";
        QTest::newRow("new file at the limit") << 0 << false << "";
        QTest::newRow("new file beyond the limit") << -1 << false << "File name too long";
    }

    void savesNamesUpToTheFolderLimit() {
        QFETCH(int, spare);
        QFETCH(bool, exists);
        QFETCH(QString, reason);
        const QString name = nameOf(nameMax() - spare, ".txt");
        QVERIFY(!exists || writeFile(path(name), "old"));

        QCOMPARE(QString::fromStdString(saveOneNode(path(name)).reason), reason);
        QCOMPARE(treeOf(dir_.path()), reason.isEmpty() ? QStringList(name) : QStringList());
        QVERIFY(!reason.isEmpty() || readFile(path(name)) == kSaved);
    }

    void keepsModeOwnerGroupAndUserAttributes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("owner");
        QTest::addColumn<int>("group");
        QTest::newRow("set-user-ID") << 04755 << 0 << 0;
        QTest::newRow("every mode bit") << 07777 << 0 << 0;
        QTest::newRow("another owner and group") << 06750 << 1234 << 5678;
    }

    void keepsModeOwnerGroupAndUserAttributes() {
        QFETCH(int, mode);
        QFETCH(int, owner);
        QFETCH(int, group);
        if (::geteuid() != 0) {
            QSKIP("only root gives files away, and its chown clears set-ID bits");
        }
        const QString name = path(QStringLiteral("notes.txt"));
        const QByteArray file = local(name), binary("\0\xFF\x01", 3), large(2000, 'x');
        QVERIFY(writeFile(name, "old"));
        if (::setxattr(file, "user.binary", binary, 3, 0) != 0 ||
            ::setxattr(file, "user.large", large, 2000, 0) != 0) {
            QSKIP("the test folder's filesystem refuses user extended attributes");
        }
        QCOMPARE(::chown(file, uid_t(owner), gid_t(group)), 0);
        QCOMPARE(::chmod(file, mode_t(mode)), 0);
        struct stat after {};

        QCOMPARE(saveOneNode(name).status, SaveOutcome::Status::Saved);
        QCOMPARE(::stat(file, &after), 0);
        QCOMPARE(after.st_mode & 07777, mode_t(mode));
        QCOMPARE(after.st_uid, uid_t(owner));
        QCOMPARE(after.st_gid, gid_t(group));
        QByteArray read(4096, '\0');
        QCOMPARE(read.left(::getxattr(file, "user.binary", read.data(), 4096)), binary);
        QCOMPARE(read.left(::getxattr(file, "user.large", read.data(), 4096)), large);
        QCOMPARE(readFile(name), kSaved);
    }

    void savesThroughLinks_data() {
        QTest::addColumn<QStringList>("entries");  // as make() takes them
        QTest::addColumn<QString>("saved");        // the path given to the save
        QTest::addColumn<QString>("written");      // the file that gets the outline
        QTest::addColumn<QString>("reason");
        // link0 -> link1 -> ... -> real.txt
        auto chain = [](int links) {
            QStringList entries;
            for (int i = 0; i < links; ++i) {
                entries << QStringLiteral("link%1->link%2").arg(i).arg(i + 1);
            }
            entries.last() = QStringLiteral("link%1->real.txt").arg(links - 1);
            return entries;
        };
        // clang-format off
        QTest::newRow("link to an existing file") << QStringList{"real.txt", "notes.txt->real.txt"} << "notes.txt" << "real.txt" << "";
        QTest::newRow("dangling link") << QStringList{"notes.txt->real.txt"} << "notes.txt" << "real.txt" << "";
        QTest::newRow("dangling absolute link") << QStringList{"notes.txt->@/real.txt"} << "notes.txt" << "real.txt" << "";
        QTest::newRow("relative to the link's folder") << QStringList{"sub/", "sub/notes.txt->../real.txt"} << "sub/notes.txt" << "real.txt" << "";
        QTest::newRow("chain ending nowhere") << QStringList{"sub/", "notes.txt->sub/a", "sub/a->b"} << "notes.txt" << "sub/b" << "";
        QTest::newRow("40 links") << chain(40) << "link0" << "real.txt" << "";
        QTest::newRow("41 links") << chain(41) << "link0" << "" << "Too many levels of symbolic links";
        QTest::newRow("loop") << QStringList{"a->b", "b->a"} << "a" << "" << "Too many levels of symbolic links";
        QTest::newRow("into a missing folder") << QStringList{"notes.txt->missing/real.txt"} << "notes.txt" << "" << "No such file or directory";
        // clang-format on
    }

    void savesThroughLinks() {
        QFETCH(QStringList, entries);
        QFETCH(QString, saved);
        QFETCH(QString, written);
        QFETCH(QString, reason);
        QDir::setCurrent(QDir::rootPath());  // relative targets must not resolve from here
        for (const QString& entry : entries) {
            QVERIFY(!make(entry, "old").isEmpty());
        }
        const QStringList expected = treeWith(written);

        QCOMPARE(QString::fromStdString(saveOneNode(path(saved)).reason), reason);
        QCOMPARE(treeOf(dir_.path()), expected);
        QVERIFY(written.isEmpty() || readFile(path(written)) == kSaved);
        for (const QString& entry : entries) {  // a link stays a link
            QVERIFY(!entry.contains(u'>') ||
                    QFileInfo(path(entry.section(QStringLiteral("->"), 0, 0))).isSymLink());
        }
    }

    void removesLeftoversOfKilledSaves_data() {
        QTest::addColumn<QString>("killed");  // the file whose save was killed, if any
        QTest::addColumn<QString>("made");    // else the leftover made by hand, as make() takes it
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<bool>("removed");

        const QByteArray outline = "<**********>, 1 , 0 ,A\r\n";
        const QByteArray bom = "\xEF\xBB\xBF";
        const QString notes = QStringLiteral("notes.txt");
        const QString long1 = nameOf(nameMax(), "1.txt");
        const QString long2 = nameOf(nameMax(), "2.txt");
        // clang-format off
        QTest::newRow("empty") << notes << "" << QByteArray() << notes << true;
        QTest::newRow("outline") << notes << "" << outline << notes << true;
        QTest::newRow("outline after a byte-order mark") << notes << "" << bom + outline << notes << true;
        QTest::newRow("long name") << long1 << "" << outline << long1 << true;
        QTest::newRow("a copy: .backup") << "" << ".notes.txt.backup" << outline << notes << false;
        QTest::newRow("a copy: a date") << "" << ".notes.txt.261207" << outline << notes << false;
        QTest::newRow("a copy: Copy01") << "" << ".notes.txt.Copy01" << outline << notes << false;
        QTest::newRow("rsync's temporary file") << "" << ".notes.txt.AbC123" << outline << notes << false;
        QTest::newRow("our pattern, wrong check") << "" << ".notes.txt.mossleaf-aB3xY9-0123abcd" << outline << notes << false;
        QTest::newRow("not an outline") << notes << "" << QByteArray("hello") << notes << false;
        QTest::newRow("byte-order mark, then text") << notes << "" << bom + "hello" << notes << false;
        QTest::newRow("another name") << "notes.txt.1" << "" << outline << notes << false;
        QTest::newRow("long name with the same start") << long1 << "" << outline << long2 << false;
        QTest::newRow("seven characters") << "" << ".notes.txt.abcdefg" << outline << notes << false;
        QTest::newRow("not from mkstemp") << "" << ".notes.txt.abc-ef" << outline << notes << false;
        QTest::newRow("a folder") << "" << ".notes.txt.abcdef/" << QByteArray() << notes << false;
        QTest::newRow("a link to an outline") << "" << ".notes.txt.abcdef->@/notes.txt" << outline << notes << false;
        // clang-format on
    }

    void removesLeftoversOfKilledSaves() {
        QFETCH(QString, killed);
        QFETCH(QString, made);
        QFETCH(QByteArray, contents);
        QFETCH(QString, saved);
        QFETCH(bool, removed);
        const QString leftover =
            killed.isEmpty() ? make(made, contents) : killedSave(path(killed), contents);
        QVERIFY(!leftover.isEmpty());
        QStringList expected = treeWith(saved);
        if (removed) {
            expected.removeOne(leftover);
        }

        QCOMPARE(saveOneNode(path(saved)).status, SaveOutcome::Status::Saved);
        QCOMPARE(treeOf(dir_.path()), expected);
    }

    void saveInProgressKeepsItsTemporaryFile() {
        const QString file = path(QStringLiteral("notes.txt"));
        AtomicFile other(local(file).toStdString());
        QVERIFY(other.open() && other.sink().write("<**********>, 1 , 0 ,B\r\n"));

        QCOMPARE(saveOneNode(file).status, SaveOutcome::Status::Saved);
        QCOMPARE(treeOf(dir_.path()).size(), 2);
        QVERIFY(other.commit());
        QCOMPARE(readFile(file), QByteArray("<**********>, 1 , 0 ,B\r\n"));
        QCOMPARE(treeOf(dir_.path()), QStringList(QStringLiteral("notes.txt")));
    }
};

QTEST_APPLESS_MAIN(AtomicFileTest)
#include "atomic_file_test.moc"
