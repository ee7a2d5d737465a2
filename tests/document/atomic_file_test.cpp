#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "document/atomic_file.h"
#include "document/document.h"
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
    return doc.SaveDocument(local(path).toStdString());
}

// Every entry below `folder`, links not followed, as paths relative to it.
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

// What a save killed after writing `bytes` leaves behind: its temporary file's name.
QString killedSave(const QString& path, const QByteArray& bytes) {
    const QString folder = QFileInfo(path).path();
    const QStringList before = entriesOf(folder);
    const pid_t child = ::fork();
    if (child == 0) {
        AtomicFile file(local(path).toStdString());
        const bool written = file.open() && file.sink().write(bytes.toStdString());
        ::_exit(written ? 0 : 1);  // no destructor: the temporary file stays
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    QStringList added = entriesOf(folder);
    for (const QString& name : before) {
        added.removeOne(name);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && added.size() == 1 ? added.first()
                                                                              : QString();
}

QString linkTarget(const QString& path) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(local(path).constData(), target, sizeof target);
    return length < 0 ? QString() : QFile::decodeName(QByteArray(target, length));
}

struct stat statOf(const QString& path) {
    struct stat info {};
    ::lstat(local(path).constData(), &info);
    return info;
}

}  // namespace

class AtomicFileTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    QString path(const QString& name) const { return fileIn(dir_.path(), name); }

    std::size_t nameMax() const {
        const long max = ::pathconf(local(dir_.path()).constData(), _PC_NAME_MAX);
        return max > 0 ? std::size_t(max) : 255;
    }

    // A name of `length` bytes that ends in `tail`.
    static QString nameOf(std::size_t length, const QString& tail) {
        return QString(qsizetype(length) - tail.size(), u'n') + tail;
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
        QTest::newRow("room for the plain temporary name") << 8 << true << "";
        QTest::newRow("one byte short of it") << 7 << true << "";
        QTest::newRow("at the limit") << 0 << true << "";
        QTest::newRow("new file at the limit") << 0 << false << "";
        QTest::newRow("new file beyond the limit") << -1 << false << "File name too long";
    }

    void savesNamesUpToTheFolderLimit() {
        QFETCH(int, spare);
        QFETCH(bool, exists);
        QFETCH(QString, reason);

        const QString file = path(nameOf(nameMax() - spare, ".txt"));
        if (exists) {
            QVERIFY(writeFile(file, "old"));
        }
        const QStringList before = entriesOf(dir_.path());
        const SaveOutcome outcome = saveOneNode(file);
        QCOMPARE(QString::fromStdString(outcome.reason), reason);
        if (reason.isEmpty()) {
            QCOMPARE(outcome.status, SaveOutcome::Status::Saved);
            QCOMPARE(readFile(file), kSaved);
            QCOMPARE(entriesOf(dir_.path()), QStringList(QFileInfo(file).fileName()));
        } else {
            QCOMPARE(outcome.status, SaveOutcome::Status::Failed);
            QCOMPARE(entriesOf(dir_.path()), before);
        }
    }

    void keepsModeOwnerAndGroup_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("owner");  // -1: the one the test runs as
        QTest::addColumn<int>("group");
        QTest::newRow("set-user-ID") << 04755 << -1 << -1;
        QTest::newRow("set-group-ID") << 02775 << -1 << -1;
        QTest::newRow("every mode bit") << 07777 << -1 << -1;
        QTest::newRow("another owner and group") << 06750 << 1234 << 5678;
        QTest::newRow("another group only") << 02770 << -1 << 5678;
    }

    void keepsModeOwnerAndGroup() {
        QFETCH(int, mode);
        QFETCH(int, owner);
        QFETCH(int, group);
        if (::geteuid() != 0) {
            QSKIP("only root can give a file away and keep set-ID bits through a chown");
        }
        const QString file = path(QStringLiteral("notes.txt"));
        QVERIFY(writeFile(file, "old"));
        QCOMPARE(::chown(local(file).constData(), uid_t(owner), gid_t(group)), 0);
        QCOMPARE(::chmod(local(file).constData(), mode_t(mode)), 0);
        const struct stat before = statOf(file);

        QCOMPARE(saveOneNode(file).status, SaveOutcome::Status::Saved);
        const struct stat after = statOf(file);
        QVERIFY(after.st_ino != before.st_ino);
        QCOMPARE(after.st_mode & 07777, mode_t(mode));
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        QCOMPARE(readFile(file), kSaved);
    }

    void keepsUserExtendedAttributes() {
        const QString file = path(QStringLiteral("notes.txt"));
        QVERIFY(writeFile(file, "old"));
        const QList<QPair<QByteArray, QByteArray>> attributes = {
            {"user.plain", "value"},
            {"user.binary", QByteArray("\0\xFF\x01", 3)},
            {"user.empty", ""},
            {"user.large", QByteArray(2000, 'x')},
        };
        for (const auto& [name, value] : attributes) {
            if (::setxattr(local(file).constData(), name.constData(), value.constData(),
                           std::size_t(value.size()), 0) != 0) {
                QSKIP("the test folder's filesystem refuses user extended attributes");
            }
        }
        QCOMPARE(saveOneNode(file).status, SaveOutcome::Status::Saved);
        QCOMPARE(readFile(file), kSaved);
        char names[1024];
        const ssize_t length = ::listxattr(local(file).constData(), names, sizeof names);
        QVERIFY(length >= 0);
        QStringList listed = QString::fromLatin1(names, length).split(u'\0', Qt::SkipEmptyParts);
        listed.sort();
        QCOMPARE(listed, QStringList({"user.binary", "user.empty", "user.large", "user.plain"}));
        for (const auto& [name, value] : attributes) {
            QByteArray read(4096, '\0');
            const ssize_t size =
                ::getxattr(local(file).constData(), name.constData(), read.data(), 4096);
            QCOMPARE(read.left(size), value);
        }
    }

    void savesThroughLinks_data() {
        // "name" a file holding "old", "name/" a folder, "name->target" a link; "@" stands
        // for the test folder.
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("saved");    // the path given to the save
        QTest::addColumn<QString>("written");  // the file that gets the outline
        QTest::addColumn<QString>("reason");
        // clang-format off
        QTest::newRow("link to an existing file") << QStringList{"real.txt", "notes.txt->real.txt"} << "notes.txt" << "real.txt" << "";
        QTest::newRow("dangling link") << QStringList{"notes.txt->real.txt"} << "notes.txt" << "real.txt" << "";
        QTest::newRow("dangling absolute link") << QStringList{"notes.txt->@/real.txt"} << "notes.txt" << "real.txt" << "";
        QTest::newRow("relative to the link's folder") << QStringList{"sub/", "sub/notes.txt->../real.txt"} << "sub/notes.txt" << "real.txt" << "";
        QTest::newRow("chain ending nowhere") << QStringList{"sub/", "notes.txt->sub/a", "sub/a->b"} << "notes.txt" << "sub/b" << "";
        QTest::newRow("dangling into a missing folder") << QStringList{"notes.txt->missing/real.txt"} << "notes.txt" << "" << "No such file or directory";
        QTest::newRow("loop") << QStringList{"a->b", "b->a"} << "a" << "" << "Too many levels of symbolic links";
        // clang-format on
    }

    void savesThroughLinks() {
        QFETCH(QStringList, entries);
        QFETCH(QString, saved);
        QFETCH(QString, written);
        QFETCH(QString, reason);

        QDir::setCurrent(QDir::rootPath());  // relative targets must not resolve from here
        QMap<QString, QString> links;
        for (QString entry : entries) {
            entry.replace(u'@', dir_.path());
            if (entry.endsWith(u'/')) {
                QVERIFY(QDir(dir_.path()).mkdir(entry));
            } else if (const qsizetype arrow = entry.indexOf(QStringLiteral("->")); arrow > 0) {
                links[entry.left(arrow)] = entry.mid(arrow + 2);
                QCOMPARE(::symlink(local(entry.mid(arrow + 2)).constData(),
                                   local(path(entry.left(arrow))).constData()),
                         0);
            } else {
                QVERIFY(writeFile(path(entry), "old"));
            }
        }
        QStringList expected = treeOf(dir_.path());
        if (!written.isEmpty() && !expected.contains(written)) {
            expected << written;
            expected.sort();
        }

        const SaveOutcome outcome = saveOneNode(path(saved));
        QCOMPARE(QString::fromStdString(outcome.reason), reason);
        QCOMPARE(outcome.status,
                 reason.isEmpty() ? SaveOutcome::Status::Saved : SaveOutcome::Status::Failed);
        QCOMPARE(treeOf(dir_.path()), expected);
        for (auto link = links.cbegin(); link != links.cend(); ++link) {
            QCOMPARE(linkTarget(path(link.key())), link.value());
        }
        if (!written.isEmpty()) {
            QCOMPARE(readFile(path(written)), kSaved);
        }
    }

    void followsAtMostFortyLinks_data() {
        QTest::addColumn<int>("links");
        QTest::addColumn<QString>("reason");
        QTest::newRow("40") << 40 << "";
        QTest::newRow("41") << 41 << "Too many levels of symbolic links";
    }

    void followsAtMostFortyLinks() {
        QFETCH(int, links);
        QFETCH(QString, reason);
        // link0 -> link1 -> ... -> real.txt, which does not exist yet
        for (int i = 0; i < links; ++i) {
            const QByteArray next = i + 1 < links ? "link" + QByteArray::number(i + 1) : "real.txt";
            QCOMPARE(
                ::symlink(next.constData(), local(path("link" + QString::number(i))).constData()),
                0);
        }
        const SaveOutcome outcome = saveOneNode(path(QStringLiteral("link0")));
        QCOMPARE(QString::fromStdString(outcome.reason), reason);
        QCOMPARE(readFile(path(QStringLiteral("real.txt"))),
                 reason.isEmpty() ? kSaved : QByteArray("<unreadable>"));
        QCOMPARE(treeOf(dir_.path()).size(), links + (reason.isEmpty() ? 1 : 0));
    }

    void removesLeftoversOfKilledSaves_data() {
        QTest::addColumn<QString>("killedSaveOf");  // empty: `made` is made by hand
        QTest::addColumn<QString>("made");          // "name/" a folder, "name->" a link
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
        QTest::newRow("made by hand to the pattern") << "" << ".notes.txt.aB3xY9" << outline << notes << true;
        QTest::newRow("not an outline") << notes << "" << QByteArray("hello") << notes << false;
        QTest::newRow("byte-order mark, then text") << notes << "" << bom + "hello" << notes << false;
        QTest::newRow("another name") << QStringLiteral("notes.txt.1") << "" << outline << notes << false;
        QTest::newRow("long name with the same start") << long1 << "" << outline << long2 << false;
        QTest::newRow("five characters") << "" << ".notes.txt.abcde" << outline << notes << false;
        QTest::newRow("seven characters") << "" << ".notes.txt.abcdefg" << outline << notes << false;
        QTest::newRow("not from mkstemp") << "" << ".notes.txt.abc-ef" << outline << notes << false;
        QTest::newRow("without the dot") << "" << "notes.txt.abcdef" << outline << notes << false;
        QTest::newRow("a folder") << "" << ".notes.txt.abcdef/" << QByteArray() << notes << false;
        QTest::newRow("a link to an outline") << "" << ".notes.txt.abcdef->" << outline << notes << false;
        // clang-format on
    }

    void removesLeftoversOfKilledSaves() {
        QFETCH(QString, killedSaveOf);
        QFETCH(QString, made);
        QFETCH(QByteArray, contents);
        QFETCH(QString, saved);
        QFETCH(bool, removed);

        QString leftover = made;
        if (!killedSaveOf.isEmpty()) {
            QVERIFY(writeFile(path(killedSaveOf), "old"));
            leftover = killedSave(path(killedSaveOf), contents);
            QVERIFY(!leftover.isEmpty());
        } else if (made.endsWith(u'/')) {
            leftover.chop(1);
            QVERIFY(QDir(dir_.path()).mkdir(leftover));
        } else if (made.endsWith(QStringLiteral("->"))) {
            leftover.chop(2);
            QVERIFY(writeFile(path(QStringLiteral("other.txt")), contents));
            QCOMPARE(::symlink("other.txt", local(path(leftover)).constData()), 0);
        } else {
            QVERIFY(writeFile(path(leftover), contents));
        }
        QVERIFY(writeFile(path(saved), "old"));
        const QStringList before = entriesOf(dir_.path());

        QCOMPARE(saveOneNode(path(saved)).status, SaveOutcome::Status::Saved);
        QCOMPARE(readFile(path(saved)), kSaved);
        QStringList expected = before;
        if (removed) {
            expected.removeOne(leftover);
        }
        QCOMPARE(entriesOf(dir_.path()), expected);
        if (QFileInfo(path(leftover)).isFile()) {
            QCOMPARE(readFile(path(leftover)), contents);
        }
    }

    void saveInProgressKeepsItsTemporaryFile() {
        const QString file = path(QStringLiteral("notes.txt"));
        AtomicFile other(local(file).toStdString());
        QVERIFY(other.open());
        const std::string otherBytes = "<**********>, 1 , 0 ,B\r\n";
        QVERIFY(other.sink().write(otherBytes));

        QCOMPARE(saveOneNode(file).status, SaveOutcome::Status::Saved);
        QCOMPARE(entriesOf(dir_.path()).size(), 2);
        QVERIFY(other.commit());
        QCOMPARE(readFile(file), QByteArray::fromStdString(otherBytes));
        QCOMPARE(entriesOf(dir_.path()), QStringList(QStringLiteral("notes.txt")));
    }
};

QTEST_APPLESS_MAIN(AtomicFileTest)
#include "atomic_file_test.moc"
