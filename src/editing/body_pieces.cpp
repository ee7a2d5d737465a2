#include "editing/body_pieces.h"

#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <vector>

namespace mossleaf::BodyPieces {

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

enum class Script { Hiragana, Katakana, Han, Other };

Script scriptOf(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 0x3041 && u <= 0x309F) {
        return Script::Hiragana;
    }
    if ((u >= 0x30A0 && u <= 0x30FF) || (u >= 0xFF66 && u <= 0xFF9F)) {
        return Script::Katakana;
    }
    if ((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF) || u == 0x3005) {
        return Script::Han;
    }
    return Script::Other;
}

// How well a row break between `before` and `after` keeps words whole, where a row may break:
// after punctuation best; then where the script changes, unless to hiragana, which mostly
// carries the particles and endings of the word before it; else not at all.
int breakRank(QChar before, QChar after) {
    if (before.isPunct()) {
        return 2;
    }
    const Script next = scriptOf(after);
    return next != scriptOf(before) && next != Script::Hiragana ? 1 : 0;
}

// The best break opportunity in the last stretch before `pieceLength` (no further back than
// `earliest`), the latest of the best; 0 when there is none (Latin without blanks).
qsizetype breakNear(QStringView line, qsizetype pieceLength, qsizetype earliest) {
    constexpr qsizetype kStretch = 64;  // enough for a clause, and cheap for the whole body
    constexpr qsizetype kContext = 8;   // break rules look at a few neighbours
    const qsizetype from = std::max({earliest, pieceLength - kStretch, qsizetype(1)});
    const qsizetype contextStart = std::max<qsizetype>(0, from - kContext);
    const qsizetype contextEnd = std::min(line.size(), pieceLength + kContext);
    const QStringView context = line.sliced(contextStart, contextEnd - contextStart);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, context.data(),
                               static_cast<int>(context.size()));
    qsizetype best = 0;
    int bestRank = -1;
    for (qsizetype at = finder.toNextBoundary(); at >= 0; at = finder.toNextBoundary()) {
        const qsizetype cut = contextStart + at;
        if (cut > pieceLength || cut >= contextEnd) {
            break;
        }
        if (cut < from) {
            continue;
        }
        const int rank = breakRank(line.at(cut - 1), line.at(cut));
        if (rank >= bestRank) {
            best = cut;
            bestRank = rank;
        }
    }
    return best;
}

// A stretch of one line around a place in it, made of stretches of the pieces it spans.
struct Stretch {
    struct Part {
        QTextBlock piece;
        int from;  // in the piece
        int length;
        int at = 0;  // in `text`
    };
    QString text;
    std::vector<Part> parts;
    int place = 0;  // in `text`
    bool fromLineStart = false;
    bool toLineEnd = false;

    // The position of `at` in the document; where one piece ends and the next starts, the
    // start of the next.
    int positionOf(int at) const {
        int position = -1;
        for (const Part& part : parts) {
            if (part.at <= at && at <= part.at + part.length) {
                position = part.piece.position() + part.from + (at - part.at);
            }
        }
        return position;
    }
};

// Up to `reach` characters of the line each side of `offset` in `block`, never beyond the line.
Stretch stretchAround(const QTextBlock& block, int offset, int reach) {
    Stretch stretch;
    std::vector<Stretch::Part> before;
    QTextBlock piece = block;
    for (int to = offset, wanted = reach;;) {
        const int from = std::max(0, to - wanted);
        before.push_back({piece, from, to - from});
        wanted -= to - from;
        if (from > 0 || wanted == 0 || !continuesLine(piece)) {
            stretch.fromLineStart = from == 0 && !continuesLine(piece);
            break;
        }
        piece = piece.previous();
        to = piece.length() - 1;
    }
    stretch.parts.assign(before.rbegin(), before.rend());
    piece = block;
    for (int from = offset, wanted = reach;;) {
        const int end = piece.length() - 1;
        const int to = std::min(end, from + wanted);
        stretch.parts.push_back({piece, from, to - from});
        wanted -= to - from;
        if (to < end || wanted == 0 || !continuesLine(piece.next())) {
            stretch.toLineEnd = to == end && !continuesLine(piece.next());
            break;
        }
        piece = piece.next();
        from = 0;
    }
    for (Stretch::Part& part : stretch.parts) {
        part.at = static_cast<int>(stretch.text.size());
        stretch.text.append(QStringView(part.piece.text()).sliced(part.from, part.length));
    }
    const Stretch::Part& upToPlace = stretch.parts[before.size() - 1];
    stretch.place = upToPlace.at + upToPlace.length;
    return stretch;
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
    if (const qsizetype cut = breakNear(line, pieceLength, half); cut > 0) {
        return cut;
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

void insertText(QTextCursor& cursor, const QString& text) {
    QStringView remaining = text;  // yet to go in
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const QTextBlockFormat format = cursor.blockFormat();
    const QTextBlockFormat piece = withMark(format, true);
    const QTextBlockFormat line = withMark(format, false);
    // QTextCursor::insertText makes a block of the current block's format at each break it
    // holds, a third faster than a block at a time: so each run of lines that need no cutting
    // goes in with one call, from an unmarked block. A marked block is left by its first line.
    bool first = true;
    while (true) {
        qsizetype runLength = -1;  // through the last line of the run, without its break
        qsizetype breakLength = 0;
        std::pair<qsizetype, qsizetype> longLine;  // the line after the run, when too long
        for (QStringView rest = remaining;;) {
            const auto [length, lineBreak] = firstLine(rest);
            if (length > kPieceLength) {
                longLine = {length, lineBreak};
                break;
            }
            runLength = rest.data() - remaining.data() + length;
            breakLength = lineBreak;
            if (lineBreak == 0 || (first && continuesLine(cursor.block()))) {
                break;
            }
            rest = rest.sliced(length + lineBreak);
        }
        if (!first) {
            cursor.insertBlock(line);
        }
        first = false;
        if (runLength == text.size()) {
            cursor.insertText(text);  // a body of short lines, not copied
        } else if (runLength >= 0) {
            cursor.insertText(remaining.first(runLength).toString());
        } else {
            const auto [length, lineBreak] = longLine;
            QStringView rest = remaining.first(length);
            for (bool firstPiece = true; !rest.isEmpty(); firstPiece = false) {
                const qsizetype n = firstPieceLength(rest);
                if (!firstPiece) {
                    cursor.insertBlock(piece);
                }
                cursor.insertText(rest.first(n).toString());
                rest = rest.sliced(n);
            }
            runLength = length;
            breakLength = lineBreak;
        }
        if (breakLength == 0) {
            break;
        }
        remaining = remaining.sliced(runLength + breakLength);
    }
    cursor.endEditBlock();
}

int stepInLine(const QTextDocument& document, int position, Step step) {
    const QTextBlock block = document.findBlock(position);
    if (!continuesLine(block) && !continuesLine(block.next())) {
        return -1;
    }
    const bool forward = step == Step::NextCharacter || step == Step::NextWord;
    const QTextLayout::CursorMode mode = step == Step::NextWord || step == Step::PreviousWord
                                             ? QTextLayout::SkipWords
                                             : QTextLayout::SkipCharacters;
    // Qt's steps look only at the characters they pass and their neighbours, so a stretch of
    // the line does; it grows while the step runs into its end.
    for (int reach = 64;; reach *= 4) {
        const Stretch stretch = stretchAround(block, position - block.position(), reach);
        if (forward ? stretch.toLineEnd && stretch.place == stretch.text.size()
                    : stretch.fromLineStart && stretch.place == 0) {
            return -1;
        }
        const QTextLayout layout(stretch.text);
        const int at = forward ? layout.nextCursorPosition(stretch.place, mode)
                               : layout.previousCursorPosition(stretch.place, mode);
        if (forward ? at < stretch.text.size() || stretch.toLineEnd
                    : at > 0 || stretch.fromLineStart) {
            return stretch.positionOf(at);
        }
    }
}

int laterTwin(const QTextDocument& document, int position) {
    for (QTextBlock block = document.findBlock(position);
         position == block.position() + block.length() - 1 && continuesLine(block.next());
         block = block.next()) {
        ++position;
    }
    return position;
}

QString joinedText(const QTextDocument& document, int from, int to) {
    const int end = document.characterCount() - 1;
    to = to < 0 ? end : std::min(to, end);
    // The raw text has U+2029 where one block ends and the next starts, and nowhere else (the
    // cursor makes a block of every one inserted), at the positions of the document: one copy,
    // made over in place, instead of a string for every block of a body of many short lines.
    QString joined = document.toRawText();
    joined.truncate(std::max(from, to));
    joined.remove(0, from);
    QChar* const text = joined.data();
    QTextBlock block = document.findBlock(from);
    qsizetype kept = 0;
    for (qsizetype i = 0; i < joined.size(); ++i) {
        if (text[i] != QChar::ParagraphSeparator) {
            text[kept++] = text[i];
        } else if (block = block.next(); !continuesLine(block)) {
            text[kept++] = QLatin1Char('\n');
        }
    }
    joined.truncate(kept);
    return joined;
}

}  // namespace mossleaf::BodyPieces
