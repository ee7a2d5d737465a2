#pragma once

#include <QString>

#include "launch/shell_opener.h"

// The desktop's open operation on Linux. A program (an executable ELF file or "#!" script) is
// started directly; anything else goes to `gio open`, which picks the application the desktop
// associates with the file type or URL scheme. Both run with "/" as working directory, so a
// relative target means the same thing to either of them.
class SystemShellOpener : public ShellOpener {
public:
    // `gioProgram` is the name or path of the gio tool; tests may point it elsewhere.
    explicit SystemShellOpener(QString gioProgram = QStringLiteral("gio"));

    bool open(QWidget* owner, const QString& target) override;

    // True for an existing regular file with the execute permission whose content is a
    // program: files on drives formatted for Windows often carry the permission without
    // being programs, and those must open in their associated application instead.
    static bool isProgram(const QString& path);

private:
    bool startProgram(const QString& path) const;
    bool openWithDesktop(const QString& target) const;

    QString gioProgram_;
};
