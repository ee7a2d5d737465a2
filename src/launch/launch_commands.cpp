#include "launch/launch_commands.h"

#include <QPointer>

#include "about/frm_about.h"
#include "editing/body_edit.h"
#include "launch/app_dir.h"
#include "launch/body_commands.h"
#include "launch/help_command.h"
#include "mainwindow/frm_main.h"

LaunchCommands::LaunchCommands(frmMain& form) : form_(form) {}

void LaunchCommands::mnuEditCopy_Click() {
    BodyCommands::CopyBody(*form_.Text2);
}

void LaunchCommands::mnuExe_Click() {
    launchOnce(
        [this] { BodyCommands::ExecuteFirstLine(&form_, form_.shellOpener(), *form_.Text2); });
}

void LaunchCommands::mnuHelpHELP_Click() {
    launchOnce([this] { HHelp::ShowHelp(&form_, form_.shellOpener(), FILE01::AppDir()); });
}

void LaunchCommands::launchOnce(const std::function<void()>& launch) {
    // The window stays live while the desktop answers, so Execute or Help can be chosen
    // again before the first has its answer. That second choice is dropped, not queued: it
    // is most often an impatient repeat, and queued it would open the link twice or stack a
    // second wait inside the first.
    if (launching_) {
        return;
    }
    const QPointer<frmMain> form(&form_);
    launching_ = true;
    launch();
    // The window, and this object with it, may have been destroyed during the wait.
    if (form) {
        launching_ = false;
    }
}

void LaunchCommands::mnuHelpAbout_Click() {
    // A fresh dialog each time, so that its load step runs on every opening. It is a child
    // of the window, so it must not also live on this stack: should the window go while
    // the dialog runs, it takes the dialog with it.
    QPointer<frmAbout> about = new frmAbout(&form_);
    about->exec();
    delete about.data();
}
