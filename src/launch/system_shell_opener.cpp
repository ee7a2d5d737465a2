#include "launch/system_shell_opener.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <utility>

namespace {

// Relative targets are read against the root directory, the working directory every
// launch uses.
const QString kWorkingDirectory = QStringLiteral("/");

// gio hands the target to the application and returns at once; a gio that is still busy
// after this long is stuck (typically on a D-Bus activation), and the open counts as failed
// rather than freezing the window.
constexpr int kGioTimeoutMs = 30000;

QFileInfo targetInfo(const QString& target) {
    return QFileInfo(QDir(kWorkingDirectory), target);
}

}  // namespace

SystemShellOpener::SystemShellOpener(QString gioProgram) : gioProgram_(std::move(gioProgram)) {}

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
    gio.start();
    if (!gio.waitForStarted()) {
        return false;
    }
    if (!gio.waitForFinished(kGioTimeoutMs)) {
        gio.kill();
        gio.waitForFinished();
        return false;
    }
    return gio.exitStatus() == QProcess::NormalExit && gio.exitCode() == 0;
}

std::unique_ptr<ShellOpener> createSystemShellOpener() {
    return std::make_unique<SystemShellOpener>();
}
