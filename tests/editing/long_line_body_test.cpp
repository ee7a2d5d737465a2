// Bodies whose lines cannot break for thousands of characters (a base64 blob, a long URL) are
// wrapped anywhere so that they show at once; they must come back from Text2 unchanged, stay
// editable, and the next ordinary body is word-wrapped again.
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "editing/body_edit.h"
#include "editing/body_layout.h"
#include "editing/qt_text.h"
#include "editing/unbreakable_stretch.h"

namespace {

constexpr qsizetype kLimit = BodyLayout::kStretchLimit;

// Letters and digits only: Qt may break a line around "+" and "/".
QString blob(qsizetype length) {
    static const QString alphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
    QString text;
    text.reserve(length);
    for (qsizetype i = 0; i < length; ++i) {
        text.append(alphabet.at((i * 7 + i / 3) % alphabet.size()));
    }
    return text;
}

QString repeated(const QString& piece, qsizetype length) {
    QString text;
    while (text.size() < length) {
        text.append(piece);
    }
    text.truncate(length);
    return text;
}

}  // namespace

class LongLineBodyTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void longestStretch_followsLineBreakRules_data();
    void longestStretch_followsLineBreakRules();
    void shownBody_comesBackUnchanged_andPicksWrap_data();
    void shownBody_comesBackUnchanged_andPicksWrap();
    void typingInLongLine_editsAndUndoes();
    void pastedBlob_wrapsAnywhere_untilNextBody();

private:
    QWidget* window_ = nullptr;
    BodyEdit* body_ = nullptr;
};

void LongLineBodyTest::init() {
    window_ = new QWidget;
    window_->resize(400, 300);
    body_ = new BodyEdit(window_);
    body_->resize(400, 300);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void LongLineBodyTest::cleanup() {
    delete window_;
}

void LongLineBodyTest::longestStretch_followsLineBreakRules_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("longest");
    // clang-format off
    QTest::newRow("empty") << QString() << qsizetype(0);
    QTest::newRow("one word") << QStringLiteral("abcdef") << qsizetype(6);
    QTest::newRow("blank ends a stretch, kept with it") << QStringLiteral("ab cdef") << qsizetype(4);
    QTest::newRow("slash ends a stretch") << QStringLiteral("abc/defgh") << qsizetype(5);
    QTest::newRow("hyphen ends a stretch") << QStringLiteral("abcd-ef") << qsizetype(5);
    QTest::newRow("kanji break between each other") << QStringLiteral("日本語の文章") << qsizetype(1);
    QTest::newRow("blob between words") << QStringLiteral("see ") + blob(3000) + QStringLiteral(" ok")
                                        << qsizetype(3001);
    // clang-format on
}

void LongLineBodyTest::longestStretch_followsLineBreakRules() {
    QFETCH(QString, text);
    QTEST(UnbreakableStretch::longest(text), "longest");
}

void LongLineBodyTest::shownBody_comesBackUnchanged_andPicksWrap_data() {
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("anywhere");
    const QString prose = repeated(QStringLiteral("lorem ipsum dolor sit amet "), 64 * 1024);
    // clang-format off
    QTest::newRow("Latin without blanks") << QString(64 * 1024, QLatin1Char('a')) << true;
    QTest::newRow("blob among short lines")
        << QStringLiteral("key:\n\n") + blob(kLimit + 1) + QStringLiteral("\nend\n") << true;
    QTest::newRow("blob just at the limit") << QStringLiteral("x\n") + blob(kLimit) << false;
    QTest::newRow("long line with blanks") << prose << false;
    QTest::newRow("long Japanese line")
        << repeated(QStringLiteral("日本語の文章です。"), 64 * 1024) << false;
    QTest::newRow("CR-free lines and a trailing break") << prose + QStringLiteral("\n") << false;
    // clang-format on
}

void LongLineBodyTest::shownBody_comesBackUnchanged_andPicksWrap() {
    QFETCH(QString, shown);
    QFETCH(bool, anywhere);
    body_->setPlainText(shown);
    QCOMPARE(body_->toPlainText(), shown);
    QCOMPARE(
        QtText::bodyFromDisplay(body_->document()->toRawText()),
        QtText::fromQString(QString(shown).replace(QLatin1Char('\n'), QStringLiteral("\r\n"))));
    const QTextOption::WrapMode expected =
        anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    QCOMPARE(body_->wordWrapMode(), expected);
    QCOMPARE(body_->document()->defaultTextOption().wrapMode(), expected);
    // Every character is laid out on some line: nothing of the body is hidden.
    const QTextBlock last = body_->document()->lastBlock();
    QTextLayout* layout = last.layout();
    QVERIFY(layout->lineCount() > 0);
    const QTextLine end = layout->lineAt(layout->lineCount() - 1);
    QCOMPARE(end.textStart() + end.textLength(), last.length() - 1);

    body_->setPlainText(QStringLiteral("next body\nshort lines"));
    QCOMPARE(body_->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    QCOMPARE(body_->document()->defaultTextOption().wrapMode(),
             QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void LongLineBodyTest::typingInLongLine_editsAndUndoes() {
    const QString shown = QString(256 * 1024, QLatin1Char('a'));
    body_->setPlainText(shown);
    body_->setFocus();
    QTextCursor cursor = body_->textCursor();
    cursor.setPosition(1000);
    body_->setTextCursor(cursor);
    QTest::keyClicks(body_, QStringLiteral("b c"));
    QString typed = shown;
    typed.insert(1000, QStringLiteral("b c"));
    QCOMPARE(body_->toPlainText(), typed);
    QCOMPARE(body_->wordWrapMode(), QTextOption::WrapAnywhere);  // a blank does not switch back

    cursor.setPosition(998);
    cursor.setPosition(1003, QTextCursor::KeepAnchor);
    QCOMPARE(cursor.selectedText(), QStringLiteral("aab c"));
    body_->undo();
    QCOMPARE(body_->toPlainText(), shown);
}

void LongLineBodyTest::pastedBlob_wrapsAnywhere_untilNextBody() {
    body_->setPlainText(QStringLiteral("before after"));
    QCOMPARE(body_->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    QTextCursor cursor = body_->textCursor();
    cursor.setPosition(6);
    // Two pastes that only together make a stretch over the limit.
    const QString half = blob(kLimit / 2 + 1);
    cursor.insertText(half);
    QCOMPARE(body_->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    cursor.insertText(half);
    QCOMPARE(body_->wordWrapMode(), QTextOption::WrapAnywhere);
    QCOMPARE(body_->toPlainText(),
             QStringLiteral("before") + half + half + QStringLiteral(" after"));

    body_->clear();
    QCOMPARE(body_->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

QTEST_MAIN(LongLineBodyTest)
#include "long_line_body_test.moc"
