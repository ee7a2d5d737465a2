#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QDialog;
class QWidget;
class QWindow;

namespace mossleaf {

// Every dialog the program shows, its own and those Qt opens for it (the file dialog and the
// boxes it asks with), opens centred on the main window, and shows its pictures drawn for the
// screen it is on. Each dialog is seen just before the window system maps it: its size is final
// by then (a message box works its size out only as it is shown), and nothing is drawn yet.
class DialogPresentation : public QObject {
public:
    // Dialogs without an owner are centred on `mainWindow`.
    explicit DialogPresentation(QWidget& mainWindow);
    ~DialogPresentation() override;
    DialogPresentation(const DialogPresentation&) = delete;
    DialogPresentation& operator=(const DialogPresentation&) = delete;

    // Where a dialog's frame of `size` goes: centred on the owner's frame, then moved the least
    // that puts it whole on the screen's `area`; one larger than the area has its top left
    // corner on it, so that its title bar can be reached.
    static QRect centred(const QRect& owner, const QSize& size, const QRect& area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void centre(QDialog& dialog, const QWindow& window) const;

    QPointer<QWidget> mainWindow_;
};

}  // namespace mossleaf
