#include "launch/launch_commands.h"

#include <QPointer>
#include <QWidget>
#include <utility>

#include "launch/app_dir.h"
#include "launch/body_commands.h"
#include "launch/help_command.h"

namespace mossleaf {

LaunchCommands::LaunchCommands(QWidget& window, BodyReader shownBody, BodyReader shownFirstLine,
                               ShellOpener& shell)
    : window_(window),
      shownBody_(std::move(shownBody)),
      shownFirstLine_(std::move(shownFirstLine)),
      shell_(&shell) {}

void LaunchCommands::mnuEditCopy_Click() {
    BodyCommands::copyBody(shownBody_());
}

void LaunchCommands::mnuExe_Click() {
    launchOnce([this] { BodyCommands::executeFirstLine(&window_, *shell_, shownFirstLine_()); });
}

void LaunchCommands::mnuHelpHELP_Click() {
    launchOnce([this] { HHelp::showHelp(&window_, *shell_, FILE01::AppDir()); });
}

void LaunchCommands::launchOnce(const std::function<void()>& launch) {
    // The window stays live while the desktop answers, so Execute or Help can be chosen
    // again before the first has its answer. That second choice is dropped, not queued: it
    // is most often an impatient repeat, and queued it would open the link twice or stack a
    // second wait inside the first.
    if (launching_) {
        return;
    }
    const QPointer<QWidget> window(&window_);
    launching_ = true;
    launch();
    // The window, and this object with it, may have been destroyed during the wait.
    if (window) {
        launching_ = false;
    }
}

}  // namespace mossleaf
