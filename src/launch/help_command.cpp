#include "launch/help_command.h"

#include <QFileInfo>

#include "launch/app_dir.h"
#include "launch/link_launcher.h"
#include "widgets/long_line.h"
#include "widgets/message_box.h"

namespace mossleaf::HHelp {

const QString kMissingSuffix = QStringLiteral("がありません。");

void showHelp(QWidget* owner, ShellOpener& shell, const QString& appDir) {
    const QString pageBase = appDir + QStringLiteral("/help");
    const QString pageFile = appDir + QStringLiteral("/help.htm");
    // The page is looked up the way the opener will find it, without regard to case; a
    // directory of that name is no page.
    if (QFileInfo(FILE01::matchNameIgnoringCase(pageFile)).isFile()) {
        OpenHelpPage(owner, shell, pageBase);
    } else {
        MessageBox::exclamation(owner, LongLine::forMessage(pageFile, owner) + kMissingSuffix);
    }
}

}  // namespace mossleaf::HHelp
