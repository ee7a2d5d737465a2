#include "launch/link_launcher.h"

#include <QPointer>
#include <QWidget>

#include "core/char_utils.h"
#include "launch/app_dir.h"
#include "launch/shell_opener.h"
#include "widgets/long_line.h"
#include "widgets/message_box.h"
#include "widgets/qt_text.h"

namespace mossleaf::HHelp {

const QString kNoBrowserMessage = QStringLiteral(
    "ヘルプを表示するにはＨＴＭＬ対応のブラウザが必要です。\r"
    " インターネットエクスプローラなどを準備してください。\r"
    "   とりあえず 表示しますが、正しく表示できません");
const QString kCannotOpenSuffix = QStringLiteral("は開けません");

namespace {

const QString kHelpExtension = QStringLiteral(".HTM");

// The desktop may take a while to answer, and the window goes on taking input meanwhile.
// Once the owner has been closed or destroyed, nothing more is tried or shown: the user has
// left, and the shell may have gone with the window that owns it.
class OwnerWatch {
public:
    explicit OwnerWatch(QWidget* owner)
        : owner_(owner), watched_(owner != nullptr), wasVisible_(owner && owner->isVisible()) {}

    bool gone() const { return watched_ && (!owner_ || (wasVisible_ && !owner_->isVisible())); }

private:
    QPointer<QWidget> owner_;
    bool watched_;
    bool wasVisible_;
};

// The page name is matched without regard to case, so "help.HTM" finds the "help.htm"
// that lies beside the program.
bool openPage(QWidget* owner, ShellOpener& shell, const QString& path) {
    return shell.open(owner, FILE01::matchNameIgnoringCase(path));
}

}  // namespace

void OpenHelpPage(QWidget* owner, ShellOpener& shell, const QString& page) {
    const OwnerWatch watch(owner);
    const bool hasDot = CHAR::FindNth(QtText::viewOf(page), u".", 1) >= 0;
    const QString first = hasDot ? page : page + kHelpExtension;
    if (openPage(owner, shell, first) || watch.gone()) {
        return;
    }
    if (openPage(owner, shell, page + kHelpExtension) || watch.gone()) {
        return;
    }
    MessageBox::exclamation(owner, kNoBrowserMessage);
}

bool looksLikeMailAddress(const QString& target) {
    const std::u16string_view text = QtText::viewOf(target);
    return CHAR::CountChar(text, u"@") == 1 && CHAR::CountChar(text, u" ") == 0 &&
           CHAR::CountChar(text, u".") > 1;
}

void OpenLink(QWidget* owner, ShellOpener& shell, const QString& target) {
    const OwnerWatch watch(owner);
    if (shell.open(owner, target) || watch.gone()) {
        return;
    }
    if (looksLikeMailAddress(target) &&
        (shell.open(owner, QStringLiteral("Mailto:") + target) || watch.gone())) {
        return;
    }
    // A link may be a whole megabyte long: the box names it shortened, the shell had it whole.
    MessageBox::exclamation(owner, LongLine::forMessage(target, owner) + kCannotOpenSuffix);
}

}  // namespace mossleaf::HHelp
