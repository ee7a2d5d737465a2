#include "editing/body_pieces.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace BodyPieces {

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QChar(0x3000);
}

bool splitsPair(QStringView text, qsizetype at) {
    return text.at(at).isLowSurrogate() && text.at(at - 1).isHighSurrogate();
}

// Length of the line that starts `text`, and the length of the break after it (0 at the end).
std::pair<qsizetype, qsizetype> firstLine(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u'\r') {
            return {i, i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n') ? 2 : 1};
        }
        if (c == u'\n' || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1) {
            return {i, 1};
        }
    }
    return {text.size(), 0};
}

QTextBlockFormat withMark(QTextBlockFormat format, bool continues) {
    if (continues) {
        format.setProperty(kContinuesLine, true);
    } else {
        format.clearProperty(kContinuesLine);
    }
    return format;
}

}  // namespace

bool continuesLine(const QTextBlock& block) {
    return block.blockFormat().boolProperty(kContinuesLine);
}

qsizetype firstPieceLength(QStringView line, qsizetype pieceLength) {
    if (line.size() <= pieceLength) {
        return line.size();
    }
    const qsizetype half = pieceLength / 2;
    for (qsizetype i = pieceLength - 1; i >= half; --i) {
        if (isBlank(line.at(i))) {
            return i + 1;
        }
    }
    qsizetype cut = pieceLength;
    while (cut > half && (splitsPair(line, cut) || line.at(cut).isMark())) {
        --cut;
    }
    if (cut == half) {  // a run of marks that long is cut anyway, but a pair never
        cut = splitsPair(line, pieceLength) ? pieceLength - 1 : pieceLength;
    }
    return cut;
}

void insertText(QTextCursor& cursor, QStringView text) {
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const QTextBlockFormat format = cursor.blockFormat();
    const QTextBlockFormat piece = withMark(format, true);
    const QTextBlockFormat line = withMark(format, false);
    bool first = true;
    while (true) {
        const auto [length, breakLength] = firstLine(text);
        QStringView rest = text.first(length);
        bool firstPiece = true;
        do {
            const qsizetype n = firstPieceLength(rest);
            if (!firstPiece) {
                cursor.insertBlock(piece);
            } else if (!first) {
                cursor.insertBlock(line);
            }
            cursor.insertText(rest.first(n).toString());
            rest = rest.sliced(n);
            firstPiece = false;
        } while (!rest.isEmpty());
        first = false;
        if (breakLength == 0) {
            break;
        }
        text = text.sliced(length + breakLength);
    }
    cursor.endEditBlock();
}

QString joinedText(const QTextDocument& document, int from, int to) {
    const int end = document.characterCount() - 1;
    to = to < 0 ? end : std::min(to, end);
    QString joined;
    joined.reserve(std::max(0, to - from));
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.position() > from && !continuesLine(block)) {
            joined.append(QLatin1Char('\n'));
        }
        const int start = std::max(0, from - block.position());
        const int stop = std::min(block.length() - 1, to - block.position());
        joined.append(QStringView(block.text()).sliced(start, stop - start));
    }
    return joined;
}

}  // namespace BodyPieces
