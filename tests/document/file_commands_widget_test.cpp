// New, Open, Save, Save As and Close on a real main window, with the file dialog answered by
// the test.

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "document/common_dialog.h"
#include "editing/body_edit.h"
#include "editing/outline_tree.h"
#include "editing/title_box.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/window_test_support.h"

namespace {

const QString kOpenTitle = QStringLiteral("開く");
const QString kSaveTitle = QStringLiteral("名前を付けて保存");
const QString kQtFilter = QStringLiteral("モスリーフデータ(*.txt)");
const QString kFilter = QStringLiteral("モスリーフデータ(*.txt)|*.txt");
const QByteArray kSingleNode = QByteArrayLiteral("<**********>, 1 , 0 ,A\r\n\r\n");

struct Window {
    QTemporaryDir dir;
    MemorySettingsStore settings;
    MessageLog messages;
    DialogScript dialogs;
    std::unique_ptr<frmMain> form;

    explicit Window(const QString& commandLine = {}) {
        form = std::make_unique<frmMain>(settings);
        form->CommandLine = commandLine;
        startUp(*form);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString fileName() const { return QString::fromStdString(form->Doc.CurrentFileName); }
    // A root node "A" made through the popup's New node command.
    void makeOneNode() {
        const int before = form->Doc.Nodes.Count();
        form->Doc.CurrentKey.clear();
        form->mnuPopnew_Click();
        QTest::keyClicks(form->Text1, QStringLiteral("A"));
        QTest::keyClick(form->Text1, Qt::Key_Return);
        QCOMPARE(form->Doc.Nodes.Count(), before + 1);
    }
};

}  // namespace

class FileCommandsWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void saveUnnamedAsksOnceAndCancelSavesNothing() {
        Window w;
        w.makeOneNode();
        const QString target = w.path("one.txt");
        w.dialogs.answers << QString() << target;  // cancel, then a name
        w.form->mnuFileSave_Click();
        QCOMPARE(w.dialogs.requests.size(), 1);
        const CommonDialog::Request& asked = w.dialogs.requests.constFirst();
        QCOMPARE(asked.kind, CommonDialog::Kind::Save);
        QCOMPARE(asked.title, kSaveTitle);
        QCOMPARE(asked.qtFilter, kQtFilter);
        QCOMPARE(w.form->dlgCommonDialog->Filter, kFilter);
        QVERIFY(!w.form->dlgCommonDialog->CancelError);
        QVERIFY(w.fileName().isEmpty());
        QVERIFY(QDir(w.dir.path()).isEmpty());
        w.form->mnuFileSave_Click();
        QCOMPARE(w.fileName(), target);
        QCOMPARE(readBytes(target), kSingleNode);
        QFile::remove(target);
        w.form->mnuFileSave_Click();  // named now: no question
        QCOMPARE(w.dialogs.requests.size(), 2);
        QCOMPARE(readBytes(target), kSingleNode);
        QVERIFY(w.messages.texts().isEmpty());
    }

    // Save after Open writes back without a question; after New it asks again.
    void saveAfterOpenWritesBackNewAsksAgain() {
        Window w;
        const QString source = w.path("notes.txt");
        writeBytes(source, exampleOutline());
        w.dialogs.answers << source;
        w.form->mnuFileOpen_Click();
        QCOMPARE(w.dialogs.requests.constFirst().kind, CommonDialog::Kind::Open);
        QCOMPARE(w.dialogs.requests.constFirst().title, kOpenTitle);
        QCOMPARE(w.dialogs.requests.constFirst().qtFilter, kQtFilter);
        QCOMPARE(w.fileName(), source);
        writeBytes(source, "overwritten\r\n");
        w.form->mnuFileSave_Click();
        QCOMPARE(w.dialogs.requests.size(), 1);
        QCOMPARE(readBytes(source), exampleOutline());
        w.form->mnuFileNew_Click();
        QCOMPARE(w.form->Doc.Nodes.Count(), 0);
        QVERIFY(w.fileName().isEmpty());
        QVERIFY(w.form->Text2->toPlainText().isEmpty());
        w.form->mnuFileSave_Click();  // cancelled: no answer left
        QCOMPARE(w.dialogs.requests.size(), 2);
        QCOMPARE(w.dialogs.requests.last().kind, CommonDialog::Kind::Save);
        QCOMPARE(readBytes(source), exampleOutline());
    }

    // The Document on screen keeps its own name, so a later Save cannot write it over the file
    // the user tried to open.
    void failedOpenKeepsTheDocumentAndItsName_data() {
        QTest::addColumn<QString>("second");  // empty: the dialog is cancelled
        QTest::newRow("cancelled") << QString();
        QTest::newRow("missing file") << "missing.txt";
    }

    void failedOpenKeepsTheDocumentAndItsName() {
        QFETCH(QString, second);
        Window w;
        const QString source = w.path("notes.txt");
        const QString missing = second.isEmpty() ? QString() : w.path("missing.txt");
        writeBytes(source, exampleOutline());
        w.dialogs.answers << source << missing;
        w.form->mnuFileOpen_Click();
        w.form->mnuFileOpen_Click();
        QCOMPARE(w.messages.texts(),
                 second.isEmpty()
                     ? QStringList()
                     : QStringList{missing + QStringLiteral("\r\nファイルが開けません。")});
        QCOMPARE(w.form->dlgCommonDialog->FileName, second.isEmpty() ? source : missing);
        QCOMPARE(w.fileName(), source);
        QCOMPARE(w.form->Doc.Nodes.Count(), 3);
        QCOMPARE(w.form->Text2->toPlainText(), QStringLiteral("first line\nsecond line"));
        w.form->mnuFileSave_Click();
        QCOMPARE(w.dialogs.requests.size(), 2);
        QCOMPARE(readBytes(source), exampleOutline());
    }

    // Save As writes the typing the body has not stored yet, and later saves go to the new name.
    void saveAsStoresTheBodyAndChangesTheName() {
        Window w;
        const QString first = w.path("a.txt");
        const QString second = w.path("b.txt");
        writeBytes(first, exampleOutline());
        w.dialogs.answers << first << second;
        w.form->mnuFileOpen_Click();
        clickNode(*w.form, "S1");
        w.form->Text2->setFocus();
        w.form->Text2->moveCursor(QTextCursor::End);
        QTest::keyClicks(w.form->Text2, QStringLiteral("!"));
        w.form->mnuFileNameSave->trigger();
        QCOMPARE(w.dialogs.requests.last().kind, CommonDialog::Kind::Save);
        QCOMPARE(w.fileName(), second);
        const QByteArray saved = readBytes(second);
        QVERIFY(saved.contains("second line!\r\n"));
        writeBytes(first, "first\r\n");
        writeBytes(second, "second\r\n");
        w.form->mnuFileSave_Click();
        QCOMPARE(w.dialogs.requests.size(), 2);
        QCOMPARE(readBytes(first), QByteArray("first\r\n"));
        QCOMPARE(readBytes(second), saved);
    }

    void saveAsWithoutExtensionUsesTheNameAsTyped() {
        Window w;
        w.makeOneNode();
        const QString target = w.path("plain");
        w.dialogs.answers << target;
        w.form->mnuFileNameSave_Click();
        QCOMPARE(readBytes(target), kSingleNode);
        QVERIFY(!QFileInfo::exists(target + ".txt"));
        // an existing file is replaced without a question
        w.makeOneNode();
        w.dialogs.answers << target;
        w.form->mnuFileNameSave_Click();
        QCOMPARE(readBytes(target).count("<**********>"), 2);
        QVERIFY(w.messages.texts().isEmpty());
    }

    void openRejectedFileLeavesItUnnamed() {
        Window w;
        const QString plain = w.path("plain.txt");
        writeBytes(plain, "a note, not an outline\r\n");
        w.makeOneNode();
        w.dialogs.answers << plain;
        w.form->mnuFileOpen_Click();
        QCOMPARE(w.messages.texts(),
                 QStringList{plain + QStringLiteral("\r\nファイルの形式はツリー形式ではありません。"
                                                    "\r\n読みこみを中止します。")});
        QCOMPARE(w.form->Doc.Nodes.Count(), 0);
        QVERIFY(w.fileName().isEmpty());
        QVERIFY(w.form->Text2->toPlainText().isEmpty());
        w.form->mnuFileSave_Click();  // asks, and is cancelled
        QCOMPARE(readBytes(plain), QByteArray("a note, not an outline\r\n"));
    }

    void dialogsStartFromTheLastPath() {
        const QString start = QStringLiteral("/no/such/folder/start.txt");
        Window w(start);  // the command line names the file
        QCOMPARE(w.messages.texts().size(), 1);
        const QString chosen = w.path("chosen.txt");
        w.dialogs.answers << QString() << chosen << QString();
        w.form->mnuFileOpen_Click();      // cancelled
        w.form->mnuFileNameSave_Click();  // chooses
        w.form->mnuFileOpen_Click();      // cancelled
        QCOMPARE(w.dialogs.requests.size(), 3);
        QCOMPARE(w.dialogs.requests[0].startPath, start);
        QCOMPARE(w.dialogs.requests[1].startPath, start);
        QCOMPARE(w.dialogs.requests[2].startPath, chosen);
        QCOMPARE(w.form->dlgCommonDialog->FileName, chosen);
    }

    void saveFailureIsReported() {
        Window w;
        w.makeOneNode();
        const QString target = w.path("no-folder/one.txt");
        w.dialogs.answers << target;
        w.form->mnuFileNameSave_Click();
        QCOMPARE(w.messages.texts().size(), 1);
        const QString text = w.messages.texts().constFirst();
        QVERIFY2(text.startsWith(target + QStringLiteral("\r\nファイルに保存できません。")),
                 qPrintable(text));
        QCOMPARE(w.messages.shown().constFirst().icon, MessageBox::Icon::Exclamation);
        QCOMPARE(w.form->Doc.Nodes.Count(), 1);
        QVERIFY(!QFileInfo::exists(target));
    }

    void closeClosesTheWindow() {
        Window w;
        w.makeOneNode();
        w.form->mnuFileClose->trigger();
        QVERIFY(!w.form->isVisible());
        QVERIFY(w.dialogs.requests.isEmpty());
        QCOMPARE(w.settings.writes, 4);
    }

    void qtFilter_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qt");
        // clang-format off
        QTest::newRow("the program's one type") << kFilter << kQtFilter;
        QTest::newRow("description without pattern") << QStringLiteral("Text|*.txt") << QStringLiteral("Text (*.txt)");
        QTest::newRow("two types, two patterns") << QStringLiteral("Notes|*.txt;*.log|All|*.*") << QStringLiteral("Notes (*.txt *.log);;All (*.*)");
        QTest::newRow("empty") << QString() << QString();
        // clang-format on
    }

    void qtFilter() {
        QFETCH(QString, filter);
        QTEST(CommonDialog::toQtFilter(filter), "qt");
    }

    void loadShowsFirstBodyAndSecondNode_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("firstExpanded");
        // clang-format off
        QTest::newRow("worked example") << exampleOutline() << QStringLiteral("first line\nsecond line") << true;
        QTest::newRow("one record") << QByteArrayLiteral("<**********>, 1 , 0 ,A\r\nonly\r\n") << QStringLiteral("only") << false;
        QTest::newRow("empty file") << QByteArray() << QString() << false;
        QTest::newRow("two roots") << QByteArrayLiteral("<**********>, 1 , 0 ,A\r\na\r\n<**********>, 2 , 0 ,B\r\nb\r\n") << QStringLiteral("a") << false;
        // clang-format on
    }

    void loadShowsFirstBodyAndSecondNode() {
        QFETCH(QByteArray, file);
        Window w;
        w.makeOneNode();
        w.form->Text2->setPlainText(QStringLiteral("left over"));
        const QString source = w.path("in.txt");
        writeBytes(source, file);
        w.form->LoadDocument(source);
        QTEST(w.form->Text2->toPlainText(), "body");
        if (w.form->TreeView1->topLevelItemCount() > 0) {
            QTEST(w.form->TreeView1->topLevelItem(0)->isExpanded(), "firstExpanded");
        }
        QVERIFY(w.form->TreeView1->selectedItems().isEmpty());
        QVERIFY(w.messages.texts().isEmpty());
    }
};

QTEST_MAIN(FileCommandsWidgetTest)
#include "file_commands_widget_test.moc"
