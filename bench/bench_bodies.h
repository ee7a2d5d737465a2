#pragma once

#include <QString>

// Single-line bodies the benchmarks show: Latin without blanks (the worst case for wrapping,
// which finds no place to break), Latin prose and Japanese prose. `bytes` is the size of the
// line as UTF-8.
inline QString benchBody(const QString& kind, qsizetype bytes) {
    const QString piece = kind == QLatin1String("latin") ? QStringLiteral("a")
                          : kind == QLatin1String("blanks")
                              ? QStringLiteral("lorem ipsum dolor sit ")
                              : QStringLiteral("日本語の文章です。");
    const qsizetype bytesPerChar = kind == QLatin1String("japanese") ? 3 : 1;
    QString text;
    text.reserve(bytes / bytesPerChar + piece.size());
    while (text.size() * bytesPerChar < bytes) {
        text.append(piece);
    }
    text.truncate(bytes / bytesPerChar);
    return text;
}
