// The real desktop layer: `gio open` against a handler registered in a private XDG data
// folder, and programs started directly.
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "launch/desktop_handler.h"
#include "launch/link_launcher.h"
#include "launch/system_shell_opener.h"
#include "widgets/message_recorder.h"

using namespace mossleaf;

namespace {

constexpr int kDeadlineMs = 10000;

}  // namespace

using namespace desktophandler;

class SystemShellOpenerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty()) {
            QSKIP("gio is not installed");
        }
        QVERIFY(dir_.isValid());
        received_ = path(QStringLiteral("received.txt"));

        QVERIFY(install(dir_.path(), received_,
                        {"x-scheme-handler/https", "x-scheme-handler/mailto", "inode/directory",
                         "text/plain"}));
        QVERIFY(QDir().mkpath(path(QStringLiteral("a folder"))));
        // Text with the execute permission, as files on Windows-formatted drives often are.
        QVERIFY(writeFile(path(QStringLiteral("notes.txt")), "echo not a program\n", true));
    }

    void init() { QFile::remove(received_); }

    void opensThroughTheDesktop_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("expected");  // what the handler receives; %D is the test folder

        const QString web = QStringLiteral("https://example.com/a b?q=1&x=$HOME;`id`");
        const QString mail = QStringLiteral("Mailto:taro@mail.example.jp");
        // clang-format off
        QTest::newRow("web address, characters a shell would expand") << web << web;
        QTest::newRow("Mailto: address") << mail << mail;
        QTest::newRow("folder") << "%D/a folder" << "%D/a folder";
        QTest::newRow("executable text file opens as a document") << "%D/notes.txt" << "%D/notes.txt";
        QTest::newRow("relative target is read from the root directory") << "%R/a folder" << "%D/a folder";
        // clang-format on
    }

    void opensThroughTheDesktop() {
        QFETCH(QString, target);
        QFETCH(QString, expected);
        const QString relative = dir_.path().mid(1);
        target.replace(QStringLiteral("%D"), dir_.path()).replace(QStringLiteral("%R"), relative);
        expected.replace(QStringLiteral("%D"), dir_.path());

        SystemShellOpener opener;
        QVERIFY(opener.open(nullptr, target));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(received_), kDeadlineMs);
        const QString received = readFile(received_);
        if (expected.startsWith(QLatin1Char('/'))) {
            QCOMPARE(asPath(received), expected);
        } else {
            QCOMPARE(received, expected);
        }
    }

    void failsWhenNothingOpens_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("empty target") << "";
        QTest::newRow("missing file") << "/nonexistent/mossleaf/notes.txt";
        QTest::newRow("scheme without a handler") << "mossleaf-no-such-scheme:abc";
        QTest::newRow("bare mail address") << "taro@mail.example.jp";
        QTest::newRow("target that looks like an option") << "--help";
    }

    void failsWhenNothingOpens() {
        QFETCH(QString, target);
        SystemShellOpener opener;
        QVERIFY(!opener.open(nullptr, target));
        QVERIFY(!QFileInfo::exists(received_));
    }

    void startsProgramsDirectly_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("script") << "program.sh";
        QTest::newRow("name with spaces and quotes") << "my 'prog' $(x).sh";
    }

    void startsProgramsDirectly() {
        QFETCH(QString, name);
        const QString marker = path(QStringLiteral("ran.txt"));
        QFile::remove(marker);
        // The program records its working directory.
        QVERIFY(writeFile(path(name),
                          "#!/bin/sh\npwd > \"" + marker.toUtf8() + ".part\" && mv \"" +
                              marker.toUtf8() + ".part\" \"" + marker.toUtf8() + "\"\n",
                          true));

        SystemShellOpener opener;
        QVERIFY(opener.open(nullptr, path(name)));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marker), kDeadlineMs);
        QCOMPARE(readFile(marker).trimmed(), QStringLiteral("/"));
        QVERIFY(!QFileInfo::exists(received_));
    }

    void recognisesPrograms_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");  // empty: no file; "/": a directory
        QTest::addColumn<bool>("executable");
        QTest::addColumn<bool>("expected");

        // clang-format off
        QTest::newRow("script") << "s1" << QByteArray("#!/bin/sh\n") << true << true;
        QTest::newRow("ELF binary") << "e1" << QByteArray("\x7f" "ELF\x02\x01\x01") << true << true;
        QTest::newRow("script without the permission") << "s2" << QByteArray("#!/bin/sh\n") << false << false;
        QTest::newRow("text with the permission") << "t1" << QByteArray("#not a program\n") << true << false;
        QTest::newRow("one byte of a header") << "t2" << QByteArray("#") << true << false;
        QTest::newRow("directory") << "d1" << QByteArray("/") << true << false;
        QTest::newRow("missing") << "m1" << QByteArray() << true << false;
        // clang-format on
    }

    void recognisesPrograms() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, executable);
        const QString target = path(QStringLiteral("kinds/") + name);
        QVERIFY(QDir().mkpath(path(QStringLiteral("kinds"))));
        if (content == "/") {
            QVERIFY(QDir().mkpath(target));
        } else if (!content.isEmpty()) {
            QVERIFY(writeFile(target, content, executable));
        }
        QTEST(SystemShellOpener::isProgram(target), "expected");
    }

    void failsWithoutGio() {
        SystemShellOpener opener(path(QStringLiteral("no-such-gio")));
        QVERIFY(!opener.open(nullptr, QStringLiteral("https://example.com/")));
        QVERIFY(!QFileInfo::exists(received_));
    }

    void bareMailAddressOpensThroughMailto() {
        // gio takes a bare address for a file name and fails; the launcher's retry opens it.
        SystemShellOpener opener;
        MessageLog messages;
        HHelp::OpenLink(nullptr, opener, QStringLiteral("taro@mail.example.jp"));
        QCOMPARE(messages.shown().size(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(received_), kDeadlineMs);
        QCOMPARE(readFile(received_), QStringLiteral("Mailto:taro@mail.example.jp"));
    }

private:
    QString path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    QTemporaryDir dir_;
    QString received_;
};

QTEST_GUILESS_MAIN(SystemShellOpenerTest)
#include "system_shell_opener_test.moc"
