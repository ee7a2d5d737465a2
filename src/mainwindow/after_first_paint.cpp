#include "mainwindow/after_first_paint.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace mossleaf {

namespace {

class FirstPaintWatcher : public QObject {
public:
    FirstPaintWatcher(QWidget& widget, std::function<void()> action)
        : QObject(&widget), widget_(&widget), action_(std::move(action)) {
        widget.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_ && event->type() == QEvent::Paint && action_) {
            widget_->removeEventFilter(this);
            // Let the painting reach the screen first; the action runs on the next turn.
            QTimer::singleShot(0, widget_, std::move(action_));
            action_ = nullptr;
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QWidget> widget_;
    std::function<void()> action_;
};

}  // namespace

void runAfterFirstPaint(QWidget& widget, std::function<void()> action) {
    new FirstPaintWatcher(widget, std::move(action));
}

}  // namespace mossleaf
