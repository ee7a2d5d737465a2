#pragma once

#include <QString>

class QWidget;

namespace mossleaf {

class ShellOpener;

// The Help menu's manual: "help.htm" beside the program, opened in the desktop's browser.
namespace HHelp {

// Follows the page's path in the message shown when it is missing.
extern const QString kMissingSuffix;

// Opens `appDir` + "/help" when the page `appDir` + "/help.htm" is an ordinary file, and
// names the missing file otherwise. `appDir` is what FILE01::AppDir gives.
void showHelp(QWidget* owner, ShellOpener& shell, const QString& appDir);

}  // namespace HHelp

}  // namespace mossleaf
