#include "widgets/dialog_presentation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "widgets/svg_picture.h"

namespace mossleaf {

namespace {

// Set on a dialog once it has been centred: shown again, it stays where the user left it.
const char* const kCentred = "mossleafCentred";

// The style draws its message box icons from one small bitmap, which a screen at twice the
// scale shows as a blurred enlargement; these are drawn from vector pictures at any scale.
QString messageIconPath(QMessageBox::Icon icon) {
    switch (icon) {
        case QMessageBox::Warning:
            return QStringLiteral(":/icons/message/warning.svg");
        case QMessageBox::Information:
            return QStringLiteral(":/icons/message/information.svg");
        case QMessageBox::Question:
            return QStringLiteral(":/icons/message/question.svg");
        case QMessageBox::Critical:
            return QStringLiteral(":/icons/message/critical.svg");
        case QMessageBox::NoIcon:
            break;
    }
    return {};
}

void drawMessageIcon(QMessageBox& box, qreal ratio) {
    const QString path = messageIconPath(box.icon());
    // Qt's name for the label that shows the box's icon.
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"));
    if (path.isEmpty() || label == nullptr) {
        return;
    }
    const QPixmap shown = label->pixmap();
    // The icon keeps the size the style gave it on the screen; only its pixels get finer.
    const QSize size = shown.isNull() ? QSize(32, 32) : shown.deviceIndependentSize().toSize();
    QPixmap drawn = QPixmap::fromImage(renderSvg(path, size * ratio));
    if (drawn.isNull()) {
        return;
    }
    drawn.setDevicePixelRatio(ratio);
    label->setPixmap(drawn);
}

// A button's picture that the style has only in smaller sizes would be enlarged, and blurred,
// on this screen: the button shows its text alone instead.
void dropEnlargedButtonIcons(QDialog& dialog, qreal ratio) {
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        const QIcon icon = button->icon();
        if (icon.isNull()) {
            continue;
        }
        const QSize wanted = button->iconSize();
        const QSize drawn = icon.pixmap(wanted, ratio).size();
        const int need = qRound(std::max(wanted.width(), wanted.height()) * ratio);
        if (std::max(drawn.width(), drawn.height()) < need) {
            button->setIcon(QIcon());
        }
    }
}

int fitInto(int start, int length, int areaStart, int areaLength) {
    if (length >= areaLength) {
        return areaStart;
    }
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}

QDialog* dialogOf(const QWindow& window) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == &window) {
            return qobject_cast<QDialog*>(top);
        }
    }
    return nullptr;
}

}  // namespace

DialogPresentation::DialogPresentation(QWidget& mainWindow) : mainWindow_(&mainWindow) {
    qApp->installEventFilter(this);
}

DialogPresentation::~DialogPresentation() {
    qApp->removeEventFilter(this);
}

QRect DialogPresentation::centred(const QRect& owner, const QSize& size, const QRect& area) {
    const int x = owner.x() + (owner.width() - size.width()) / 2;
    const int y = owner.y() + (owner.height() - size.height()) / 2;
    return {fitInto(x, size.width(), area.x(), area.width()),
            fitInto(y, size.height(), area.y(), area.height()), size.width(), size.height()};
}

// The window system's own window is shown last, after the dialog's show event has settled
// its size, and right before it is mapped.
bool DialogPresentation::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show || !watched->isWindowType()) {
        return false;
    }
    const auto& window = *static_cast<QWindow*>(watched);
    QDialog* dialog = dialogOf(window);
    if (dialog == nullptr) {
        return false;
    }
    const qreal ratio = window.devicePixelRatio();
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        drawMessageIcon(*box, ratio);
    }
    dropEnlargedButtonIcons(*dialog, ratio);
    if (!dialog->property(kCentred).toBool()) {
        dialog->setProperty(kCentred, true);
        centre(*dialog, window);
    }
    return false;
}

// Over the program's main window, also for a box that a dialog opens in turn. The window
// manager frames a dialog only once it is mapped; until then its frame is taken to be the main
// window's, which the same window manager drew.
void DialogPresentation::centre(QDialog& dialog, const QWindow& window) const {
    QWidget* owner = dialog.parentWidget() ? dialog.parentWidget()->window() : mainWindow_.data();
    while (owner && owner->parentWidget()) {
        owner = owner->parentWidget()->window();
    }
    if (owner == nullptr || !owner->isVisible() || owner->screen() == nullptr) {
        return;
    }
    QMargins frame = window.frameMargins();
    if (frame.isNull() && owner->windowHandle()) {
        frame = owner->windowHandle()->frameMargins();
    }
    const QRect outer = centred(owner->frameGeometry(), dialog.size().grownBy(frame),
                                owner->screen()->availableGeometry());
    dialog.setGeometry(QRect(outer.topLeft() + QPoint(frame.left(), frame.top()), dialog.size()));
}

}  // namespace mossleaf
