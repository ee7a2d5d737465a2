// Copy, Execute, Help and About as the main window runs them, on the text Text2 shows.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "about/frm_about.h"
#include "editing/body_edit.h"
#include "editing/outline_tree.h"
#include "launch/app_dir.h"
#include "launch/fake_shell_opener.h"
#include "launch/message_recorder.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/settings_store.h"

namespace {

class MemorySettings : public SettingsStore {
public:
    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& defaultValue) override {
        return values_.value(app + '/' + section + '/' + key, defaultValue);
    }
    void SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override {
        values_.insert(app + '/' + section + '/' + key, value);
    }

private:
    QMap<QString, QString> values_;
};

// Selects `length` characters of `edit` from `start`.
void select(QPlainTextEdit& edit, int start, int length) {
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
}

}  // namespace

class LaunchCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void copyTakesTheWholeBody_data();
    void copyTakesTheWholeBody();
    void ctrlCCopiesTheWholeBody();
    void executeOpensTheFirstLine_data();
    void executeOpensTheFirstLine();
    void executeUsesTypedTextAndKeepsTheFocus();
    void helpOpensThePageBesideTheProgram();
    void helpReportsAMissingPage();
    void aboutShowsAFreshModalDialogEachTime();

private:
    QString helpPage() const { return FILE01::AppDir() + QStringLiteral("/help.htm"); }

    MemorySettings settings_;
    std::unique_ptr<frmMain> form_;
    FakeShellOpener shell_;
};

void LaunchCommandsTest::init() {
    shell_ = FakeShellOpener();
    form_ = std::make_unique<frmMain>(settings_);
    form_->setShellOpener(&shell_);
    QGuiApplication::clipboard()->setText(QStringLiteral("left over"));
}

void LaunchCommandsTest::cleanup() {
    form_.reset();
    QFile::remove(helpPage());
}

void LaunchCommandsTest::copyTakesTheWholeBody_data() {
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");

    QTest::newRow("part of a multi-line body selected")
        << QStringLiteral("https://example.com/\n二行目\n三行目") << 4 << 6;
    QTest::newRow("nothing selected") << QStringLiteral("一行だけ") << 0 << 0;
    QTest::newRow("empty body") << QString() << 0 << 0;
    QTest::newRow("no-break space and tab kept") << QStringLiteral("a\u00a0b\tc\n") << 0 << 1;
    QTest::newRow("trailing empty lines kept") << QStringLiteral("x\n\n\n") << 1 << 2;
    QTest::newRow("line break typed with Shift+Enter")
        << QStringLiteral("https://example.com/\u2028second") << 0 << 3;
}

void LaunchCommandsTest::copyTakesTheWholeBody() {
    QFETCH(QString, shown);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    form_->Text2->setPlainText(shown);
    select(*form_->Text2, selectionStart, selectionLength);

    form_->mnuEditCopy_Click();

    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString(shown).replace(QChar::LineSeparator, QLatin1Char('\n')));
}

void LaunchCommandsTest::ctrlCCopiesTheWholeBody() {
    form_->show();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    form_->Text2->setPlainText(QStringLiteral("一行目\n二行目"));
    form_->Text2->setFocus();
    select(*form_->Text2, 0, 2);
    QTest::keyClick(form_->Text2, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("一行目\n二行目"));
}

void LaunchCommandsTest::executeOpensTheFirstLine_data() {
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expectedTarget");

    QTest::newRow("web address on the first of several lines")
        << QStringLiteral("https://example.com/\nhttps://other.example/\n")
        << "https://example.com/";
    QTest::newRow("body without a line break")
        << QStringLiteral("/home/太郎/メモ.txt") << "/home/太郎/メモ.txt";
    QTest::newRow("body starting with an empty line")
        << QStringLiteral("\nhttps://example.com/") << "";
    QTest::newRow("empty body") << QString() << "";
    QTest::newRow("line break typed with Shift+Enter")
        << QStringLiteral("https://example.com/\u2028second") << "https://example.com/";
    QTest::newRow("spaces and tabs kept") << QStringLiteral(" \t/tmp/a b \nx") << " \t/tmp/a b ";
    const QString longLine(40000, QLatin1Char('x'));
    QTest::newRow("body longer than 32767 characters")
        << longLine + QStringLiteral("\n") + QString(40000, QLatin1Char('y')) << longLine;
}

void LaunchCommandsTest::executeOpensTheFirstLine() {
    QFETCH(QString, shown);
    QFETCH(QString, expectedTarget);
    form_->Text2->setPlainText(shown);
    MessageRecorder messages;

    form_->mnuExe_Click();

    QCOMPARE(shell_.calls, QStringList{expectedTarget});
    QCOMPARE(shell_.owners.first(), form_.get());
    // Nothing opens in the fake shell, so the launcher names the target.
    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(messages.shown().first().text, expectedTarget + QStringLiteral("は開けません"));
}

void LaunchCommandsTest::executeUsesTypedTextAndKeepsTheFocus() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString outline = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(outline);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<**********>, 1 , 0 ,Notes\r\nhttps://stored.example/\r\n");
    file.close();
    form_->show();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    form_->LoadDocument(outline);
    // The user clicks the node, as the tree reports it.
    QTreeWidgetItem* item = form_->TreeView1->itemForKey("S1");
    QVERIFY(item != nullptr);
    QTest::mouseClick(form_->TreeView1->viewport(), Qt::LeftButton, {},
                      form_->TreeView1->visualItemRect(item).center());
    QCOMPARE(form_->Text2->toPlainText(), QStringLiteral("https://stored.example/"));

    // A new first line, typed and not yet stored.
    form_->Text2->setFocus();
    QTest::keyClick(form_->Text2, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form_->Text2, QStringLiteral("taro@mail.example.jp"));
    QTest::keyClick(form_->Text2, Qt::Key_Return);
    QTest::keyClicks(form_->Text2, QStringLiteral("second"));
    shell_.opens << QStringLiteral("Mailto:taro@mail.example.jp");
    MessageRecorder messages;

    form_->mnuExe_Click();

    QCOMPARE(shell_.calls, (QStringList{QStringLiteral("taro@mail.example.jp"),
                                        QStringLiteral("Mailto:taro@mail.example.jp")}));
    QCOMPARE(messages.shown().size(), 0);
    QCOMPARE(QApplication::focusWidget(), form_->Text2);
    QCOMPARE(form_->Doc.BodyTable[1].text(), std::u16string(u"https://stored.example/"));
}

void LaunchCommandsTest::helpOpensThePageBesideTheProgram() {
    QFile page(helpPage());
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.close();
    shell_.opens << helpPage();
    MessageRecorder messages;

    form_->mnuHelpHELP_Click();

    QCOMPARE(shell_.calls.last(), helpPage());
    QCOMPARE(shell_.owners.last(), form_.get());
    QCOMPARE(messages.shown().size(), 0);
}

void LaunchCommandsTest::helpReportsAMissingPage() {
    QVERIFY(!QFileInfo::exists(helpPage()));
    MessageRecorder messages;

    form_->mnuHelpHELP_Click();

    QCOMPARE(shell_.calls.size(), 0);
    QCOMPARE(messages.shown().size(), 1);
    QCOMPARE(messages.shown().first().text, helpPage() + QStringLiteral("がありません。"));
}

void LaunchCommandsTest::aboutShowsAFreshModalDialogEachTime() {
    form_->show();
    QList<QObject*> seen;
    for (int round = 0; round < 2; ++round) {
        bool checked = false;
        QTimer::singleShot(0, this, [&] {
            auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            QVERIFY(about != nullptr);
            QCOMPARE(about->parentWidget(), form_.get());
            QVERIFY(about->isModal());
            QCOMPARE(about->lblVersion->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.0.1"));
            seen << about;
            checked = true;
            about->cmdOK->click();
        });
        form_->mnuHelpAbout_Click();
        QVERIFY(checked);
        QCOMPARE(form_->findChildren<frmAbout*>().size(), 0);
    }
    QCOMPARE(seen.size(), 2);
}

QTEST_MAIN(LaunchCommandsTest)
#include "launch_commands_test.moc"
