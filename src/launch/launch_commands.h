#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace mossleaf {

class ShellOpener;

// Copy, Execute and the help page, as the main window runs them: on the text the body text
// box shows, handing links to the shell opener. Copy reads the whole text (`shownBody`);
// Execute only as much as holds the first line (`shownFirstLine`), since a body of many
// megabytes may follow it.
class LaunchCommands {
public:
    using BodyReader = std::function<QString()>;

    LaunchCommands(QWidget& window, BodyReader shownBody, BodyReader shownFirstLine,
                   ShellOpener& shell);

    // Tests put a fake opener in the real one's place.
    void setShellOpener(ShellOpener& shell) { shell_ = &shell; }

    void mnuEditCopy_Click();
    void mnuExe_Click();
    void mnuHelpHELP_Click();

private:
    // Runs one hand-over to the desktop; ignored while another is still waiting for its
    // answer.
    void launchOnce(const std::function<void()>& launch);

    QWidget& window_;
    BodyReader shownBody_;
    BodyReader shownFirstLine_;
    ShellOpener* shell_;
    bool launching_ = false;
};

}  // namespace mossleaf
