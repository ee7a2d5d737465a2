// The manual as it ships: beside the program in the build tree and in an installed tree,
// readable, and opened through the desktop from either place.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "launch/desktop_handler.h"
#include "launch/help_command.h"
#include "launch/system_shell_opener.h"
#include "widgets/message_recorder.h"

using namespace mossleaf;

namespace {

constexpr int kDeadlineMs = 10000;
const QString kProgramDir = QStringLiteral(MOSSLEAF_PROGRAM_DIR);
const QString kBuildDir = QStringLiteral(MOSSLEAF_BUILD_DIR);

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class HelpPageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        received_ = dir_.filePath(QStringLiteral("received.txt"));
        haveGio_ = !QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty();

        // A browser of our own: it writes the page it was given to a file.
        QVERIFY(desktophandler::install(dir_.path(), received_, {"text/html"}));
    }

    void pageLiesBesideTheProgram() {
        QVERIFY(QFileInfo(kProgramDir + QStringLiteral("/mossleaf")).isExecutable());
        QCOMPARE(readAll(kProgramDir + QStringLiteral("/help.htm")),
                 readAll(QStringLiteral(MOSSLEAF_HELP_SOURCE)));
    }

    void pageIsUtf8Html() {
        const QByteArray page = readAll(kProgramDir + QStringLiteral("/help.htm"));
        QVERIFY(page.size() > 4000);
        QVERIFY(QByteArrayView(page).isValidUtf8());
        QVERIFY(!page.startsWith("\xEF\xBB\xBF"));
        QVERIFY(page.toLower().contains("<meta charset=\"utf-8\">"));
        QVERIFY(page.contains("<html lang=\"ja\">"));
        QVERIFY(page.trimmed().endsWith("</html>"));
    }

    void manualCoversTheCommands_data() {
        QTest::addColumn<QString>("text");
        // clang-format off
        for (const char* caption : {"ﾌｧｲﾙ(F)", "新規作成(N)", "開く(O)...", "上書き保存(V)", "名前を付けて保存", "閉じる(C)",
                                    "編集(E)", "ｺﾋﾟｰ(C)", "置換", "実行", "ﾍﾙﾌﾟ(H)", "操作説明(H)", "ﾊﾞｰｼﾞｮﾝ情報(A)",
                                    "ｼｽﾃﾑ情報(S)...", "名前変更", "削除", "キャンセル", "&lt;**********&gt;, 1 , 0 ,", "256",
                                    "512", "Mailto:", "登録件数が最大値を超えました。", "見出しが長すぎるため、入力できません", "10,000",
                                    "は開けません", "バージョン 1.0.1"}) {
            // clang-format on
            QTest::newRow(caption) << QString::fromUtf8(caption);
        }
    }

    void manualCoversTheCommands() {
        QFETCH(QString, text);
        static const QString page =
            QString::fromUtf8(readAll(kProgramDir + QStringLiteral("/help.htm")));
        QVERIFY2(page.contains(text), qPrintable(text));
    }

    void opensFromTheBuildTree() { openAndExpect(kProgramDir); }

    void opensFromAnInstalledTree() {
        const QString cmake = QStringLiteral(MOSSLEAF_CMAKE_COMMAND);
        const QString prefix = dir_.filePath(QStringLiteral("prefix"));
        QProcess install;
        install.start(cmake,
                      {QStringLiteral("--install"), kBuildDir, QStringLiteral("--prefix"), prefix});
        QVERIFY(install.waitForFinished(60000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());

        // The program and its manual end up in one folder.
        const QString installed = prefix + QStringLiteral("/lib/mossleaf");
        QVERIFY(QFileInfo(installed + QStringLiteral("/mossleaf")).isExecutable());
        QVERIFY(QFileInfo(installed + QStringLiteral("/help.htm")).isFile());
        openAndExpect(installed);
    }
    void init() { QFile::remove(received_); }

private:
    void openAndExpect(const QString& appDir) {
        if (!haveGio_) {
            QSKIP("gio is not installed");
        }
        SystemShellOpener shell;
        MessageLog messages;
        HHelp::showHelp(nullptr, shell, appDir);
        QCOMPARE(messages.shown().size(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(received_), kDeadlineMs);
        QCOMPARE(desktophandler::asPath(desktophandler::readFile(received_)),
                 appDir + QStringLiteral("/help.htm"));
    }

    QTemporaryDir dir_;
    QString received_;
    bool haveGio_ = false;
};

QTEST_GUILESS_MAIN(HelpPageTest)
#include "help_page_test.moc"
