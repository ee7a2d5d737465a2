// Copy, Execute, Help and About as the main window runs them, on the text Text2 shows.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include "about/frm_about.h"
#include "editing/body_edit.h"
#include "launch/app_dir.h"
#include "launch/fake_shell_opener.h"
#include "mainwindow/window_test_support.h"
#include "widgets/long_line.h"

using namespace mossleaf;

class LaunchCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        shell_ = FakeShellOpener();
        form_ = std::make_unique<frmMain>(settings_);
        form_->setShellOpener(&shell_);
        QGuiApplication::clipboard()->setText(QStringLiteral("left over"));
    }

    void cleanup() {
        form_.reset();
        QFile::remove(helpPage());
    }

    void copyTakesTheWholeBody_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("selectionStart");
        QTest::addColumn<int>("selectionLength");
        // clang-format off
        QTest::newRow("part of a multi-line body selected") << QStringLiteral("https://example.com/\n二行目\n三行目") << 4 << 6;
        QTest::newRow("nothing selected") << QStringLiteral("一行だけ") << 0 << 0;
        QTest::newRow("no-break space and tab kept") << QStringLiteral("a\u00a0b\tc\n") << 0 << 1;
        QTest::newRow("trailing empty lines kept") << QStringLiteral("x\n\n\n") << 1 << 2;
        QTest::newRow("line break typed with Shift+Enter") << QStringLiteral("https://example.com/\u2028second") << 0 << 3;
        // clang-format on
    }

    void copyTakesTheWholeBody() {
        QFETCH(QString, shown);
        QFETCH(int, selectionStart);
        QFETCH(int, selectionLength);
        form_->Text2->showBody(shown);
        QTextCursor cursor = form_->Text2->textCursor();
        cursor.setPosition(selectionStart);
        cursor.setPosition(selectionStart + selectionLength, QTextCursor::KeepAnchor);
        form_->Text2->setTextCursor(cursor);

        form_->mnuEditCopy_Click();

        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString(shown).replace(QChar::LineSeparator, QLatin1Char('\n')));
    }

    void executeOpensTheFirstLine_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("expectedTarget");
        // clang-format off
        QTest::newRow("web address on the first of several lines") << QStringLiteral("https://example.com/\nhttps://other.example/\n") << "https://example.com/";
        QTest::newRow("line break typed with Shift+Enter") << QStringLiteral("https://example.com/\u2028second") << "https://example.com/";
        QTest::newRow("spaces and tabs kept") << QStringLiteral(" \t/tmp/a b \nx") << " \t/tmp/a b ";
        // clang-format on
    }

    void executeOpensTheFirstLine() {
        QFETCH(QString, shown);
        QFETCH(QString, expectedTarget);
        form_->Text2->showBody(shown);
        MessageLog messages;

        form_->mnuExe_Click();

        QCOMPARE(shell_.calls, QStringList{expectedTarget});
        QCOMPARE(shell_.owners.first(), form_.get());
        // Nothing opens in the fake shell, so the launcher names the target.
        QCOMPARE(messages.texts(), QStringList{expectedTarget + QStringLiteral("は開けません")});
    }

    // However long the first line, the shell gets it whole; the message names it shortened in
    // the middle to what a box shows on this screen.
    void executeNamesALongLinkShortened_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("rest");  // the body after the first line
        QTest::addColumn<bool>("shortened");
        const QString latin = "https://example.com/" + QString("a").repeated(1 << 20) + "/end";
        const QString japanese = QString("日本語のリンク").repeated(6000) + "終わり";
        const QString pairs = QString::fromUtf16(u"\U0001F600").repeated(600);
        // clang-format off
        QTest::newRow("Latin without blanks, 1 MiB, the only line") << latin << "" << true;
        QTest::newRow("Japanese, 42,000, then more lines") << japanese << "\n" + QString(40000, QLatin1Char('y')) << true;
        QTest::newRow("surrogate pairs only") << pairs << "\nx" << true;
        QTest::newRow("a link that fits is named whole") << "https://example.com/a b" << "\nx" << false;
        // clang-format on
    }

    void executeNamesALongLinkShortened() {
        QFETCH(QString, link);
        QFETCH(QString, rest);
        QFETCH(bool, shortened);
        form_->Text2->showBody(link + rest);
        MessageLog messages;
        form_->mnuExe_Click();
        QCOMPARE(shell_.calls, QStringList{link});
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY(messages.texts().first().endsWith(QStringLiteral("は開けません")));
        const QString named = messages.texts().first().chopped(6);
        QCOMPARE(named != link, shortened);
        if (shortened) {
            const QStringList ends = named.split(QChar(0x2026));
            QCOMPARE(ends.size(), 2);
            QVERIFY(link.startsWith(ends[0]) && link.endsWith(ends[1]));
            QVERIFY(ends[0].size() > 8 && qAbs(ends[0].size() - ends[1].size()) <= 2);
            QVERIFY(named.isValidUtf16());  // no pair cut in two
        }
        const QFontMetrics metrics(QApplication::font("QMessageBox"));
        QVERIFY(metrics.horizontalAdvance(named) <= form_->screen()->availableGeometry().width());
    }

    // Help looks beside the program: first without the page, then with it. Where the
    // program's folder holds a "." the launcher tries the name without extension before the
    // page, so only the attempt that opens is fixed here; the order is the launcher's test.
    void helpOpensThePageBesideTheProgram() {
        MessageLog messages;
        form_->mnuHelpHELP_Click();
        QCOMPARE(shell_.calls.size(), 0);
        // a long build path is shortened in the message as every path is
        QCOMPARE(messages.texts(), QStringList{LongLine::forMessage(helpPage(), form_.get()) +
                                               QStringLiteral("がありません。")});

        QFile page(helpPage());
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        shell_.opens << helpPage();
        form_->mnuHelpHELP_Click();
        QVERIFY(!shell_.calls.isEmpty());
        QCOMPARE(shell_.calls.last(), helpPage());
        QCOMPARE(shell_.owners, QList<QWidget*>(shell_.calls.size(), form_.get()));
        QCOMPARE(messages.shown().size(), 1);
    }

    void aboutShowsAFreshModalDialogEachTime() {
        form_->show();
        for (int round = 0; round < 2; ++round) {
            bool checked = false;
            QTimer::singleShot(0, this, [&] {
                auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
                QVERIFY(about != nullptr);
                QCOMPARE(about->parentWidget(), form_.get());
                QVERIFY(about->isModal());
                checked = true;
                about->cmdOK->click();
            });
            form_->mnuHelpAbout_Click();
            QVERIFY(checked);
            QCOMPARE(form_->findChildren<frmAbout*>().size(), 0);
        }
    }

private:
    QString helpPage() const { return FILE01::AppDir() + QStringLiteral("/help.htm"); }

    MemorySettingsStore settings_;
    std::unique_ptr<frmMain> form_;
    FakeShellOpener shell_;
};

QTEST_MAIN(LaunchCommandsTest)
#include "launch_commands_test.moc"
