#pragma once

#include <functional>

class frmMain;

// Copy, Execute, the help page and the About box, as the main window runs them.
class LaunchCommands {
public:
    explicit LaunchCommands(frmMain& form);

    void mnuEditCopy_Click();
    void mnuExe_Click();
    void mnuHelpHELP_Click();
    void mnuHelpAbout_Click();

private:
    // Runs one hand-over to the desktop; ignored while another is still waiting for its
    // answer.
    void launchOnce(const std::function<void()>& launch);

    frmMain& form_;
    bool launching_ = false;
};
