// Text1 and Text2 as the keyboard and focus reach them: Text1 offers each typed character
// first (Enter as 13) and can swallow it, and refuses whole whatever would make a title too
// long to show at speed, whichever way it comes; Shift+Enter in Text2 is a real line break, and
// focus loss is reported only when another control of the window takes the focus. Ctrl+C and
// Ctrl+N passing through both boxes are checked on the real window (command surface test).
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "editing/body_edit.h"
#include "editing/title_box.h"
#include "widgets/qt_text.h"

using namespace mossleaf;

class TextBoxesTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keyPressOffersCharacters_data();
    void keyPressOffersCharacters();
    void everyWayIntoTitleIsChecked_data();
    void everyWayIntoTitleIsChecked();
    void longTitleFromProgramMayOnlyShrink();
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
    connect(title_, &TitleBox::keyPressed, this, [&](int& code) {
        seen << code;
        code = swallow ? 0 : code;
    });
    QTest::keyClick(title_, static_cast<Qt::Key>(key));
    QTest::keyClick(title_, Qt::Key_Left);  // types nothing, so it is not offered
    QCOMPARE(seen, QList<int>{offered});
    QTEST(title_->text(), "textAfter");
}

void TextBoxesTest::everyWayIntoTitleIsChecked_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("fits");
    // The X11 middle-button paste needs a selection clipboard, which the offscreen platform
    // lacks; it goes through the same check as Ctrl+V.
    for (const char* way :
         {"Ctrl+V", "Shift+Insert", "context menu", "drop", "input method", "typing"}) {
        QTest::addRow("%s, fits", way) << QString::fromLatin1(way) << true;
        QTest::addRow("%s, one too many", way) << QString::fromLatin1(way) << false;
    }
}

// The box holds "ab" (or, for typing, is nearly full); the text brought in would make it
// exactly kMaxTitleLength long, or one more. One more is refused whole and reported.
void TextBoxesTest::everyWayIntoTitleIsChecked() {
    QFETCH(QString, way);
    QFETCH(bool, fits);
    constexpr qsizetype kMax = TitleBox::kMaxTitleLength;
    const qsizetype wanted = fits ? kMax : kMax + 1;
    const bool typing = way == QLatin1String("typing");
    const QString before = typing ? QString(wanted - 1, QLatin1Char('a')) : QStringLiteral("ab");
    const QString brought = typing ? QStringLiteral("x") : QString(wanted - 2, QChar(0x984C));
    QList<qsizetype> refused;
    connect(title_, &TitleBox::titleTooLong, this, [&refused](qsizetype n) { refused << n; });
    title_->setText(before);
    title_->setFocus();
    title_->end(false);
    if (way == QLatin1String("Ctrl+V")) {
        QGuiApplication::clipboard()->setText(brought);
        QTest::keyClick(title_, Qt::Key_V, Qt::ControlModifier);
    } else if (way == QLatin1String("Shift+Insert")) {
        QGuiApplication::clipboard()->setText(brought);
        QTest::keyClick(title_, Qt::Key_Insert, Qt::ShiftModifier);
    } else if (way == QLatin1String("context menu")) {
        QGuiApplication::clipboard()->setText(brought);
        QContextMenuEvent open(QContextMenuEvent::Mouse, QPoint(5, 5),
                               title_->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(title_, &open);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
        QAction* paste = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(QLatin1String("&Paste"))) {
                paste = action;
            }
        }
        QVERIFY(paste);
        paste->trigger();
        menu->close();
    } else if (way == QLatin1String("drop")) {
        QMimeData mime;
        mime.setText(brought);
        const QPoint at(title_->width() - 2, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(title_, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(title_, &drop);
        QCOMPARE(drop.isAccepted(), fits);
    } else if (way == QLatin1String("input method")) {
        QInputMethodEvent commit;
        commit.setCommitString(brought);
        QApplication::sendEvent(title_, &commit);
    } else {
        QTest::keyClick(title_, Qt::Key_X);
    }
    if (fits) {
        QCOMPARE(title_->text(), before + brought);
        QTest::qWait(0);
        QVERIFY(refused.isEmpty());
        return;
    }
    QCOMPARE(title_->text(), before);
    // A drop or an input method reports once its event is over.
    QTRY_COMPARE(refused, QList<qsizetype>{kMax + 1});
    QTest::qWait(0);
    QCOMPARE(refused.size(), 1);
    QCOMPARE(title_->text(), before);
}

void TextBoxesTest::longTitleFromProgramMayOnlyShrink() {
    // Rename offers a title read from a file, which may be longer than a box can take in.
    const QString offered = QString(40000, QLatin1Char('t'));
    QList<qsizetype> refused;
    connect(title_, &TitleBox::titleTooLong, this, [&refused](qsizetype n) { refused << n; });
    title_->setText(offered);
    title_->setFocus();
    title_->end(false);
    QCOMPARE(title_->text(), offered);
    QTest::keyClick(title_, Qt::Key_Backspace);
    QCOMPARE(title_->text().size(), 39999);
    QTest::keyClick(title_, Qt::Key_X);
    QCOMPARE(title_->text().size(), 39999);
    QCOMPARE(refused, QList<qsizetype>{40000});
    title_->selectAll();
    QGuiApplication::clipboard()->setText(QString(35000, QLatin1Char('p')));
    QTest::keyClick(title_, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(title_->text(), QString(35000, QLatin1Char('p')));
    QCOMPARE(refused.size(), 1);
}

void TextBoxesTest::focusLossOnlyToAnotherControl_data() {
    QTest::addColumn<bool>("inBody");
    QTest::newRow("Text2") << true;
    QTest::newRow("Text1") << false;
}

void TextBoxesTest::focusLossOnlyToAnotherControl() {
    QFETCH(bool, inBody);
    QWidget* box = inBody ? static_cast<QWidget*>(body_) : static_cast<QWidget*>(title_);
    QSignalSpy lost(box, SIGNAL(focusLost()));
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
