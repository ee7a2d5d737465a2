#pragma once

#include <QString>
#include <chrono>

#include "launch/shell_opener.h"

namespace mossleaf {

// The desktop's open operation on Linux. A program (an executable ELF file or "#!" script) is
// started directly; anything else goes to `gio open`, which picks the application the desktop
// associates with the file type or URL scheme. Both run with "/" as working directory, so a
// relative target means the same thing to either of them.
//
// gio hands the target to the application and normally returns at once, but a desktop that
// hangs (typically on a D-Bus activation) can keep it busy. The answer is awaited in a local
// event loop, so the window goes on painting and taking input meanwhile; callers must expect
// anything the user can do in that time, the window closing included. A gio still busy after
// `timeout` counts as failed, and so does one cut short because the application is quitting.
class SystemShellOpener : public ShellOpener {
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{30000};

    // `gioProgram` is the name or path of the gio tool; tests may point it elsewhere.
    explicit SystemShellOpener(QString gioProgram = QStringLiteral("gio"),
                               std::chrono::milliseconds timeout = kDefaultTimeout);

    bool open(QWidget* owner, const QString& target) override;

    // True for an existing regular file with the execute permission whose content is a
    // program: files on drives formatted for Windows often carry the permission without
    // being programs, and those must open in their associated application instead.
    static bool isProgram(const QString& path);

private:
    bool startProgram(const QString& path) const;
    bool openWithDesktop(const QString& target) const;

    QString gioProgram_;
    std::chrono::milliseconds timeout_;
};

}  // namespace mossleaf
