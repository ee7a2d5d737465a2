#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>

#include "widgets/caret_rest.h"

using namespace mossleaf;

namespace {

enum class Input { Key, Click, InputMethodCommit, PointerMove };

}  // namespace

Q_DECLARE_METATYPE(Input)

class CaretRestTest : public QObject {
    Q_OBJECT

private slots:
    void caretRestsUntilKeyOrClick_data() {
        QTest::addColumn<Input>("input");
        QTest::addColumn<bool>("blinksAgain");
        QTest::newRow("key") << Input::Key << true;
        QTest::newRow("click") << Input::Click << true;
        QTest::newRow("input method commit") << Input::InputMethodCommit << true;
        QTest::newRow("pointer moved only") << Input::PointerMove << false;
    }

    void caretRestsUntilKeyOrClick() {
        QFETCH(Input, input);
        QFETCH(bool, blinksAgain);
        QStyleHints* hints = QGuiApplication::styleHints();
        hints->setCursorFlashTime(1000);
        QLineEdit box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        {
            CaretRest caretRest(std::chrono::milliseconds(30));
            QTRY_COMPARE(hints->cursorFlashTime(), 0);
            QInputMethodEvent commit;
            commit.setCommitString(QStringLiteral("あ"));
            switch (input) {
                case Input::Key:
                    QTest::keyClick(&box, Qt::Key_A);
                    break;
                case Input::Click:
                    QTest::mouseClick(&box, Qt::LeftButton);
                    break;
                case Input::InputMethodCommit:
                    QCoreApplication::sendEvent(&box, &commit);
                    break;
                case Input::PointerMove:
                    QTest::mouseMove(&box, QPoint(5, 5));
                    break;
            }
            QCOMPARE(hints->cursorFlashTime(), blinksAgain ? 1000 : 0);
            QTRY_COMPARE(hints->cursorFlashTime(), 0);  // and rests again after the same wait
        }
        QCOMPARE(hints->cursorFlashTime(), 1000);  // the desktop's value outlives it
    }
};

QTEST_MAIN(CaretRestTest)
#include "caret_rest_test.moc"
