// Text1 and Text2 as the keyboard and focus reach them: Text1 offers each typed character
// first (Enter as 13) and can swallow it, Shift+Enter in Text2 is a real line break, and focus
// loss is reported only when another control of the window takes the focus. Ctrl+C and Ctrl+N
// passing through both boxes are checked on the real window (command surface test).
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "editing/body_edit.h"
#include "editing/title_box.h"
#include "widgets/qt_text.h"

class TextBoxesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keyPressOffersCharacters_data();
    void keyPressOffersCharacters();
    void focusLossOnlyToAnotherControl_data();
    void focusLossOnlyToAnotherControl();
    void shiftEnterBreaksTheLine();
    void storedBodyHasOnlyCrLf_data();
    void storedBodyHasOnlyCrLf();

private:
    QWidget* window_ = nullptr;
    TitleBox* title_ = nullptr;
    BodyEdit* body_ = nullptr;
    QLineEdit* other_ = nullptr;
};

void TextBoxesTest::init() {
    window_ = new QWidget;
    auto* layout = new QVBoxLayout(window_);
    layout->addWidget(title_ = new TitleBox(window_));
    layout->addWidget(body_ = new BodyEdit(window_));
    layout->addWidget(other_ = new QLineEdit(window_));
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_));
}

void TextBoxesTest::cleanup() {
    delete window_;
}

void TextBoxesTest::keyPressOffersCharacters_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("offered");
    QTest::addColumn<bool>("swallow");
    QTest::addColumn<QString>("textAfter");
    // clang-format off
    QTest::newRow("Enter, swallowed") << int(Qt::Key_Return) << 13 << true << "ab";
    QTest::newRow("keypad Enter, swallowed") << int(Qt::Key_Enter) << 13 << true << "ab";
    QTest::newRow("Esc is left to the box") << int(Qt::Key_Escape) << 27 << false << "ab";
    QTest::newRow("letter typed") << int(Qt::Key_X) << int('x') << false << "abx";
    QTest::newRow("letter swallowed") << int(Qt::Key_X) << int('x') << true << "ab";
    QTest::newRow("Backspace typed") << int(Qt::Key_Backspace) << 8 << false << "a";
    // clang-format on
}

void TextBoxesTest::keyPressOffersCharacters() {
    QFETCH(int, key);
    QFETCH(int, offered);
    QFETCH(bool, swallow);
    title_->setText(QStringLiteral("ab"));
    title_->setFocus();
    QList<int> seen;
    connect(title_, &TitleBox::KeyPress, this, [&](int& code) {
        seen << code;
        code = swallow ? 0 : code;
    });
    QTest::keyClick(title_, static_cast<Qt::Key>(key));
    QTest::keyClick(title_, Qt::Key_Left);  // types nothing, so it is not offered
    QCOMPARE(seen, QList<int>{offered});
    QTEST(title_->text(), "textAfter");
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
    // Without a window manager nobody hands the activation back after the menu.
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    QCOMPARE(lost.count(), 0);
    // A click in another control does.
    QTest::mouseClick(other_, Qt::LeftButton);
    QVERIFY(other_->hasFocus());
    QCOMPARE(lost.count(), 1);
}

void TextBoxesTest::shiftEnterBreaksTheLine() {
    // A line separator (U+2028) would look like a line break but is a character that CP932
    // cannot hold: the body must get a real line break instead.
    body_->setFocus();
    QTest::keyClick(body_, Qt::Key_A);
    QTest::keyClick(body_, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(body_, Qt::Key_B);
    QCOMPARE(QtText::bodyFromDisplay(body_->document()->toRawText()), std::u16string(u"a\r\nb"));
}

void TextBoxesTest::storedBodyHasOnlyCrLf_data() {
    QTest::addColumn<QString>("shown");
    QTest::newRow("lone CR") << "a\rb";
    QTest::newRow("CR LF") << "a\r\nb";
    QTest::newRow("LF") << "a\nb";
    QTest::newRow("paragraph separator") << "a\u2029b";
}

void TextBoxesTest::storedBodyHasOnlyCrLf() {
    // A lone CR would be a line end the file reads back differently.
    QFETCH(QString, shown);
    QCOMPARE(QtText::bodyFromDisplay(shown), std::u16string(u"a\r\nb"));
}

QTEST_MAIN(TextBoxesTest)
#include "text_boxes_test.moc"
