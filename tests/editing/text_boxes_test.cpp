// Text1 and Text2 as the keyboard and focus reach them: the window's shortcuts pass through,
// Enter is offered as 13 and can be swallowed, and focus loss is reported only when another
// control of the window takes the focus.
#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "editing/body_edit.h"
#include "editing/qt_text.h"
#include "editing/title_box.h"

class TextBoxesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowShortcutsPassThrough_data();
    void windowShortcutsPassThrough();
    void keyPressOffersCharacters_data();
    void keyPressOffersCharacters();
    void focusLossOnlyToAnotherControl_data();
    void focusLossOnlyToAnotherControl();
    void shiftEnterBreaksTheLine();

private:
    QMainWindow* window_ = nullptr;
    TitleBox* title_ = nullptr;
    BodyEdit* body_ = nullptr;
    QLineEdit* other_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* fresh_ = nullptr;
};

void TextBoxesTest::init() {
    window_ = new QMainWindow;
    auto* central = new QWidget(window_);
    auto* layout = new QVBoxLayout(central);
    title_ = new TitleBox(central);
    body_ = new BodyEdit(central);
    other_ = new QLineEdit(central);
    layout->addWidget(title_);
    layout->addWidget(body_);
    layout->addWidget(other_);
    window_->setCentralWidget(central);
    QMenu* edit = window_->menuBar()->addMenu(QStringLiteral("編集(&E)"));
    copy_ = edit->addAction(QStringLiteral("ｺﾋﾟｰ(&C)"));
    copy_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    fresh_ = edit->addAction(QStringLiteral("新規作成(&N)"));
    fresh_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_));
}

void TextBoxesTest::cleanup() {
    delete window_;
    window_ = nullptr;
}

void TextBoxesTest::windowShortcutsPassThrough_data() {
    QTest::addColumn<bool>("inBody");
    QTest::addColumn<int>("key");
    QTest::newRow("Ctrl+C in Text2") << true << int(Qt::Key_C);
    QTest::newRow("Ctrl+N in Text2") << true << int(Qt::Key_N);
    QTest::newRow("Ctrl+C in Text1") << false << int(Qt::Key_C);
    QTest::newRow("Ctrl+N in Text1") << false << int(Qt::Key_N);
}

void TextBoxesTest::windowShortcutsPassThrough() {
    QFETCH(bool, inBody);
    QFETCH(int, key);
    QWidget* box = inBody ? static_cast<QWidget*>(body_) : static_cast<QWidget*>(title_);
    if (inBody) {
        body_->setPlainText(QStringLiteral("first line\nsecond"));
        body_->selectAll();
    } else {
        title_->setText(QStringLiteral("title"));
        title_->selectAll();
    }
    box->setFocus();
    QVERIFY(box->hasFocus());
    QSignalSpy copied(copy_, &QAction::triggered);
    QSignalSpy started(fresh_, &QAction::triggered);
    QTest::keyClick(box, static_cast<Qt::Key>(key), Qt::ControlModifier);
    QCOMPARE(copied.count(), key == Qt::Key_C ? 1 : 0);
    QCOMPARE(started.count(), key == Qt::Key_N ? 1 : 0);
    // Other editing keys stay with the box: Ctrl+A still selects all of it.
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(copied.count() + started.count(), 1);
}

void TextBoxesTest::keyPressOffersCharacters_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("offered");
    QTest::addColumn<bool>("swallow");
    QTest::addColumn<QString>("textAfter");
    QTest::newRow("Enter, swallowed") << int(Qt::Key_Return) << 13 << true << "ab";
    QTest::newRow("keypad Enter, swallowed") << int(Qt::Key_Enter) << 13 << true << "ab";
    QTest::newRow("Esc is left to the box") << int(Qt::Key_Escape) << 27 << false << "ab";
    QTest::newRow("letter typed") << int(Qt::Key_X) << int('x') << false << "abx";
    QTest::newRow("letter swallowed") << int(Qt::Key_X) << int('x') << true << "ab";
    QTest::newRow("Backspace typed") << int(Qt::Key_Backspace) << 8 << false << "a";
}

void TextBoxesTest::keyPressOffersCharacters() {
    QFETCH(int, key);
    QFETCH(int, offered);
    QFETCH(bool, swallow);
    QFETCH(QString, textAfter);
    title_->setText(QStringLiteral("ab"));
    title_->setFocus();
    QList<int> seen;
    connect(title_, &TitleBox::KeyPress, this, [&](int& code) {
        seen << code;
        if (swallow) {
            code = 0;
        }
    });
    QTest::keyClick(title_, static_cast<Qt::Key>(key));
    QCOMPARE(seen, QList<int>{offered});
    QCOMPARE(title_->text(), textAfter);
    QVERIFY(title_->hasFocus());
    // Keys that type nothing are not offered.
    QTest::keyClick(title_, Qt::Key_Left);
    QCOMPARE(seen.size(), 1);
}

void TextBoxesTest::focusLossOnlyToAnotherControl_data() {
    QTest::addColumn<bool>("inBody");
    QTest::newRow("Text2") << true;
    QTest::newRow("Text1") << false;
}

void TextBoxesTest::focusLossOnlyToAnotherControl() {
    QFETCH(bool, inBody);
    QWidget* box = inBody ? static_cast<QWidget*>(body_) : static_cast<QWidget*>(title_);
    QSignalSpy lost(box, SIGNAL(LostFocus()));
    box->setFocus();
    // A popup menu opening and closing over the box does not take it away.
    QMenu menu;
    menu.addAction(QStringLiteral("item"));
    QTimer::singleShot(0, &menu, [&menu] { menu.close(); });
    menu.exec(box->mapToGlobal(QPoint(5, 5)));
    QCOMPARE(lost.count(), 0);
    // Without a window manager nobody hands the activation back after the menu.
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QCOMPARE(lost.count(), 0);
    // A click in another control does.
    box->setFocus();
    QTest::mouseClick(other_, Qt::LeftButton);
    QVERIFY(other_->hasFocus());
    QCOMPARE(lost.count(), 1);
}

void TextBoxesTest::shiftEnterBreaksTheLine() {
    // A line separator (U+2028) would look like a line break but is a character that CP932
    // cannot hold: the body must get a real line break instead.
    body_->setFocus();
    QTest::keyClicks(body_, QStringLiteral("a"));
    QTest::keyClick(body_, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(body_, QStringLiteral("b"));
    QCOMPARE(QtText::bodyFromDisplay(body_->document()->toRawText()), std::u16string(u"a\r\nb"));
}

QTEST_MAIN(TextBoxesTest)
#include "text_boxes_test.moc"
