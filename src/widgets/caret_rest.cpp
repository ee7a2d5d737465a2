#include "widgets/caret_rest.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

namespace mossleaf {

CaretRest::CaretRest(std::chrono::milliseconds rest, QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(rest);
    connect(&timer_, &QTimer::timeout, this, &CaretRest::rest);
    QCoreApplication::instance()->installEventFilter(this);
    timer_.start();
}

CaretRest::~CaretRest() {
    wake();
}

bool CaretRest::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
            // An event reaches the filter once for each object it passes on its way up; only
            // the first of a burst need restart the timer, and restarting it is cheap anyway.
            wake();
            timer_.start();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void CaretRest::rest() {
    QStyleHints* hints = QGuiApplication::styleHints();
    if (hints->cursorFlashTime() > 0) {
        restingFlashTime_ = hints->cursorFlashTime();
        hints->setCursorFlashTime(0);
    }
}

void CaretRest::wake() {
    if (restingFlashTime_ > 0) {
        QGuiApplication::styleHints()->setCursorFlashTime(restingFlashTime_);
        restingFlashTime_ = 0;
    }
}

}  // namespace mossleaf
