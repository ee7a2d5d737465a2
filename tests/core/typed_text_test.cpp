#include <QTest>

#include "core/typed_text.h"

class TypedTextTest : public QObject {
    Q_OBJECT

private slots:
    void lineBreaksBecomeOneBlankInTitlesAndCrLfInBodies_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        // clang-format off
        QTest::newRow("no break") << "plain" << "plain" << "plain";
        QTest::newRow("CR LF is one break") << "a\r\nb" << "a b" << "a\r\nb";
        QTest::newRow("lone LF and lone CR") << "a\nb\rc" << "a b c" << "a\r\nb\r\nc";
        QTest::newRow("LF CR is two breaks") << "a\n\rb" << "a  b" << "a\r\n\r\nb";
        QTest::newRow("line and paragraph separators") << QString::fromUtf16(u"a\u2028b\u2029c") << "a b c" << QString::fromUtf16(u"a\u2028b\r\nc");
        QTest::newRow("pasted marker line") << "x\r\n<**********>, 1 , 0 ,y" << "x <**********>, 1 , 0 ,y" << "x\r\n<**********>, 1 , 0 ,y";
        QTest::newRow("breaks at both ends dropped from a title") << "\nab\r" << "ab" << "\r\nab\r\n";
        QTest::newRow("pasted line with its line end") << "tab\r\n" << "tab" << "tab\r\n";
        QTest::newRow("leading CR LF") << "\r\nx" << "x" << "\r\nx";
        QTest::newRow("blanks kept, breaks around them dropped") << QString::fromUtf16(u"\u2029 a \u2028\r\n") << " a " << QString::fromUtf16(u"\r\n a \u2028\r\n");
        QTest::newRow("only line breaks") << "\r\n\n\r" << "" << "\r\n\r\n\r\n";
        // clang-format on
    }

    void lineBreaksBecomeOneBlankInTitlesAndCrLfInBodies() {
        QFETCH(QString, typed);
        const std::u16string_view view(reinterpret_cast<const char16_t*>(typed.utf16()),
                                       static_cast<std::size_t>(typed.size()));
        QTEST(QString::fromStdU16String(mossleaf::titleFromTyped(view)), "title");
        QTEST(QString::fromStdU16String(mossleaf::bodyFromTyped(view)), "body");
    }
};

QTEST_APPLESS_MAIN(TypedTextTest)
#include "typed_text_test.moc"
