#pragma once

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
    frmMain& form_;
};
