#include <QTest>

#include "core/char_utils.h"

using namespace mossleaf;

namespace {

std::u16string us(const QString& text) {
    return text.toStdU16String();
}

// 40,000 characters, past the 16-bit positions of the original design: "a" runs with an "@"
// at position 35,000 and a CR at 33,000 and 39,000.
QString longText() {
    QString text(40000, u'a');
    text[34999] = u'@';
    text[32999] = u'\r';
    text[38999] = u'\r';
    return text;
}

}  // namespace

class CharUtilsTest : public QObject {
    Q_OBJECT

private slots:
    void countChar_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("ch");
        QTest::addColumn<int>("count");
        // clang-format off
        QTest::newRow("one at sign") << "a@b.c.d" << "@" << 1;
        QTest::newRow("two-character ch") << "aaaa" << "aa" << 0;
        QTest::newRow("empty ch") << "aaaa" << "" << 0;
        QTest::newRow("empty text") << "" << "a" << 0;
        QTest::newRow("full-width at sign is another character") << QString::fromUtf16(u"a＠b") << "@" << 0;
        QTest::newRow("case-sensitive") << "AaA" << "a" << 1;
        QTest::newRow("kanji") << QString::fromUtf16(u"漢字漢") << QString::fromUtf16(u"漢") << 2;
        QTest::newRow("past 32,767 characters") << QString(70000, u'x') << "x" << 70000;
        // clang-format on
    }

    void countChar() {
        QFETCH(QString, text);
        QFETCH(QString, ch);
        QTEST(CHAR::CountChar(us(text), us(ch)), "count");
    }

    void findNth_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("position");
        // clang-format off
        QTest::newRow("first dot") << "a.b.c" << "." << 1 << 2;
        QTest::newRow("second dot") << "a.b.c" << "." << 2 << 4;
        QTest::newRow("no third dot") << "a.b.c" << "." << 3 << -1;
        QTest::newRow("overlapping occurrences count") << "aaa" << "aa" << 2 << 2;
        QTest::newRow("empty pattern") << "abc" << "" << 2 << 2;
        QTest::newRow("empty pattern past the end") << "abc" << "" << 4 << -1;
        QTest::newRow("n 0") << "a.b" << "." << 0 << -1;
        QTest::newRow("pattern longer than text") << "ab" << "abc" << 1 << -1;
        QTest::newRow("pattern at the very end") << "xxab" << "ab" << 1 << 3;
        QTest::newRow("empty text") << "" << "" << 1 << -1;
        QTest::newRow("full-width dot is another character") << QString::fromUtf16(u"a．b") << "." << 1 << -1;
        QTest::newRow("past 32,767 characters") << longText() << "@" << 1 << 35000;
        // clang-format on
    }

    void findNth() {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(int, n);
        QTEST(CHAR::FindNth(us(text), us(pattern), n), "position");
    }

    void getField_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delimiters");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("field");
        // clang-format off
        QTest::newRow("middle field") << "ab,cd;ef" << ",;" << 2 << "cd";
        QTest::newRow("last field") << "ab,cd;ef" << ",;" << 3 << "ef";
        QTest::newRow("no such field") << "ab,cd;ef" << ",;" << 4 << "";
        QTest::newRow("no delimiter, field 1") << "abc" << "," << 1 << "abc";
        QTest::newRow("adjacent delimiters") << "a,,b" << "," << 2 << "";
        QTest::newRow("after adjacent delimiters") << "a,,b" << "," << 3 << "b";
        QTest::newRow("after a final delimiter") << "a,b," << "," << 3 << "";
        QTest::newRow("empty delimiters") << "a,b" << "" << 1 << "a,b";
        QTest::newRow("n 0") << "a,b" << "," << 0 << "";
        QTest::newRow("negative n") << "a,b" << "," << -1 << "";
        QTest::newRow("leading delimiter") << ",a" << "," << 1 << "";
        QTest::newRow("first line of a body") << "first\r\nsecond" << "\r" << 1 << "first";
        QTest::newRow("second field starts with the line feed") << "first\r\nsecond" << "\r" << 2 << "\nsecond";
        QTest::newRow("past 32,767 characters, last field") << longText() << "\r" << 3 << QString(1000, u'a');
        QTest::newRow("past 32,767 characters, middle field") << longText() << "\r" << 2 << QString(1999, u'a') + u'@' + QString(3999, u'a');
        // clang-format on
    }

    void getField() {
        QFETCH(QString, text);
        QFETCH(QString, delimiters);
        QFETCH(int, n);
        QTEST(QString::fromStdU16String(CHAR::GetField(us(text), us(delimiters), n)), "field");
    }
};

QTEST_APPLESS_MAIN(CharUtilsTest)
#include "char_utils_test.moc"
