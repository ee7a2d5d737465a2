#include "launch/system_shell_opener.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <utility>

namespace mossleaf {

namespace {

// Relative targets are read against the root directory, the working directory every
// launch uses.
const QString kWorkingDirectory = QStringLiteral("/");

QFileInfo targetInfo(const QString& target) {
    return QFileInfo(QDir(kWorkingDirectory), target);
}

}  // namespace

SystemShellOpener::SystemShellOpener(QString gioProgram, std::chrono::milliseconds timeout)
    : gioProgram_(std::move(gioProgram)), timeout_(timeout) {}

bool SystemShellOpener::open(QWidget* /*owner*/, const QString& target) {
    // `gio open ''` would open the current folder; an empty target names nothing.
    if (target.isEmpty()) {
        return false;
    }
    const QFileInfo info = targetInfo(target);
    if (isProgram(info.absoluteFilePath())) {
        return startProgram(info.absoluteFilePath());
    }
    return openWithDesktop(target);
}

bool SystemShellOpener::isProgram(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable()) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = file.read(4);
    return head.startsWith(
               "\x7f"
               "ELF") ||
           head.startsWith("#!");
}

bool SystemShellOpener::startProgram(const QString& path) const {
    // The program runs on its own; nothing waits for it or reads its output.
    return QProcess::startDetached(path, {}, kWorkingDirectory);
}

bool SystemShellOpener::openWithDesktop(const QString& target) const {
    // The target is one argument after "--", never seen by a shell, whatever it holds.
    QProcess gio;
    gio.setProgram(gioProgram_);
    gio.setArguments({QStringLiteral("open"), QStringLiteral("--"), target});
    gio.setWorkingDirectory(kWorkingDirectory);
    gio.setStandardInputFile(QProcess::nullDevice());
    gio.setStandardOutputFile(QProcess::nullDevice());
    gio.setStandardErrorFile(QProcess::nullDevice());

    QEventLoop waiting;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&gio, &QProcess::finished, &waiting, &QEventLoop::quit);
    QObject::connect(&gio, &QProcess::errorOccurred, &waiting, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, &waiting, &QEventLoop::quit);
    gio.start();
    // A gio that cannot be started may say so before the loop runs, and a quit before
    // exec() would be lost.
    if (gio.state() != QProcess::NotRunning) {
        deadline.start(timeout_);
        waiting.exec();
    }
    // Only locals from here on: the window, and this opener with it, may be gone by now.
    if (gio.state() != QProcess::NotRunning) {
        // Timed out, or the loop ended because the application is quitting.
        gio.kill();
        gio.waitForFinished(1000);
        return false;
    }
    return gio.error() != QProcess::FailedToStart && gio.exitStatus() == QProcess::NormalExit &&
           gio.exitCode() == 0;
}

std::unique_ptr<ShellOpener> createSystemShellOpener() {
    return std::make_unique<SystemShellOpener>();
}

}  // namespace mossleaf
