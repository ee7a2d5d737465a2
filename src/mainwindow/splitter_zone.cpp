#include "mainwindow/splitter_zone.h"

#include <QMouseEvent>

namespace mossleaf {

SplitterZone::SplitterZone(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("imgSplitter"));
    setCursor(Qt::SplitHCursor);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

namespace {
int xOf(const QMouseEvent* event) {
    return qRound(event->position().x());
}
}  // namespace

void SplitterZone::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(xOf(event));
    event->accept();
}

// Qt keeps sending moves and the release to the widget that took the press, so the drag
// goes on when the pointer leaves the zone.
void SplitterZone::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(xOf(event));
    event->accept();
}

void SplitterZone::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(xOf(event));
    event->accept();
}

}  // namespace mossleaf
