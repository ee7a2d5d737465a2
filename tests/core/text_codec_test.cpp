#include <QTest>

#include "core/text_codec.h"

using mossleaf::decodeText;
using mossleaf::detectEncoding;
using mossleaf::encodeText;
using mossleaf::TextEncoding;
using mossleaf::Utf8Validator;

Q_DECLARE_METATYPE(TextEncoding)

class TextCodecTest : public QObject {
    Q_OBJECT

private slots:
    void detectsTheEncoding_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("encoding");
        const auto cp932 = TextEncoding::Cp932;
        const auto utf8 = TextEncoding::Utf8;
        // clang-format off
        QTest::newRow("empty") << QByteArray() << cp932;
        QTest::newRow("ASCII") << QByteArray("plain text, no more") << cp932;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFplain") << TextEncoding::Utf8Bom;
        QTest::newRow("byte-order mark, then invalid") << QByteArray("\xEF\xBB\xBF\xFF") << TextEncoding::Utf8Bom;
        QTest::newRow("two-byte sequence") << QByteArray("caf\xC3\xA9") << utf8;
        QTest::newRow("four-byte sequence after long ASCII") << QByteArray(100, 'a') + "\xF0\x9F\x98\x80" << utf8;
        QTest::newRow("CP932 kanji") << QByteArray("\x8A\xBF\x8E\x9A") << cp932;
        QTest::newRow("UTF-8 then CP932") << QByteArray("\xC3\xA9 \x8A\xBF") << cp932;
        QTest::newRow("overlong") << QByteArray("\xC0\x80") << cp932;
        QTest::newRow("overlong three bytes") << QByteArray("\xE0\x80\xAF") << cp932;
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << cp932;
        QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << cp932;
        QTest::newRow("cut short at the end") << QByteArray("ab\xE3\x81") << cp932;
        QTest::newRow("half-width pair") << QByteArray("\xC3\xA9") << utf8;
        QTest::newRow("three-byte sequence, then ASCII") << QByteArray("\xE6\xBC\xA2" "abc") << utf8;
        QTest::newRow("sequence broken by ASCII") << QByteArray("\xF0\x9F" "a\x98\x80") << cp932;
        // clang-format on
    }

    void detectsTheEncoding() {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, encoding);
        const std::string whole = bytes.toStdString();
        QCOMPARE(detectEncoding(whole), encoding);
        if (encoding == TextEncoding::Utf8Bom) {
            return;
        }
        // Handed over in pieces, wherever they are cut, the bytes give the same answer.
        for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
            Utf8Validator twoPieces;
            twoPieces.feed(std::string_view(whole).substr(0, cut));
            twoPieces.feed(std::string_view(whole).substr(cut));
            QVERIFY2(twoPieces.detected() == encoding, qPrintable(QString::number(cut)));
        }
        Utf8Validator bytewise;
        for (const char byte : whole) {
            bytewise.feed(std::string_view(&byte, 1));
            bytewise.feed({});
        }
        QCOMPARE(bytewise.detected(), encoding);
    }

    void decodesAndEncodesBack_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("again");  // the bytes the text is written as; empty: `bytes`
        const auto cp932 = TextEncoding::Cp932;
        const auto utf8 = TextEncoding::Utf8;
        const QByteArray same;
        // clang-format off
        QTest::newRow("CP932 mixed") << QByteArray("a\x82\xA0\xB1\x87\x40\xFA\x40\xF0\x40") << cp932 << QString::fromUtf16(u"aあｱ①ⅰ\uE000") << same;
        QTest::newRow("CP932 invalid single bytes") << QByteArray("\x80\xA0\xFD\xFE\xFF") << cp932 << QString::fromUtf16(u"\xDC80\xDCA0\xDCFD\xDCFE\xDCFF") << same;
        QTest::newRow("CP932 lead byte before an invalid trail") << QByteArray("\x81\x0D\x0A\x81\x20") << cp932 << QString::fromUtf16(u"\xDC81\r\n\xDC81 ") << same;
        QTest::newRow("CP932 undefined pair keeps the second byte") << QByteArray("\x85\x40\xEF\x41") << cp932 << QString::fromUtf16(u"\xDC85@\xDCEF" u"A") << same;
        QTest::newRow("CP932 lone lead byte at the end") << QByteArray("x\x81") << cp932 << QString::fromUtf16(u"x\xDC81") << same;
        QTest::newRow("UTF-8 all lengths") << QByteArray("a\xC3\xA9\xE6\xBC\xA2\xF0\x9F\x98\x80") << utf8 << QString::fromUtf16(u"aé漢😀") << same;
        QTest::newRow("UTF-8 invalid bytes") << QByteArray("\xFF\xC3(\xE6\xBC(\x80") << utf8 << QString::fromUtf16(u"\xDCFF\xDCC3(\xDCE6\xDCBC(\xDC80") << same;
        // The three-byte form is what the writer gives a surrogate without a partner.
        QTest::newRow("UTF-8 surrogate forms read as surrogates") << QByteArray("\xED\xA0\xBDx\xED\xB8\x80\xED\xAF\xBF") << utf8 << QString::fromUtf16(u"\xD83Dx\xDE00\xDBFF") << same;
        QTest::newRow("UTF-8 surrogate forms that make a pair") << QByteArray("\xED\xA0\xBD\xED\xB8\x80") << utf8 << QString::fromUtf16(u"\xD83D\xDE00") << QByteArray("\xF0\x9F\x98\x80");
        QTest::newRow("UTF-8 surrogate forms beside the escape range") << QByteArray("\xED\xB1\xBF.\xED\xB4\x80") << utf8 << QString::fromUtf16(u"\xDC7F.\xDD00") << same;
        QTest::newRow("UTF-8 encoded escapes stay bytes") << QByteArray("\xED\xB2\x80\xED\xB3\xBF") << utf8 << QString::fromUtf16(u"\xDCED\xDCB2\xDC80\xDCED\xDCB3\xDCBF") << same;
        QTest::newRow("UTF-8 surrogate form cut short") << QByteArray("\xED\xA0x\xED\xA0") << utf8 << QString::fromUtf16(u"\xDCED\xDCA0x\xDCED\xDCA0") << same;
        QTest::newRow("UTF-8 pair whose low half looks like an escape") << QByteArray("\xF2\x82\x82\x82\x80") << utf8 << QString::fromUtf16(u"\xD9C8\xDC82\xDC80") << same;
        QTest::newRow("UTF-8 cut short") << QByteArray("\xF0\x9F\x98") << utf8 << QString::fromUtf16(u"\xDCF0\xDC9F\xDC98") << same;
        // clang-format on
    }

    void decodesAndEncodesBack() {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, encoding);

        const std::u16string decoded = decodeText(bytes.toStdString(), encoding);
        QTEST(QString::fromStdU16String(decoded), "text");
        QFETCH(QByteArray, again);
        std::string out = "prefix";
        QVERIFY(encodeText(decoded, encoding, out));
        QCOMPARE(QByteArray::fromStdString(out), "prefix" + (again.isEmpty() ? bytes : again));
        QCOMPARE(decodeText(out.substr(6), encoding), decoded);
    }

    void encodes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<bool>("held");
        QTest::addColumn<QByteArray>("bytes");
        const auto cp932 = TextEncoding::Cp932;
        const auto utf8 = TextEncoding::Utf8;
        using B = QByteArray;
        // clang-format off
        // The characters CP932 cannot hold are checked through the save, which falls back.
        QTest::newRow("escapes around kanji") << QString::fromUtf16(u"\xDC81 漢\xDCFF") << cp932 << true << B("\x81 \x8A\xBF\xFF");
        // Written out, the lead byte would pair up with the kanji's first byte.
        QTest::newRow("escaped lead byte before a kanji") << QString::fromUtf16(u"\xDC81漢") << cp932 << false << B();
        QTest::newRow("emoji after an escape") << QString::fromUtf16(u"\xDC80😀") << cp932 << false << B();
        QTest::newRow("lone surrogate in CP932") << QString::fromUtf16(u"\xD800") << cp932 << false << B();
        // Surrogates without a partner keep a byte form in UTF-8 that reads back as them.
        QTest::newRow("lone high surrogate") << QString::fromUtf16(u"a\xD83D" u"b") << utf8 << true << B("a\xED\xA0\xBD" "b");
        QTest::newRow("lone low surrogate") << QString::fromUtf16(u"\xDE00") << utf8 << true << B("\xED\xB8\x80");
        QTest::newRow("pair whose low half looks like an escape") << QString::fromUtf16(u"\xD83D\xDC80") << utf8 << true << B("\xF0\x9F\x92\x80");
        QTest::newRow("surrogate pair") << QString::fromUtf16(u"\xD83D\xDE00") << utf8 << true << B("\xF0\x9F\x98\x80");
        QTest::newRow("high surrogate at the end") << QString::fromUtf16(u"\xDBFF") << utf8 << true << B("\xED\xAF\xBF");
        // clang-format on
    }

    void encodes() {
        QFETCH(QString, text);
        QFETCH(TextEncoding, encoding);
        QFETCH(QByteArray, bytes);

        std::string out = "kept";
        QTEST(encodeText(text.toStdU16String(), encoding, out), "held");
        QCOMPARE(QByteArray::fromStdString(out), "kept" + bytes);
    }
};

QTEST_APPLESS_MAIN(TextCodecTest)
#include "text_codec_test.moc"
