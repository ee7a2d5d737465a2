#include "widgets/local_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QByteArrayView>
#include <QFile>
#include <memory>
#include <optional>
#include <vector>

#include "core/text_codec.h"

namespace mossleaf::LocalPath {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

std::u16string_view view(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QString toQString(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

std::vector<std::string_view> splitParts(std::string_view bytes) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = bytes.find('/', start);
        parts.push_back(bytes.substr(start, slash - start));
        if (slash == std::string_view::npos) {
            return parts;
        }
        start = slash + 1;
    }
}

QString partForDisplay(std::string_view part) {
    if (QByteArrayView(part.data(), static_cast<qsizetype>(part.size())).isValidUtf8()) {
        return QString::fromUtf8(part.data(), static_cast<qsizetype>(part.size()));
    }
    std::u16string text = decodeText(part, TextEncoding::Cp932);
    // CP932 gives no character beyond U+FFFF, so every low surrogate is an undecodable byte.
    for (char16_t& unit : text) {
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            unit = kReplacement;
        }
    }
    return toQString(text);
}

// The bytes of the one entry of `folder` that Qt names `qtPart`, if there is exactly one.
std::optional<std::string> entryNamed(const std::string& folder, const QString& qtPart) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) {
        return std::nullopt;
    }
    std::optional<std::string> found;
    while (const dirent* entry = readdir(dir.get())) {
        if (QFile::decodeName(entry->d_name) != qtPart) {
            continue;
        }
        if (found) {
            return std::nullopt;  // two names look the same on screen: neither is sure
        }
        found = entry->d_name;
    }
    return found;
}

bool existsBytes(const std::string& bytes) {
    struct stat info;
    return lstat(bytes.c_str(), &info) == 0;
}

}  // namespace

std::string toBytes(const QString& path) {
    std::string bytes;
    encodeText(view(path), TextEncoding::Utf8, bytes);
    return bytes;
}

QString fromBytes(std::string_view bytes) {
    return toQString(decodeText(bytes, TextEncoding::Utf8));
}

QString toQtName(const QString& path) {
    const std::string bytes = toBytes(path);
    return QFile::decodeName(
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString fromQtName(const QString& qtName) {
    if (!qtName.contains(QChar(kReplacement)) || exists(qtName)) {
        return qtName;
    }
    const std::string given = toBytes(qtName);
    std::string resolved;
    bool first = true;
    for (const std::string_view part : splitParts(given)) {
        // The folder the part lies in: "/a" for "/a/b", the root for "/a", "." for "a".
        const std::string folder = first ? std::string(".") : resolved.empty() ? "/" : resolved;
        if (!first) {
            resolved += '/';
        }
        first = false;
        const QString qtPart = fromBytes(part);
        if (qtPart.contains(QChar(kReplacement)) && !existsBytes(resolved + std::string(part))) {
            if (const std::optional<std::string> entry = entryNamed(folder, qtPart)) {
                resolved += *entry;
                continue;
            }
        }
        resolved += part;
    }
    return fromBytes(resolved);
}

QString forDisplay(const QString& path) {
    const std::string bytes = toBytes(path);
    QString shown;
    bool first = true;
    for (const std::string_view part : splitParts(bytes)) {
        if (!first) {
            shown += QLatin1Char('/');
        }
        first = false;
        shown += partForDisplay(part);
    }
    return shown;
}

bool exists(const QString& path) {
    return existsBytes(toBytes(path));
}

}  // namespace mossleaf::LocalPath
