#pragma once

#include <QString>

// `piece` repeated up to exactly `chars` characters.
inline QString repeatedTo(const QString& piece, qsizetype chars) {
    QString text;
    text.reserve(chars + piece.size());
    while (text.size() < chars) {
        text.append(piece);
    }
    text.truncate(chars);
    return text;
}

// Single lines the benchmarks show: Latin without blanks (the worst case for wrapping, which
// finds no place to break), Latin prose and Japanese prose, of `chars` characters.
inline QString benchLine(const QString& kind, qsizetype chars) {
    const QString piece = kind == QLatin1String("latin") ? QStringLiteral("a")
                          : kind == QLatin1String("blanks")
                              ? QStringLiteral("lorem ipsum dolor sit ")
                              : QStringLiteral("日本語の文章です。");
    return repeatedTo(piece, chars);
}

// Such a line of `bytes` bytes as UTF-8; for "lines", a body of `bytes` bytes in short lines.
inline QString benchBody(const QString& kind, qsizetype bytes) {
    if (kind == QLatin1String("lines")) {
        return repeatedTo(QStringLiteral("a short line of a note, as most are\n"), bytes);
    }
    return benchLine(kind, kind == QLatin1String("japanese") ? bytes / 3 : bytes);
}
