#include <QTest>

#include <cstdint>
#include <cstdlib>

#include "outline_fuzz_entry.h"

namespace {

using namespace std::string_view_literals;

// Long seeds are written over two lines on purpose.
// NOLINTBEGIN(bugprone-suspicious-missing-comma)
const std::string_view kSeeds[] = {
    "<**********>, 1 , 0 ,Notes\r\nfirst line\r\nsecond line\r\n<**********>, 2 , 1 ,Plan\r\n"
    "buy paper\r\n<**********>, 3 , 2 ,Tasks\r\n\r\n",
    "<**********>, 1 , 0 ,\x8A\xBF\x82\xA0\xB1\r\n\x81\x60\x87\x40\xED\x40\xFA\x54\xF0\x40\r\n"
    "<**********>, 2 , 1 ,\x80\r\n\x85\x40\xFF\x81",
    "<**********>, 1 , 0 ,\xC3\xA9\r\n\xED\x95\x9C\xF0\x9F\x98\x80\r\n<**********>,1,1,a,b\r\n",
    "\xEF\xBB\xBF<**********>, 1 , 0 ,A\n\xE6\xBC\xA2\r<**********>, 2 , 9 ,B\r\r\n",
    // a character beyond the BMP whose low surrogate lies among the escapes
    "<**********>, 1 , 0\x92,\xEF\xBB\xBF\r\n\xF2\x82\x82\x82\x80\r\n",
    "<**********>\r\n<**********>, 1\r\n<**********>, 1 , -3\r\n<**********>, 2 , 1.5 ,\"q\"\r\n"
    "<**********>x\r\n <**********>,\r\n",
    // once found: CP932 bytes that, encoded again, would have been read as UTF-8
    "<**********>\r\xE2\x80\xFA\x54\x94",
    // Mossleaf's own layout with controls, in UTF-8 with and without the byte-order mark
    "\xEF\xBB\xBF<**********>, 1 , 0 ,\t\0\x7F\xC2\x85\r\n\xEF\xBB\xBF\xEF\xBF\xBD\x1B\r\n"
    "<**********>, 2 , 1 ,<**********>\r\n\r\n"sv,
    "<**********>, 1 , 0 ,\xE6\xBC\xA2\r\n\0\r\n<**********>, 2 , 0 ,\r\n\f\r\n"sv,
};
// NOLINTEND(bugprone-suspicious-missing-comma)

// A small deterministic generator (xorshift), the same on every machine.
class Random {
public:
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    std::size_t below(std::size_t n) { return n ? next() % n : 0; }

private:
    std::uint32_t state_ = 2463534242u;
};

// Pieces that matter to the reader: the marker, field and line separators, numbers and
// bytes that start multi-byte characters in one encoding or the other.
const char* const kPieces[] = {
    "<**********>,", "<**********>", ",",     "\r\n", "\r",       "\n",   " 0 ",
    " 1 ",           "-1",           "99999", "\x81", "\xC3",     "\xA9", "\xE3",
    "\xEF\xBB\xBF",  "\xF0\x9F",     "\x80",  "\xFF", "\xFA\x54", "\""};

std::string mutate(std::string bytes, Random& random) {
    const int steps = 1 + int(random.below(4));
    for (int step = 0; step < steps; ++step) {
        const std::size_t at = random.below(bytes.size() + 1);
        switch (random.below(5)) {
            case 0:
                if (!bytes.empty()) {
                    bytes[random.below(bytes.size())] = char(random.next());
                }
                break;
            case 1:
                bytes.insert(at, kPieces[random.below(std::size(kPieces))]);
                break;
            case 2:
                bytes.erase(at, random.below(8));
                break;
            case 3: {
                const std::size_t from = random.below(bytes.size() + 1);
                bytes.insert(at, bytes.substr(from, random.below(40)));
                break;
            }
            default: {
                const std::string other(kSeeds[random.below(std::size(kSeeds))]);
                bytes = bytes.substr(0, at) + other.substr(random.below(other.size()));
                break;
            }
        }
    }
    return bytes;
}

std::string manyRecords(int count, const std::string& body = "b") {
    std::string bytes;
    for (int i = 1; i <= count; ++i) {
        bytes += "<**********>, " + std::to_string(i) + " , " + std::to_string(i / 2) + " ,t\r\n" +
                 body + "\r\n";
    }
    return bytes;
}

}  // namespace

// Runs the fuzzing step on a fixed set of mutated seeds: any failure here is a real fault
// that the libFuzzer target could also find.
class OutlineFuzzTest : public QObject {
    Q_OBJECT

private slots:
    void seedsHold() {
        for (const std::string_view seed : kSeeds) {
            QCOMPARE(QString::fromStdString(checkOutlineRoundTrip(seed)), QString());
        }
        QCOMPARE(QString::fromStdString(checkOutlineRoundTrip(manyRecords(520))), QString());
        // Bodies long enough to be written straight from the bytes read
        const std::string longBody = manyRecords(3, std::string(70000, 'x') + "\r\n\x82\xA0");
        QCOMPARE(QString::fromStdString(checkOutlineRoundTrip(longBody)), QString());
        QCOMPARE(QString::fromStdString(checkOutlineRoundTrip("")), QString());
    }

    void mutatedSeedsHold() {
        // Fewer under the sanitizers, which are many times slower.
        const char* runs = std::getenv("MOSSLEAF_FUZZ_RUNS");
        const int count = runs ? std::atoi(runs) : 5000;
        Random random;
        std::string current(kSeeds[0]);
        for (int i = 0; i < count; ++i) {
            // Mostly build on the last input, now and then start again from a seed.
            if (random.below(8) == 0) {
                current = std::string(kSeeds[random.below(std::size(kSeeds))]);
            }
            current = mutate(current, random);
            if (current.size() > 4096) {
                current.resize(random.below(4096));
            }
            const std::string failure = checkOutlineRoundTrip(current);
            if (!failure.empty()) {
                QFAIL(qPrintable(
                    QStringLiteral("iteration %1: %2; input (hex) %3")
                        .arg(i)
                        .arg(QString::fromStdString(failure))
                        .arg(QString::fromLatin1(QByteArray::fromStdString(current).toHex()))));
            }
        }
    }
};

QTEST_APPLESS_MAIN(OutlineFuzzTest)
#include "outline_fuzz_test.moc"
