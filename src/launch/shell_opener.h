#pragma once

#include <QString>
#include <memory>

class QWidget;

namespace mossleaf {

// Stands in for the Windows shell's open operation: opens a target with the program the
// desktop associates with it. No verb, no parameters, working directory "/", a normal
// activated window. True means the desktop started something; it never waits for it. While
// the desktop answers, the event loop may run: the owner can be closed or destroyed before
// open() returns.
class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    virtual bool open(QWidget* owner, const QString& target) = 0;
};

// The real opener of this desktop.
std::unique_ptr<ShellOpener> createSystemShellOpener();

}  // namespace mossleaf
