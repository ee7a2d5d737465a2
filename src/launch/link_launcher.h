#pragma once

#include <QString>

class QWidget;

namespace mossleaf {

class ShellOpener;

// Hands help pages and links to the desktop, and tells the user when nothing opened.
namespace HHelp {

// Shown when neither attempt at the help page opened; its lines are joined by a lone CR.
extern const QString kNoBrowserMessage;
// Follows the target in the message shown when a link did not open.
extern const QString kCannotOpenSuffix;

// Opens the help page `page` (a full path, with or without an extension): first as given,
// or with ".HTM" when it holds no "." at all, then once more with ".HTM" appended.
void OpenHelpPage(QWidget* owner, ShellOpener& shell, const QString& page);

// Opens `target` unchanged; a bare mail address that does not open is tried once more as
// "Mailto:" + target. Anything that stays closed is reported by name, a long name shortened
// in the middle.
void OpenLink(QWidget* owner, ShellOpener& shell, const QString& target);

// One "@", no half-width space and at least two "." make a target a mail address.
bool looksLikeMailAddress(const QString& target);

}  // namespace HHelp

}  // namespace mossleaf
