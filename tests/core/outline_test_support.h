#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include "core/document.h"

// Helpers shared by the core's tests: files as bytes, and a Document written as one line of
// text so that a whole tree can be compared in a table.
namespace testsupport {

// Notes (two body lines) with the child Plan ("buy paper"), whose child is Tasks (empty).
inline const QByteArray kWorkedExample =
    "<**********>, 1 , 0 ,Notes\r\nfirst line\r\nsecond line\r\n"
    "<**********>, 2 , 1 ,Plan\r\nbuy paper\r\n"
    "<**********>, 3 , 2 ,Tasks\r\n\r\n";

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

inline QString qs(const std::u16string& text) {
    return QString::fromStdU16String(text);
}
inline std::u16string us(const QString& text) {
    return text.toStdU16String();
}

// Line ends and escaped bytes made visible: "\r", "\n", "\xNN".
inline QString visible(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c == u'\r') {
            out += QStringLiteral("\\r");
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF) {
            out += QStringLiteral("\\x%1").arg(c.unicode() - 0xDC00, 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}

// "S1()Notes=first line\r\nsecond line|S2(S1)Plan=buy paper": key, parent key, title, body.
inline QString describe(const mossleaf::Document& doc) {
    QStringList nodes;
    for (int i = 1; i <= doc.Nodes.Count(); ++i) {
        const mossleaf::Node& node = *doc.Nodes(i);
        const QString parent = node.Parent ? QString::fromStdString(node.Parent->Key) : QString();
        nodes << QStringLiteral("%1(%2)%3=%4")
                     .arg(QString::fromStdString(node.Key), parent, visible(qs(node.title())),
                          visible(qs(doc.bodyOf(node.Key))));
    }
    return nodes.join(u'|');
}

inline QString fileIn(const QString& folder, const QString& name) {
    return QDir(folder).filePath(name);
}

inline QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

}  // namespace testsupport
