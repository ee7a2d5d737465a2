#include "launch/app_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace mossleaf::FILE01 {

QString AppDir() {
    return appDirOf(QCoreApplication::applicationDirPath());
}

QString appDirOf(const QString& directory) {
    if (directory.endsWith(QLatin1Char('/'))) {
        return directory.chopped(1);
    }
    return directory;
}

QString matchNameIgnoringCase(const QString& path) {
    const QFileInfo exact(path);
    if (exact.exists() || exact.isSymLink()) {
        return path;
    }
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString directory = slash < 0 ? QStringLiteral(".") : path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    if (name.isEmpty()) {
        return path;
    }
    const QDir dir(slash == 0 ? QStringLiteral("/") : directory);
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            return path.left(slash + 1) + entry;
        }
    }
    return path;
}

}  // namespace mossleaf::FILE01
