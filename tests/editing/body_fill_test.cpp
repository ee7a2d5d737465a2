// Whatever the user does while a big body is shown in parts must end as on a body shown at once:
// the text where it was put, undo back to the body, nothing modified that was only looked at.
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QTextDocument>

#include "editing/body_edit.h"
#include "editing/body_fill.h"
#include "editing/body_pieces.h"

using namespace mossleaf;

namespace {

// Numbered short lines, more than go in at once.
QString bigBody() {
    QString text;
    for (int line = 0; text.size() <= BodyFill::kAtOnce; ++line) {
        text += QStringLiteral("line %1 of the body\n").arg(line);
    }
    return text + QStringLiteral("last line");
}

}  // namespace

class BodyFillTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        body_.show();
        QVERIFY(QTest::qWaitForWindowExposed(&body_));
    }

    void editWhileFilling_endsAsOnBodyShownAtOnce_data() {
        QTest::addColumn<QString>("edit");     // pasted when it holds lines, else typed
        QTest::addColumn<bool>("atShownEnd");  // else at the 10th character, before the fill ends
        QTest::newRow("copied, nothing typed") << QString() << false;
        QTest::newRow("typed") << QStringLiteral("xy") << false;
        QTest::newRow("pasted lines") << QStringLiteral("a\nb\n") << false;
        QTest::newRow("typed where the first part ended") << QStringLiteral("z") << true;
    }

    void editWhileFilling_endsAsOnBodyShownAtOnce() {
        QFETCH(QString, edit);
        QFETCH(bool, atShownEnd);
        const QString shown = bigBody();
        body_.showBody(shown);
        QVERIFY(body_.isFilling());
        const QTextDocument& document = *body_.document();
        const int place = atShownEnd ? int(BodyPieces::joinedText(document).size()) : 10;
        QTextCursor cursor = body_.textCursor();
        cursor.setPosition(place);  // short lines: the document's positions are the body's
        body_.setTextCursor(cursor);
        if (atShownEnd) {
            QTRY_VERIFY(!body_.isFilling());
            QCOMPARE(body_.textCursor().position(), place);
        }
        if (edit.contains(QLatin1Char('\n'))) {
            QGuiApplication::clipboard()->setText(edit);
            body_.paste();
        } else {
            QTest::keyClicks(&body_, edit);
        }
        const QString edited = QString(shown).insert(place, edit);
        QCOMPARE(body_.bodyText(), edited);
        QCOMPARE(document.isModified(), edited != shown);
        while (document.isUndoAvailable()) {
            body_.undo();
        }
        QCOMPARE(body_.bodyText(), shown);
        QVERIFY(!document.isModified());
    }

    void anotherBodyShown_whileFilling_isShownAlone() {
        body_.showBody(bigBody());
        QVERIFY(body_.isFilling());
        body_.showBody(QStringLiteral("short\nbody"));
        QTest::qWait(50);
        QCOMPARE(BodyPieces::joinedText(*body_.document()), QStringLiteral("short\nbody"));
    }

private:
    BodyEdit body_{nullptr};
};

QTEST_MAIN(BodyFillTest)
#include "body_fill_test.moc"
