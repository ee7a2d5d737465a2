// Long lines are held in Text2 as several blocks; the user must never see or store a trace
// of that: the body comes back exactly, edits at and across piece boundaries act as on one
// long line, undo gives back the text before, and a selection copied joins its pieces.
#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <memory>

#include "editing/body_edit.h"
#include "editing/body_pieces.h"

using namespace mossleaf;

namespace {

constexpr qsizetype kPiece = BodyPieces::kPieceLength;

// Letters and digits only, never the same character twice in a row, so that an edit that
// touches the wrong character shows.
QString blob(qsizetype length, int seed = 0) {
    static const QString alphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
    QString text;
    for (qsizetype i = 0; i < length; ++i) {
        text.append(alphabet.at((i * 7 + seed) % alphabet.size()));
    }
    return text;
}

}  // namespace

class LongLineBodyTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        body_ = std::make_unique<BodyEdit>(nullptr);
        body_->resize(400, 300);
        body_->show();
        QVERIFY(QTest::qWaitForWindowExposed(body_.get()));
    }

    void cleanup() { body_.reset(); }

    void firstPiece_cutsAfterBlankNeverInsideCharacter_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<qsizetype>("length");
        const QString a9(9, QLatin1Char('a'));
        // clang-format off
        QTest::newRow("short line whole") << QStringLiteral("abc") << qsizetype(3);
        QTest::newRow("exactly a piece") << QStringLiteral("abcdefghij") << qsizetype(10);
        QTest::newRow("no blank") << QStringLiteral("abcdefghijklmno") << qsizetype(10);
        QTest::newRow("after the last blank") << QStringLiteral("ab cd efg hijk") << qsizetype(10);
        QTest::newRow("after a blank in the second half") << QStringLiteral("abcdef ghijklm") << qsizetype(7);
        QTest::newRow("blank too early") << QStringLiteral("ab cdefghijklmn") << qsizetype(10);
        QTest::newRow("ideographic space") << QStringLiteral("日本語の文章　です。日本語") << qsizetype(7);
        QTest::newRow("surrogate pair kept") << a9 + QStringLiteral("😀b") << qsizetype(9);
        QTest::newRow("combining mark kept") << a9 + QStringLiteral("e\u0301x") << qsizetype(9);
        QTest::newRow("run of marks cut, pair kept") << QStringLiteral("a") + QString(20, QChar(0x301)) << qsizetype(10);
        QTest::newRow("after a hyphen") << QStringLiteral("abcdefg-hijklmn") << qsizetype(8);
        QTest::newRow("Japanese after punctuation") << QStringLiteral("あいうえお、かきくけこさしす") << qsizetype(6);
        QTest::newRow("Japanese before katakana, not inside") << QStringLiteral("これは日本語のテキストです") << qsizetype(7);
        QTest::newRow("Japanese before kanji") << QStringLiteral("テキストはとても長文です") << qsizetype(8);
        // clang-format on
    }

    void firstPiece_cutsAfterBlankNeverInsideCharacter() {
        QFETCH(QString, line);
        QTEST(BodyPieces::firstPieceLength(line, 10), "length");
    }

    void shownBody_comesBackExactly_inShortPieces_data() {
        QTest::addColumn<QString>("shown");  // CR LF comes back as LF
        QTest::addColumn<int>("blocks");
        const QString prose = QStringLiteral("lorem ipsum dolor sit amet ").repeated(kPiece);
        // clang-format off
        QTest::newRow("empty") << QString() << 1;
        QTest::newRow("short lines, empty ones") << QStringLiteral("a\n\nb\n") << 4;
        QTest::newRow("one long line") << blob(64 * kPiece) << 64;
        QTest::newRow("long line with blanks") << prose.left(5 * kPiece) << 6;
        QTest::newRow("long Japanese line") << QStringLiteral("日本語の文章です。").repeated(kPiece).left(3 * (kPiece - 8)) << 3;
        QTest::newRow("several long lines, empty between")
            << blob(2 * kPiece + 1) + QStringLiteral("\n\n") + blob(kPiece + 5, 3) + QStringLiteral("\n") << 3 + 1 + 2 + 1;
        QTest::newRow("CR LF ends") << QStringLiteral("a\r\nb\r\n") + blob(kPiece + 1) << 4;
        QTest::newRow("surrogate pair at a cut") << blob(kPiece - 1) + QStringLiteral("😀") + blob(10) << 2;
        QTest::newRow("line separator stays in its line") << blob(kPiece) + QStringLiteral("\u2028") + blob(5) << 2;
        // clang-format on
    }

    void shownBody_comesBackExactly_inShortPieces() {
        QFETCH(QString, shown);
        body_->showBody(shown);
        QCOMPARE(body_->bodyText(),
                 QString(shown).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QTEST(body_->document()->blockCount(), "blocks");
        for (QTextBlock block = body_->document()->begin(); block.isValid(); block = block.next()) {
            QVERIFY(block.length() - 1 <= kPiece);
        }
        QVERIFY(!body_->document()->isModified());
        QVERIFY(!body_->document()->isUndoAvailable());
    }

    void insertedText_makesBlockPerLineAndPiece_data() {
        // '#' is a whole piece of 'x'; blocks are listed with '|' between, '+' marks a piece.
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("block");  // where the text goes: block and offset
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QString>("blocks");
        // clang-format off
        QTest::newRow("long after short") << QString() << 0 << 0 << QStringLiteral("a\n\nb\n#y\nc\n") << QStringLiteral("a||b|#|+y|c|");
        QTest::newRow("every break") << QString() << 0 << 0 << QStringLiteral("a\r\nb\rc\u2029d\uFDD0e\uFDD1f\r") << QStringLiteral("a|b|c|d|e|f|");
        QTest::newRow("into a short line") << QStringLiteral("uv\nw") << 0 << 1 << QStringLiteral("a\nb\nc") << QStringLiteral("ua|b|cv|w");
        QTest::newRow("into a piece") << QStringLiteral("#yy") << 1 << 1 << QStringLiteral("a\nb\nc") << QStringLiteral("#|+ya|b|cy");
        QTest::newRow("long line into a piece") << QStringLiteral("#yy") << 1 << 1 << QStringLiteral("a\n#z") << QStringLiteral("#|+ya|#|+zy");
        // clang-format on
    }

    void insertedText_makesBlockPerLineAndPiece() {
        QFETCH(QString, before);
        QFETCH(QString, inserted);
        const QString piece(kPiece, QLatin1Char('x'));
        body_->showBody(before.replace(QLatin1Char('#'), piece));
        QFETCH(int, block);
        QFETCH(int, offset);
        QTextCursor cursor(body_->document()->findBlockByNumber(block));
        cursor.setPosition(cursor.position() + offset);
        BodyPieces::insertText(cursor, inserted.replace(QLatin1Char('#'), piece));
        QStringList blocks;
        for (QTextBlock it = body_->document()->begin(); it.isValid(); it = it.next()) {
            blocks << (BodyPieces::continuesLine(it) ? QStringLiteral("+") : QString()) +
                          it.text().replace(piece, QStringLiteral("#"));
        }
        QTEST(blocks.join(QLatin1Char('|')), "blocks");
    }

    // Each edit starts from a body of three lines: a long line in three pieces, a short line, a
    // long line in two pieces. The cursor (and the anchor of a selection) is given as block and
    // offset, so that both sides of an invisible boundary can be named; what the edit must do is
    // worked out on the shown text.
    void editAtPieceBoundaries_changesShownTextAsOneLine_andUndoes_data() {
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("anchorBlock");  // -1: no selection
        QTest::addColumn<int>("anchorOffset");
        // Backspace, Delete, Enter, text typed, or text pasted when it holds a line break
        QTest::addColumn<QString>("edit");
        const int end = static_cast<int>(kPiece);
        const QString longPaste =
            QStringLiteral("x\r\n") + blob(2 * kPiece + 3, 5) + QStringLiteral("\ny");
        // clang-format off
        QTest::newRow("Backspace at start of piece") << 1 << 0 << -1 << 0 << "Backspace";
        QTest::newRow("Backspace at start of third piece") << 2 << 0 << -1 << 0 << "Backspace";
        QTest::newRow("Backspace at start of line after pieces") << 3 << 0 << -1 << 0 << "Backspace";
        QTest::newRow("Backspace at start of line before pieces") << 4 << 0 << -1 << 0 << "Backspace";
        QTest::newRow("Delete at end of piece") << 0 << end << -1 << 0 << "Delete";
        QTest::newRow("Delete at end of line before short line") << 2 << 5 << -1 << 0 << "Delete";
        QTest::newRow("Delete at end of short line") << 3 << 5 << -1 << 0 << "Delete";
        QTest::newRow("Enter at start of piece") << 1 << 0 << -1 << 0 << "Enter";
        QTest::newRow("Enter at end of piece") << 0 << end << -1 << 0 << "Enter";
        QTest::newRow("Enter inside piece") << 1 << 7 << -1 << 0 << "Enter";
        QTest::newRow("typing at start of piece") << 1 << 0 << -1 << 0 << "ab";
        QTest::newRow("selection over a boundary typed over") << 1 << 10 << 0 << end - 10 << "Z";
        QTest::newRow("selection over boundaries, Backspace") << 2 << 2 << 0 << 3 << "Backspace";
        QTest::newRow("selection from piece into short line, Delete") << 3 << 2 << 1 << 900 << "Delete";
        QTest::newRow("selection from short line into piece, Enter") << 4 << 9 << 3 << 1 << "Enter";
        QTest::newRow("selection of a boundary and a character, Delete") << 1 << 1 << 0 << end << "Delete";
        QTest::newRow("paste into piece") << 1 << 500 << -1 << 0 << longPaste;
        QTest::newRow("paste at start of piece") << 1 << 0 << -1 << 0 << longPaste;
        QTest::newRow("paste over boundaries") << 4 << 3 << 1 << 20 << longPaste;
        // clang-format on
    }

    void editAtPieceBoundaries_changesShownTextAsOneLine_andUndoes() {
        QFETCH(int, block);
        QFETCH(int, offset);
        QFETCH(int, anchorBlock);
        QFETCH(int, anchorOffset);
        QFETCH(QString, edit);
        const QString before =
            blob(2 * kPiece + 5) + QStringLiteral("\nshort\n") + blob(kPiece + 9, 1);
        body_->showBody(before);
        QCOMPARE(body_->document()->blockCount(), 6);
        const QTextDocument& document = *body_->document();

        const auto positionOf = [&](int blockNumber, int inBlock) {
            return document.findBlockByNumber(blockNumber).position() + inBlock;
        };
        QTextCursor cursor(body_->document());
        const int position = positionOf(block, offset);
        const int anchor = anchorBlock < 0 ? position : positionOf(anchorBlock, anchorOffset);
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        body_->setTextCursor(cursor);
        const auto shownAt = [&](int at) {
            return int(BodyPieces::joinedText(document, 0, at).size());
        };
        const int from = shownAt(std::min(position, anchor));
        const int to = shownAt(std::max(position, anchor));

        // A selection copied joins its pieces; one of a bare boundary holds no character, and
        // removing it is the whole edit.
        if (position != anchor) {
            body_->copy();
            QCOMPARE(QGuiApplication::clipboard()->text(), before.mid(from, to - from));
        }
        static const QHash<QString, Qt::Key> keys{{QStringLiteral("Backspace"), Qt::Key_Backspace},
                                                  {QStringLiteral("Delete"), Qt::Key_Delete},
                                                  {QStringLiteral("Enter"), Qt::Key_Return}};
        const Qt::Key key = keys.value(edit, Qt::Key_unknown);
        QString after = before;
        after.remove(from, to - from);
        if (key == Qt::Key_unknown) {
            after.insert(from, QString(edit).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        } else if (key == Qt::Key_Return) {
            after.insert(from, QLatin1Char('\n'));
        } else if (position == anchor) {
            after.remove(key == Qt::Key_Backspace ? from - 1 : from, 1);
        }
        if (edit.contains(QLatin1Char('\n'))) {
            QGuiApplication::clipboard()->setText(edit);
            body_->paste();
        } else if (key != Qt::Key_unknown) {
            QTest::keyClick(body_.get(), key);
        } else {
            QTest::keyClicks(body_.get(), edit);
        }

        QCOMPARE(body_->bodyText(), after);
        QVERIFY(body_->document()->isModified());
        for (QTextBlock line = document.begin(); line.isValid(); line = line.next()) {
            QVERIFY(line.length() - 1 <= 2 * kPiece);  // a pasted line is cut as well
        }
        body_->undo();
        QCOMPARE(body_->bodyText(), before);
        body_->redo();
        QCOMPARE(body_->bodyText(), after);
    }

    // Keys pressed near a boundary between pieces must do what they do on the unbroken line: a
    // QTextEdit holding that line, its rows exactly as long as the pieces, is given the same keys.
    // The cursor starts at `offset` in piece `block` (from its end when negative).
    void keysNearPieceBoundary_actAsOnUnbrokenLine_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("keys");  // each as QKeySequence names it, "*n" for n presses
        // clang-format off
        QTest::newRow("Right onto and over a boundary") << "latin" << 0 << -1 << "Right Right";
        QTest::newRow("Left from piece start") << "latin" << 1 << 0 << "Left";
        QTest::newRow("Left over a boundary") << "latin" << 1 << 1 << "Left*2";
        QTest::newRow("Shift+Right ten times over a boundary") << "latin" << 0 << -5 << "Shift+Right*10";
        QTest::newRow("Shift+Left ten times over a boundary") << "latin" << 1 << 5 << "Shift+Left*10";
        QTest::newRow("Shift+Right back and forth") << "latin" << 0 << -1 << "Shift+Right*2 Shift+Left*3";
        QTest::newRow("Ctrl+Right in a word through pieces") << "latin" << 0 << -3 << "Ctrl+Right";
        QTest::newRow("Ctrl+Left in a word through pieces") << "latin" << 2 << 3 << "Ctrl+Left";
        QTest::newRow("Ctrl+Shift+Left") << "latin" << 1 << 2 << "Ctrl+Shift+Left";
        QTest::newRow("End, End") << "latin" << 0 << -3 << "End End";
        QTest::newRow("Home at piece start") << "latin" << 1 << 0 << "Home Shift+End";
        QTest::newRow("End, Right") << "latin" << 0 << -3 << "End Right";
        QTest::newRow("Shift+End, Shift+Right") << "latin" << 0 << -3 << "Shift+End Shift+Right";
        QTest::newRow("Backspace at piece start") << "latin" << 1 << 0 << "Backspace";
        QTest::newRow("End, Delete") << "latin" << 0 << -2 << "End Delete";
        QTest::newRow("Ctrl+Backspace") << "latin" << 1 << 2 << "Ctrl+Backspace";
        QTest::newRow("Ctrl+Delete") << "latin" << 0 << -2 << "Ctrl+Delete";
        QTest::newRow("blanks: Ctrl+Right to the next piece") << "blanks" << 0 << -4 << "Ctrl+Right*2";
        QTest::newRow("blanks: Ctrl+Left from piece start") << "blanks" << 1 << 0 << "Ctrl+Left";
        QTest::newRow("blanks: End stops before the blank") << "blanks" << 0 << -4 << "End Right Right";
        QTest::newRow("blanks: Shift+Right ten times") << "blanks" << 0 << -5 << "Shift+Right*10";
        QTest::newRow("Japanese: Right over a boundary") << "japanese" << 0 << -1 << "Right*3 Backspace";
        QTest::newRow("Japanese: Shift+Left ten times") << "japanese" << 1 << 4 << "Shift+Left*10";
        QTest::newRow("Japanese: Ctrl+Left, Ctrl+Right") << "japanese" << 1 << 1 << "Ctrl+Left Ctrl+Right";
        QTest::newRow("Japanese: Delete at a boundary") << "japanese" << 0 << -1 << "Right Delete";
        // clang-format on
    }

    void keysNearPieceBoundary_actAsOnUnbrokenLine() {
        QFETCH(QString, kind);
        QFETCH(int, block);
        QFETCH(int, offset);
        QFETCH(QString, keys);
        QString line;
        for (int word = 0; line.size() < 5 * kPiece / 2; ++word) {
            line += kind == QLatin1String("latin")    ? blob(kPiece)
                    : kind == QLatin1String("blanks") ? blob(9, word) + QLatin1Char(' ')
                                                      : QStringLiteral("これは日本語のテキスト");
        }
        line.truncate(5 * kPiece / 2);
        body_->setLineWrapMode(QPlainTextEdit::NoWrap);  // rows are pieces
        body_->showBody(line);
        QCOMPARE(body_->document()->blockCount(), 3);
        QTextEdit unbroken;
        unbroken.setLineWrapMode(QTextEdit::FixedColumnWidth);
        unbroken.setLineWrapColumnOrWidth(static_cast<int>(kPiece));
        unbroken.resize(16 * static_cast<int>(kPiece),
                        100);  // the columns bound the rows, not the width
        unbroken.setPlainText(line);

        const QTextDocument& document = *body_->document();
        const QTextBlock piece = document.findBlockByNumber(block);
        QTextCursor cursor(piece);
        cursor.setPosition(piece.position() + (offset < 0 ? piece.length() - 1 + offset : offset));
        body_->setTextCursor(cursor);
        const auto shownAt = [&](int at) {
            return int(BodyPieces::joinedText(document, 0, at).size());
        };
        QTextCursor same = unbroken.textCursor();
        same.setPosition(shownAt(body_->textCursor().position()));
        unbroken.setTextCursor(same);
        for (const QString& press : keys.split(QLatin1Char(' '))) {
            const QStringList keyAndCount = press.split(QLatin1Char('*'));
            const QKeyCombination key = QKeySequence(keyAndCount.first())[0];
            for (int n = keyAndCount.value(1, QStringLiteral("1")).toInt(); n > 0; --n) {
                QTest::keyClick(body_.get(), key.key(), key.keyboardModifiers());
                QTest::keyClick(&unbroken, key.key(), key.keyboardModifiers());
            }
        }

        QCOMPARE(body_->bodyText(), unbroken.toPlainText());
        QCOMPARE(shownAt(body_->textCursor().position()), unbroken.textCursor().position());
        QCOMPARE(shownAt(body_->textCursor().anchor()), unbroken.textCursor().anchor());
        body_->undo();
        unbroken.undo();
        QCOMPARE(body_->bodyText(), unbroken.toPlainText());
    }

private:
    std::unique_ptr<BodyEdit> body_;
};

QTEST_MAIN(LongLineBodyTest)
#include "long_line_body_test.moc"
