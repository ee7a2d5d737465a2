#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QUrl>

// A desktop of our own for `gio open`: a handler program that writes the one argument it was
// given, exactly, to a file, registered in private XDG folders as the default application.
namespace desktophandler {

inline bool writeFile(const QString& path, const QByteArray& content, bool executable = false) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        return false;
    }
    file.close();
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               (executable ? QFileDevice::ExeOwner : QFileDevice::Permissions()));
}

inline QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// gio hands a local file to the handler as a path or as a file URL.
inline QString asPath(const QString& received) {
    return received.startsWith(QLatin1String("file://")) ? QUrl(received).toLocalFile() : received;
}

// Installs the handler under `dir` for `types`; what it receives lands in `received`.
inline bool install(const QString& dir, const QString& received, const QStringList& types) {
    const QString handler = dir + QStringLiteral("/handler.sh");
    const QByteArray r = received.toUtf8();
    QByteArray defaults = "[Default Applications]\n";
    for (const QString& type : types) {
        defaults += type.toUtf8() + "=mossleaf-test-handler.desktop\n";
    }
    const bool written =
        writeFile(
            handler,
            "#!/bin/sh\nprintf '%s' \"$1\" > '" + r + ".part' && mv '" + r + ".part' '" + r + "'\n",
            true) &&
        QDir().mkpath(dir + QStringLiteral("/data/applications")) &&
        QDir().mkpath(dir + QStringLiteral("/config")) &&
        writeFile(dir + QStringLiteral("/data/applications/mossleaf-test-handler.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Mossleaf test handler\nExec=" +
                      handler.toUtf8() +
                      " %u\nNoDisplay=true\nMimeType=" + types.join(u';').toUtf8() + ";\n") &&
        writeFile(dir + QStringLiteral("/config/mimeapps.list"), defaults);
    // gio reads these when it starts, so they reach it through our environment.
    qputenv("XDG_DATA_HOME", (dir + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (dir + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_DIRS", (dir + QStringLiteral("/data")).toUtf8() + ":/usr/share");
    qputenv("XDG_CONFIG_DIRS", (dir + QStringLiteral("/config")).toUtf8());
    return written;
}

}  // namespace desktophandler
