// New, Open, Save, Save As and Close on a real main window, with the file dialog answered by
// the test.

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <stdexcept>

#include "document/common_dialog.h"
#include "document/file_commands.h"
#include "editing/body_edit.h"
#include "editing/outline_tree.h"
#include "editing/title_box.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/window_test_support.h"
#include "widgets/local_path.h"
#include "widgets/message_box.h"
#include "widgets/qt_text.h"

using namespace mossleaf;

namespace {

const QString kOpenTitle = QStringLiteral("開く");
const QString kSaveTitle = QStringLiteral("名前を付けて保存");
const QString kQtFilter = QStringLiteral("モスリーフデータ(*.txt)");
const QString kFilter = QStringLiteral("モスリーフデータ(*.txt)|*.txt");
const QByteArray kSingleNode = QByteArrayLiteral("<**********>, 1 , 0 ,A\r\n\r\n");
const QString kNoSuchFile = QStringLiteral("No such file or directory");
const QByteArray kSjisMemo = QByteArrayLiteral("\x83\x81\x83\x82");  // メモ in Shift-JIS

// Files whose names Qt cannot hold are made and read through their bytes.
bool writeRaw(const std::string& path, const QByteArray& bytes) {
    std::ofstream file(path, std::ios::binary);
    return bool(file.write(bytes.constData(), bytes.size()).flush());
}

QByteArray readRaw(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return QByteArray::fromStdString(
        {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()});
}

// Qt cannot remove what it cannot name, so the folder goes by its bytes.
struct TemporaryDir : QTemporaryDir {
    ~TemporaryDir() { std::filesystem::remove_all(QFile::encodeName(path()).toStdString()); }
};

// Entries in `folder`, names Qt cannot hold included.
std::ptrdiff_t entryCount(const QString& folder) {
    const std::filesystem::directory_iterator entries(QFile::encodeName(folder).toStdString());
    return std::distance(begin(entries), end(entries));
}

QByteArray manyRecords(int count) {
    QByteArray file;
    for (int i = 1; i <= count; ++i) {
        file += QStringLiteral("<**********>, %1 , 0 ,N%1\r\n\r\n").arg(i).toLatin1();
    }
    return file;
}

// Runs `action` once on the first visible window of type T, looking for it from the event
// loop; modal dialogs run their own loops, so this is how a test works a real dialog.
template <typename T>
void whenShown(QObject* owner, std::function<void(T*)> action) {
    auto* timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<T*>(window); found && found->isVisible()) {
                timer->stop();
                return action(found);
            }
        }
    });
    timer->start(20);
}

// Works the real file dialog by keys: Enter on `path`'s name as Qt shows it. A message box
// goes to `answer`; a file dialog still or again on screen after that is cancelled.
void enterInRealDialog(QObject* owner, const std::string& path,
                       std::function<void(QMessageBox*)> answer) {
    whenShown<QFileDialog>(owner, [owner, path, answer](QFileDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit);
        edit->setText(LocalPath::toQtName(LocalPath::fromBytes(path)));
        whenShown<QMessageBox>(owner, [owner, answer](QMessageBox* box) {
            answer(box);
            whenShown<QFileDialog>(owner, [](QFileDialog* again) { again->reject(); });
        });
        QTest::keyClick(edit, Qt::Key_Return);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
}

struct Window {
    TemporaryDir dir;
    MemorySettingsStore settings;
    MessageLog messages;
    DialogScript dialogs;
    std::unique_ptr<frmMain> form;

    explicit Window(const QString& commandLine = {}) {
        form = std::make_unique<frmMain>(settings);
        form->commandLine = commandLine;
        startUp(*form);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString fileName() const { return LocalPath::fromBytes(form->doc.CurrentFileName); }
    std::string rawPath(const QByteArray& name) const {
        return QFile::encodeName(dir.path()).toStdString() + '/' + name.toStdString();
    }
    // A root node "A" made through the popup's New node command.
    void makeOneNode() {
        const int before = form->doc.Nodes.Count();
        form->doc.CurrentKey.clear();
        form->mnuPopnew_Click();
        QTest::keyClicks(form->Text1, QStringLiteral("A"));
        QTest::keyClick(form->Text1, Qt::Key_Return);
        QCOMPARE(form->doc.Nodes.Count(), before + 1);
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
        QVERIFY(QFile::remove(source));
        w.form->mnuFileSave_Click();
        QCOMPARE(w.dialogs.requests.size(), 1);
        QCOMPARE(readBytes(source), exampleOutline());
        w.form->mnuFileNew_Click();
        QCOMPARE(w.form->doc.Nodes.Count(), 0);
        QVERIFY(w.fileName().isEmpty());
        QVERIFY(w.form->Text2->bodyText().isEmpty());
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
                     : QStringList{missing + QStringLiteral("\r\nファイルが開けません。\r\n") +
                                   kNoSuchFile});
        QCOMPARE(w.form->dlgCommonDialog->FileName, second.isEmpty() ? source : missing);
        QCOMPARE(w.fileName(), source);
        QCOMPARE(w.form->doc.Nodes.Count(), 3);
        QCOMPARE(w.form->Text2->bodyText(), QStringLiteral("first line\nsecond line"));
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
        QVERIFY(QFile::remove(second));
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
        // an existing name the dialog answers with is replaced (the real dialog has asked)
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
        QCOMPARE(w.form->doc.Nodes.Count(), 0);
        QVERIFY(w.fileName().isEmpty());
        QVERIFY(w.form->Text2->bodyText().isEmpty());
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
        QCOMPARE(w.form->doc.Nodes.Count(), 1);
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

    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    // Enter on the offered name of an existing file asks before replacing it, also when the
    // name is not UTF-8 and Qt cannot see the file.
    void saveAsDialogAsksBeforeReplacing_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("replace");
        QTest::newRow("declined") << QByteArray("old.txt") << false;
        QTest::newRow("accepted") << QByteArray("old.txt") << true;
        QTest::newRow("Shift-JIS name, declined") << kSjisMemo + ".txt" << false;
        QTest::newRow("Shift-JIS name, accepted") << kSjisMemo + ".txt" << true;
    }

    void saveAsDialogAsksBeforeReplacing() {
        QFETCH(QByteArray, name);
        QFETCH(bool, replace);
        Window w;
        CommonDialog::setTestHandler({});
        w.makeOneNode();
        const std::string target = w.rawPath(name);
        QVERIFY(writeRaw(target, "keep me\r\n"));
        w.form->dlgCommonDialog->FileName = LocalPath::fromBytes(target);
        QObject guard;
        bool asked = false;
        enterInRealDialog(&guard, target, [&](QMessageBox* box) {
            asked = true;
            box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        w.form->mnuFileNameSave_Click();
        QVERIFY(asked);
        QCOMPARE(readRaw(target), replace ? kSingleNode : QByteArray("keep me\r\n"));
        QCOMPARE(w.form->doc.CurrentFileName, replace ? target : std::string());
        QCOMPARE(entryCount(w.dir.path()), 1);
        QVERIFY(w.messages.texts().isEmpty());
    }

    // A file refused or cut on opening is not offered as the name to save to: the dialog
    // starts in its folder with no name.
    void refusedOrCutFileIsNotOfferedForSaving_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("fromCommandLine");
        QTest::newRow("not an outline, Open") << QByteArray("plain text\r\n") << false;
        QTest::newRow("not an outline, command line") << QByteArray("plain text\r\n") << true;
        QTest::newRow("600 records, Open") << manyRecords(600) << false;
        QTest::newRow("600 records, command line") << manyRecords(600) << true;
    }

    void refusedOrCutFileIsNotOfferedForSaving() {
        QFETCH(QByteArray, file);
        QFETCH(bool, fromCommandLine);
        TemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("big.txt"));
        writeBytes(source, file);
        Window w(fromCommandLine ? source : QString());
        if (!fromCommandLine) {
            w.dialogs.answers << source;
            w.form->mnuFileOpen_Click();
        }
        QCOMPARE(w.messages.texts().size(), 1);
        QVERIFY2(w.messages.texts().constFirst().startsWith(source + QStringLiteral("\r\n")),
                 qPrintable(w.messages.texts().constFirst()));  // the file, not its folder
        QVERIFY(w.fileName().isEmpty());
        w.form->mnuFileSave_Click();  // cancelled
        QCOMPARE(w.dialogs.requests.last().kind, CommonDialog::Kind::Save);
        QCOMPARE(w.dialogs.requests.last().startPath, dir.path() + u'/');
        QCOMPARE(readBytes(source), file);
    }

    // Names are bytes: a Shift-JIS name, given on the command line or taken in the real open
    // dialog (which shows it with U+FFFD), is read and saved to again under the same bytes.
    void nonUtf8NameIsKeptFromOpenToSave_data() {
        QTest::addColumn<bool>("throughDialog");
        QTest::newRow("command line") << false;
        QTest::newRow("open dialog") << true;
    }

    void nonUtf8NameIsKeptFromOpenToSave() {
        QFETCH(bool, throughDialog);
        TemporaryDir dir;
        const std::string source =
            QFile::encodeName(dir.path()).toStdString() + '/' + kSjisMemo.toStdString() + ".txt";
        QVERIFY(writeRaw(source, exampleOutline()));
        Window w(throughDialog ? QString() : LocalPath::fromBytes(source));
        QObject guard;
        if (throughDialog) {
            CommonDialog::setTestHandler({});
            enterInRealDialog(&guard, source, [](QMessageBox* box) { box->reject(); });
            w.form->mnuFileOpen_Click();
            CommonDialog::setTestHandler([](const CommonDialog::Request&) { return QString(); });
        }
        QVERIFY(w.messages.texts().isEmpty());
        QCOMPARE(w.form->doc.CurrentFileName, source);
        QCOMPARE(w.form->doc.Nodes.Count(), 3);
        QVERIFY(::unlink(source.c_str()) == 0);
        w.form->mnuFileSave_Click();
        QCOMPARE(readRaw(source), exampleOutline());
        QCOMPARE(entryCount(dir.path()), 1);
    }

    // Another program rewrote the file since it was opened: Save asks first, Enter keeps
    // their file, Yes replaces it.
    void saveOverAChangedFileAsks_data() {
        QTest::addColumn<bool>("replace");
        QTest::newRow("Enter") << false;
        QTest::newRow("Yes") << true;
    }

    void saveOverAChangedFileAsks() {
        QFETCH(bool, replace);
        Window w;
        const QString source = w.path("notes.txt");
        writeBytes(source, exampleOutline());
        w.dialogs.answers << source;
        w.form->mnuFileOpen_Click();
        writeBytes(source, "theirs\r\n");
        MessageBox::setTestHandler({});
        QObject guard;
        QString asked;
        whenShown<QMessageBox>(&guard, [&](QMessageBox* box) {
            asked = box->text();
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
            replace ? box->button(QMessageBox::Yes)->click() : QTest::keyClick(box, Qt::Key_Return);
        });
        w.form->mnuFileSave_Click();
        QCOMPARE(asked, MessageBox::displayText(
                            FileCommands::changedOnDiskQuestion(FileCommands::shownPath(source))));
        QVERIFY(asked.startsWith(source + u'\n'));
        QCOMPARE(readBytes(source), replace ? exampleOutline() : QByteArray("theirs\r\n"));
        QCOMPARE(w.fileName(), source);
        QCOMPARE(entryCount(w.dir.path()), 1);
    }

    // Why a file cannot be opened is said on a line of its own, also for entries the open
    // dialog cannot follow, and never in Qt's own words.
    void cannotOpenGivesTheReason_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("throughDialog");
        QTest::addColumn<QString>("reason");
        const QString loop = QStringLiteral("Too many levels of symbolic links");
        QTest::newRow("folder") << "folder" << false << "Is a directory";
        QTest::newRow("pipe") << "pipe" << false
                              << "パイプや装置などの特殊なファイルは読みこめません。";
        QTest::newRow("link loop") << "loop.txt" << false << loop;
        QTest::newRow("link loop, open dialog") << "loop.txt" << true << loop;
        QTest::newRow("dangling link, open dialog") << "dangling.txt" << true << kNoSuchFile;
    }

    void cannotOpenGivesTheReason() {
        QFETCH(QString, entry);
        QFETCH(bool, throughDialog);
        QFETCH(QString, reason);
        TemporaryDir dir;
        const QString path = dir.filePath(entry);
        const QByteArray local = QFile::encodeName(path);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))), 0600) == 0);
        QVERIFY(::symlink("loop.txt", QFile::encodeName(dir.filePath("loop.txt"))) == 0);
        QVERIFY(::symlink("gone.txt", QFile::encodeName(dir.filePath("dangling.txt"))) == 0);
        Window w(throughDialog ? QString() : path);
        QObject guard;
        if (throughDialog) {
            CommonDialog::setTestHandler({});
            enterInRealDialog(&guard, local.toStdString(),
                              [](QMessageBox* box) { QFAIL(qPrintable(box->text())); });
            w.form->mnuFileOpen_Click();
        }
        QCOMPARE(w.messages.texts(),
                 QStringList{path + QStringLiteral("\r\nファイルが開けません。\r\n") + reason});
    }

    void missingNonUtf8NameIsShownReadably() {
        TemporaryDir dir;
        Window w(LocalPath::fromBytes(QFile::encodeName(dir.path()).toStdString() +
                                      "/\x83\x81\x83\x82x.txt"));
        QCOMPARE(
            w.messages.texts(),
            QStringList{dir.path() + QStringLiteral("/メモx.txt\r\nファイルが開けません。\r\n") +
                        kNoSuchFile});
    }

    void pathForDisplay_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("UTF-8 as it is") << QByteArray("/tmp/ノート.txt") << QStringLiteral("/tmp/ノート.txt");
        QTest::newRow("Shift-JIS name") << "/tmp/" + kSjisMemo + ".txt" << QStringLiteral("/tmp/メモ.txt");
        QTest::newRow("each part on its own") << "/" + kSjisMemo + "/ノート/" + kSjisMemo << QStringLiteral("/メモ/ノート/メモ");
        QTest::newRow("neither UTF-8 nor CP932") << QByteArray("/tmp/a\xff\x83") << QStringLiteral("/tmp/a\uFFFD\uFFFD");
        // clang-format on
    }

    void pathForDisplay() {
        QFETCH(QByteArray, bytes);
        const QString path = LocalPath::fromBytes(bytes.toStdString());
        QCOMPARE(LocalPath::toBytes(path), bytes.toStdString());
        QTEST(LocalPath::forDisplay(path), "shown");
    }

    // What the Qt dialog gives back for a name it cannot hold leads to the one entry it
    // stands for.
    void dialogNameLeadsToTheEntryItShows_data() {
        QTest::addColumn<QByteArrayList>("entries");  // made in the folder; "x/" a folder
        QTest::addColumn<QByteArray>("chosen");       // relative to the folder
        QTest::addColumn<QByteArray>("resolved");     // the same when no entry is sure
        const QByteArray memo = kSjisMemo + ".txt";
        // clang-format off
        QTest::newRow("one entry") << QByteArrayList{memo, "other.txt"} << memo << memo;
        QTest::newRow("no entry") << QByteArrayList{"other.txt"} << memo << QByteArray();
        QTest::newRow("two look the same") << QByteArrayList{memo, "\x83\x82\x83\x81.txt"} << memo << QByteArray();
        QTest::newRow("in a Shift-JIS folder") << QByteArrayList{kSjisMemo + "/", kSjisMemo + "/a.txt"} << kSjisMemo + "/a.txt" << kSjisMemo + "/a.txt";
        // clang-format on
    }

    void dialogNameLeadsToTheEntryItShows() {
        QFETCH(QByteArrayList, entries);
        QFETCH(QByteArray, chosen);
        QFETCH(QByteArray, resolved);
        TemporaryDir dir;
        const std::string folder = QFile::encodeName(dir.path()).toStdString() + '/';
        for (const QByteArray& entry : entries) {
            QVERIFY(entry.endsWith('/')
                        ? std::filesystem::create_directory(folder + entry.toStdString())
                        : writeRaw(folder + entry.toStdString(), "x"));
        }
        const QString qtName =
            LocalPath::toQtName(LocalPath::fromBytes(folder + chosen.toStdString()));
        QVERIFY(qtName.contains(QChar(0xFFFD)));
        const QString expected =
            resolved.isEmpty() ? qtName : LocalPath::fromBytes(folder + resolved.toStdString());
        QCOMPARE(LocalPath::fromQtName(qtName), expected);
    }

    // A save that will not read back as it stands says so, once, after writing the file,
    // naming a few of the notes by title. Which bodies and characters those are is the
    // core's to find, and tested there.
    void saveTellsWhatWillNotReadBackAsItIs_data() {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("told");  // the message's second line, "" for none
        const QString marker =
            QStringLiteral("本文に見出し行（<**********>）で始まる行があるノードがあります：");
        const QString utf8 = QStringLiteral(
            "シフトJISでは同じ文字として読み戻せないため、UTF-8 形式で保存しました。");
        // clang-format off
        QTest::newRow("plain") << QStringList{"A"} << "x\n<*********>, 1 , 0 ,y" << QString();
        QTest::newRow("marker alone, first line") << QStringList{"A", "B"} << "<**********>" << marker + "「A」「B」";
        QTest::newRow("five notes") << QStringList{"A", "B", "C", "D", "E"} << "<**********>,x" << marker + "「A」「B」「C」ほか 2 件";
        QTest::newRow("emoji") << QStringList{QStringLiteral("😀")} << "x" << utf8;
        // clang-format on
    }

    void saveTellsWhatWillNotReadBackAsItIs() {
        QFETCH(QStringList, titles);
        QFETCH(QString, body);
        QFETCH(QString, told);
        Window w;
        for (const QString& title : titles) {
            w.form->doc.CurrentKey.clear();
            const mossleaf::Node* node = w.form->doc.AddNode(QtText::fromQString(title));
            QVERIFY(node);
            w.form->doc.StoreBody(node->Key, QtText::fromQString(body));
        }
        const QString target = w.path("told.txt");
        w.dialogs.answers << target;
        w.form->mnuFileNameSave_Click();
        QVERIFY(QFileInfo(target).size() > 0);
        QStringList second;
        for (const QString& text : w.messages.texts()) {
            second << text.section(QStringLiteral("\r\n"), 0, 1);
        }
        QCOMPARE(second, told.isEmpty() ? QStringList() : QStringList{target + "\r\n" + told});
    }

    // The manual has the section the message points to, and says the same thing there.
    void markerLinesMessageMatchesTheManual() {
        QString help = QString::fromUtf8(
            readBytes(QDir::cleanPath(qEnvironmentVariable("MOSSLEAF_TEST_DATA") +
                                      QStringLiteral("/../../src/launch/help.htm"))));
        QVERIFY(
            help.contains(u'>' + FileCommands::kMarkerLineHelpSection + QStringLiteral("</h2>")));
        help.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        const QString sentence =
            FileCommands::markerLinesMessage({}, {}).section(QStringLiteral("\r\n"), 1, 1);
        QVERIFY2(help.contains(sentence.chopped(1)), qPrintable(sentence));
    }

    // A failure while showing the loaded notebook ends in a message, never in Qt's abort; only
    // running out of memory keeps the file's name.
    void failureWhileShowingTheFirstBody_data() {
        QTest::addColumn<bool>("outOfMemory");
        QTest::addColumn<QString>("message");
        QTest::newRow("out of memory")
            << true << QStringLiteral("メモリが足りないため、本文を表示できません。");
        QTest::newRow("other failure")
            << false << QStringLiteral("予期しないエラーのため、操作を最後まで行えませんでした。");
    }

    void failureWhileShowingTheFirstBody() {
        QFETCH(bool, outOfMemory);
        QFETCH(QString, message);
        Window w;
        const QString source = w.path("notes.txt");
        writeBytes(source, exampleOutline());
        QtText::setDisplayHookForTest([outOfMemory](std::u16string_view) {
            if (outOfMemory) {
                throw std::bad_alloc();
            }
            throw std::runtime_error("broken");
        });
        w.dialogs.answers << source;
        w.form->Text2->showBody(QStringLiteral("left over"));
        w.form->mnuFileOpen_Click();
        QtText::setDisplayHookForTest({});
        QCOMPARE(w.messages.texts(), QStringList{source + QStringLiteral("\r\n") + message});
        QVERIFY(w.form->Text2->bodyText().isEmpty());
        QCOMPARE(w.form->doc.Nodes.Count(), 3);
        QCOMPARE(w.fileName(), outOfMemory ? source : QString());
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
        w.form->Text2->showBody(QStringLiteral("left over"));
        const QString source = w.path("in.txt");
        writeBytes(source, file);
        w.form->LoadDocument(source);
        QTEST(w.form->Text2->bodyText(), "body");
        if (w.form->TreeView1->topLevelItemCount() > 0) {
            QTEST(w.form->TreeView1->topLevelItem(0)->isExpanded(), "firstExpanded");
        }
        QVERIFY(w.form->TreeView1->selectedItems().isEmpty());
        QVERIFY(w.messages.texts().isEmpty());
    }
};

QTEST_MAIN(FileCommandsWidgetTest)
#include "file_commands_widget_test.moc"
