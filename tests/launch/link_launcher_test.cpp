// The link and help page launcher against a fake shell: which targets reach the shell, in
// which order, and which message the user sees.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include "launch/app_dir.h"
#include "launch/fake_shell_opener.h"
#include "launch/help_command.h"
#include "launch/link_launcher.h"
#include "widgets/message_recorder.h"

using namespace mossleaf;

namespace {

const QString kNoBrowser = QStringLiteral(
    "ヘルプを表示するにはＨＴＭＬ対応のブラウザが必要です。\r"
    " インターネットエクスプローラなどを準備してください。\r"
    "   とりあえず 表示しますが、正しく表示できません");

QStringList withRoot(const QStringList& paths, const QString& root) {
    QStringList result;
    for (const QString& path : paths) {
        result << QString(path).replace(QStringLiteral("%D"), root);
    }
    return result;
}

// Makes the files and (names ending in "/") directories under `root`.
void makeEntries(const QString& root, const QStringList& entries) {
    for (const QString& entry : entries) {
        const QString path = root + QLatin1Char('/') + entry;
        if (entry.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir().mkpath(path));
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("<html></html>\n");
        }
    }
}

}  // namespace

class LinkLauncherTest : public QObject {
    Q_OBJECT

private slots:
    void openLink_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("opens");
        QTest::addColumn<QStringList>("expectedCalls");
        QTest::addColumn<QString>("expectedMessage");

        const QString web = QStringLiteral("https://example.com/");
        const QString mail = QStringLiteral("taro@mail.example.jp");
        const QString mailto = QStringLiteral("Mailto:") + mail;
        const QString no = QStringLiteral("は開けません");
        // A target that is no mail address is not retried, even when Mailto: would open it.
        auto notMail = [&](const char* tag, const QString& target) {
            QTest::newRow(tag) << target << QStringList{"Mailto:" + target} << QStringList{target}
                               << target + no;
        };
        // clang-format off
        QTest::newRow("web address opens at once") << web << QStringList{web} << QStringList{web} << "";
        QTest::newRow("mail address opened by the shell directly") << mail << QStringList{mail} << QStringList{mail} << "";
        QTest::newRow("bare mail address retried as Mailto:") << mail << QStringList{mailto} << QStringList{mail, mailto} << "";
        QTest::newRow("Mailto: attempt fails too, message names the bare target") << mail << QStringList{} << QStringList{mail, mailto} << mail + no;
        notMail("one dot is no mail address", "taro@example.jp");
        notMail("two at signs are no mail address", "a@b@mail.example.jp");
        notMail("half-width space is no mail address", "taro @mail.example.jp");
        notMail("full-width at sign does not count", "taro＠mail.example.jp");
        const QString wideSpace = QStringLiteral("taro　@mail.example.jp");
        QTest::newRow("full-width space does not count") << wideSpace << QStringList{"Mailto:" + wideSpace} << QStringList{wideSpace, "Mailto:" + wideSpace} << "";
        QTest::newRow("trailing space is kept") << web + " " << QStringList{web} << QStringList{web + " "} << web + " " + no;
        QTest::newRow("empty target still goes to the shell") << "" << QStringList{} << QStringList{""} << no;
        const QString japanese = QStringLiteral("/home/太郎/メモ 2026.txt");
        QTest::newRow("document that does not open") << japanese << QStringList{} << QStringList{japanese} << japanese + no;
        // clang-format on
    }

    void openLink() {
        QFETCH(QString, target);
        QFETCH(QStringList, opens);
        QFETCH(QStringList, expectedCalls);
        QFETCH(QString, expectedMessage);

        QWidget owner;
        FakeShellOpener shell;
        shell.opens = QSet<QString>(opens.begin(), opens.end());
        MessageLog messages;

        HHelp::OpenLink(&owner, shell, target);

        QCOMPARE(shell.calls, expectedCalls);
        QCOMPARE(shell.owners, QList<QWidget*>(expectedCalls.size(), &owner));
        QCOMPARE(messages.texts(),
                 expectedMessage.isEmpty() ? QStringList() : QStringList{expectedMessage});
        if (!expectedMessage.isEmpty()) {
            QCOMPARE(messages.shown().first().icon, MessageBox::Icon::Exclamation);
            QCOMPARE(messages.shown().first().title, QStringLiteral("Mossleaf"));
        }
    }

    void openHelpPage_data() {
        QTest::addColumn<QStringList>("entries");  // made under the root; "x/" is a directory
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("opens");
        QTest::addColumn<QStringList>("expectedCalls");
        QTest::addColumn<bool>("expectWarning");

        // clang-format off
        QTest::newRow("no dot: .HTM finds help.htm") << QStringList{"app/help.htm"} << "%D/app/help" << QStringList{"%D/app/help.htm"} << QStringList{"%D/app/help.htm"} << false;
        QTest::newRow("no dot: the same attempt twice, then the warning") << QStringList{"app/help.htm"} << "%D/app/help" << QStringList{} << QStringList{"%D/app/help.htm", "%D/app/help.htm"} << true;
        QTest::newRow("no dot, no page: the target stays as built") << QStringList{"app/"} << "%D/app/help" << QStringList{} << QStringList{"%D/app/help.HTM", "%D/app/help.HTM"} << true;
        QTest::newRow("name in capitals found as it is") << QStringList{"app/HELP.HTM"} << "%D/app/help" << QStringList{"%D/app/HELP.HTM"} << QStringList{"%D/app/HELP.HTM"} << false;
        QTest::newRow("exact name wins over another case") << QStringList{"app/help.HTM", "app/help.htm"} << "%D/app/help" << QStringList{"%D/app/help.HTM"} << QStringList{"%D/app/help.HTM"} << false;
        QTest::newRow("dot in a directory: without extension first") << QStringList{"my.app/help.htm"} << "%D/my.app/help" << QStringList{"%D/my.app/help.htm"} << QStringList{"%D/my.app/help", "%D/my.app/help.htm"} << false;
        QTest::newRow("dot in a directory: both fail") << QStringList{"my.app/help.htm"} << "%D/my.app/help" << QStringList{} << QStringList{"%D/my.app/help", "%D/my.app/help.htm"} << true;
        QTest::newRow("page with extension opens unchanged") << QStringList{"app/help.htm"} << "%D/app/help.htm" << QStringList{"%D/app/help.htm"} << QStringList{"%D/app/help.htm"} << false;
        QTest::newRow("page with extension: .HTM appended after it") << QStringList{"app/help.htm"} << "%D/app/help.htm" << QStringList{} << QStringList{"%D/app/help.htm", "%D/app/help.htm.HTM"} << true;
        // clang-format on
    }

    void openHelpPage() {
        QFETCH(QStringList, entries);
        QFETCH(QString, page);
        QFETCH(QStringList, opens);
        QFETCH(QStringList, expectedCalls);
        QFETCH(bool, expectWarning);

        const QString root = rootWith(entries);
        if (root.isEmpty()) {
            QSKIP("no temporary folder without a '.' in its path");
        }
        QWidget owner;
        FakeShellOpener shell;
        const QStringList opening = withRoot(opens, root);
        shell.opens = QSet<QString>(opening.begin(), opening.end());
        MessageLog messages;

        HHelp::OpenHelpPage(&owner, shell, withRoot({page}, root).first());

        QCOMPARE(shell.calls, withRoot(expectedCalls, root));
        QCOMPARE(messages.texts(), expectWarning ? QStringList{kNoBrowser} : QStringList());
    }

    void showHelp_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("browserOpens");
        QTest::addColumn<QStringList>("expectedCalls");
        QTest::addColumn<QString>("expectedMessage");

        // clang-format off
        QTest::newRow("page present") << QStringList{"help.htm"} << true << QStringList{"%D/help.htm"} << "";
        QTest::newRow("page present, no browser") << QStringList{"help.htm"} << false << QStringList{"%D/help.htm", "%D/help.htm"} << kNoBrowser;
        QTest::newRow("page missing") << QStringList{} << true << QStringList{} << "%D/help.htmがありません。";
        QTest::newRow("directory named help.htm is no page") << QStringList{"help.htm/"} << true << QStringList{} << "%D/help.htmがありません。";
        QTest::newRow("page named in capitals") << QStringList{"Help.HTM"} << true << QStringList{"%D/Help.HTM"} << "";
        // clang-format on
    }

    void showHelp() {
        QFETCH(QStringList, entries);
        QFETCH(bool, browserOpens);
        QFETCH(QStringList, expectedCalls);
        QFETCH(QString, expectedMessage);

        const QString root = rootWith(entries);
        if (root.isEmpty()) {
            QSKIP("no temporary folder without a '.' in its path");
        }
        QWidget owner;
        FakeShellOpener shell;
        if (browserOpens) {
            for (const QString& entry : entries) {
                shell.opens << root + QLatin1Char('/') + entry;
            }
        }
        MessageLog messages;

        HHelp::showHelp(&owner, shell, root);

        QCOMPARE(shell.calls, withRoot(expectedCalls, root));
        QCOMPARE(messages.texts(),
                 expectedMessage.isEmpty() ? QStringList() : withRoot({expectedMessage}, root));
    }

    void appDirOf_data() {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("root") << "/" << "";
        QTest::newRow("ordinary directory") << "/usr/lib/mossleaf" << "/usr/lib/mossleaf";
        QTest::newRow("directory with a dot") << "/opt/moss.leaf" << "/opt/moss.leaf";
        QTest::newRow("trailing slash dropped") << "/opt/mossleaf/" << "/opt/mossleaf";
        // clang-format on
    }

    void appDirOf() {
        QFETCH(QString, directory);
        QTEST(FILE01::appDirOf(directory), "expected");
    }

    void appDirIsTheExecutablesDirectory() {
        const QString dir = FILE01::AppDir();
        QVERIFY(!dir.endsWith(QLatin1Char('/')));
        QCOMPARE(
            dir + QLatin1Char('/') + QFileInfo(QCoreApplication::applicationFilePath()).fileName(),
            QCoreApplication::applicationFilePath());
    }

private:
    // A fresh folder holding `entries`, without "." in its path so that the dot rules see
    // only what a row adds; empty when no such folder can be made.
    QString rootWith(const QStringList& entries) {
        auto dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/mlXXXXXX"));
        if (!dir->isValid() || dir->path().contains(QLatin1Char('.'))) {
            return {};
        }
        const QString path = dir->path();
        dirs_.push_back(std::move(dir));
        makeEntries(path, entries);
        return path;
    }

    std::vector<std::unique_ptr<QTemporaryDir>> dirs_;
};

QTEST_MAIN(LinkLauncherTest)
#include "link_launcher_test.moc"
