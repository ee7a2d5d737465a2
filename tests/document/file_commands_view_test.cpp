// The file commands against a fake view: what they ask of the window, and in which order,
// with no main window around them.
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include "core/outline_test_support.h"
#include "document/common_dialog.h"
#include "document/document_view.h"
#include "document/file_commands.h"
#include "widgets/local_path.h"
#include "widgets/message_recorder.h"

using namespace mossleaf;

namespace {

// Records each request as one word; storeShownBody stores what `typed` holds, as the real
// window stores what was typed in the body text box.
class FakeView : public DocumentView {
public:
    explicit FakeView(mossleaf::Document& doc) : doc_(doc) {}

    QStringList calls;
    QString typed;

    QWidget* viewWindow() override { return &window_; }
    void storeShownBody() override {
        calls << QStringLiteral("store");
        if (!typed.isEmpty()) {
            doc_.StoreBody(doc_.Nodes(1)->Key, typed.toStdU16String());
        }
    }
    void showBody(const QString& body) override { calls << QStringLiteral("show:") + body; }
    void clearBody() override { calls << QStringLiteral("clear"); }
    void ensureNodeVisible(const std::string& key) override {
        calls << QStringLiteral("reveal:") + QString::fromStdString(key);
    }
    void closeView() override { calls << QStringLiteral("close"); }

private:
    mossleaf::Document& doc_;
    QWidget window_;
};

}  // namespace

class FileCommandsViewTest : public QObject {
    Q_OBJECT

private slots:
    void command_asksViewFor_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<int>("messages");
        const QString notesBody = QStringLiteral("first line\nsecond line");
        QTest::newRow("open shows the first body and reveals the second node")
            << "open" << testsupport::kWorkedExample
            << QStringList{QStringLiteral("show:") + notesBody, QStringLiteral("reveal:S2")} << 0;
        QTest::newRow("open of a missing file leaves the view alone")
            << "open" << QByteArray() << QStringList{} << 1;
        QTest::newRow("open of an empty outline clears the body")
            << "open" << QByteArray("") << QStringList{QStringLiteral("clear")} << 0;
        QTest::newRow("new clears the body") << "new" << QByteArray() << QStringList{"clear"} << 0;
        QTest::newRow("close closes the view")
            << "close" << QByteArray() << QStringList{"close"} << 0;
    }
    void command_asksViewFor() {
        QFETCH(QString, command);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, calls);
        QFETCH(int, messages);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("notes.txt"));
        // A null QByteArray stands for no file at all; an empty one for an empty file.
        if (!file.isNull()) {
            QVERIFY(testsupport::writeFile(path, file));
        }
        mossleaf::Document doc;
        CommonDialog dialog(nullptr);
        FakeView view(doc);
        FileCommands commands(doc, dialog, view);
        MessageLog log;
        CommonDialog::setTestHandler([&](const CommonDialog::Request&) { return path; });
        if (command == QLatin1String("open")) {
            commands.mnuFileOpen_Click();
        } else if (command == QLatin1String("new")) {
            commands.mnuFileNew_Click();
        } else {
            commands.mnuFileClose_Click();
        }
        CommonDialog::setTestHandler({});
        QCOMPARE(view.calls, calls);
        QCOMPARE(log.shown().size(), messages);
    }

    void save_storesTypedBodyBeforeWriting() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("notes.txt"));
        QVERIFY(testsupport::writeFile(path, testsupport::kWorkedExample));
        mossleaf::Document doc;
        CommonDialog dialog(nullptr);
        FakeView view(doc);
        FileCommands commands(doc, dialog, view);
        commands.LoadDocument(path);
        doc.CurrentFileName = LocalPath::toBytes(path);
        view.typed = QStringLiteral("typed");
        commands.mnuFileSave_Click();
        QVERIFY(view.calls.contains(QStringLiteral("store")));
        QVERIFY(testsupport::readFile(path).startsWith("<**********>, 1 , 0 ,Notes\r\ntyped\r\n"));
    }
};

QTEST_MAIN(FileCommandsViewTest)
#include "file_commands_view_test.moc"
