#include "mainwindow/window_layout.h"

#include <QLabel>

#include "core/pane_layout.h"
#include "core/twips.h"
#include "mainwindow/outer_geometry.h"
#include "mainwindow/screen_twips.h"
#include "mainwindow/splitter_zone.h"

namespace mossleaf {

WindowLayout::WindowLayout(const Panes& panes) : p_(panes) {
    QObject::connect(p_.splitterZone, &SplitterZone::mousePressed, p_.splitterZone,
                     [this](int x) { imgSplitter_MouseDown(x * twipsPerPixelX()); });
    QObject::connect(p_.splitterZone, &SplitterZone::mouseMoved, p_.splitterZone,
                     [this](int x) { imgSplitter_MouseMove(x * twipsPerPixelX()); });
    QObject::connect(p_.splitterZone, &SplitterZone::mouseReleased, p_.splitterZone,
                     [this](int x) { imgSplitter_MouseUp(x * twipsPerPixelX()); });
}

double WindowLayout::twipsPerPixelX() const {
    return ScreenTwips::perPixelX(*p_.window);
}

double WindowLayout::twipsPerPixelY() const {
    return ScreenTwips::perPixelY(*p_.window);
}

void WindowLayout::Form_Resize() {
    const double tpp = twipsPerPixelX();
    const double width = OuterGeometry::width(*p_.window, tpp);
    if (PaneLayout::clampWindowWidth(width) != width) {
        OuterGeometry::setWidth(*p_.window, PaneLayout::clampWindowWidth(width), tpp);
    }
    SizeControls(Twips::fromPixels(p_.splitterZone->x(), tpp));
}

// The toolbar, the caption strip and the status bar are aligned to the client area's edges;
// the design values of the captions never change.
void WindowLayout::placeFixedControls() {
    const double tppY = twipsPerPixelY();
    QWidget* client = p_.client;
    const int width = client->width();
    const int toolbarHeight = p_.toolbar->sizeHint().height();
    p_.toolbar->setGeometry(0, 0, width, toolbarHeight);
    p_.titles->setGeometry(0, toolbarHeight, width,
                           Twips::toPixels(PaneLayout::kTitlesHeight, tppY));
    const int statusHeight = p_.statusBar->sizeHint().height();
    p_.statusBar->setGeometry(0, client->height() - statusHeight, width, statusHeight);
}

void WindowLayout::SizeControls(double X) {
    placeFixedControls();
    const double tppX = twipsPerPixelX();
    const double tppY = twipsPerPixelY();
    auto px = [tppX](double twips) { return Twips::toPixels(twips, tppX); };
    auto py = [tppY](double twips) { return Twips::toPixels(twips, tppY); };

    PaneLayout::Input in;
    in.split = X;
    in.windowWidth = OuterGeometry::width(*p_.window, tppX);
    in.scaleHeight = Twips::fromPixels(p_.client->height(), tppY);
    in.toolbarHeight = Twips::fromPixels(p_.toolbar->height(), tppY);
    in.titlesTop = Twips::fromPixels(p_.titles->y(), tppY);
    in.titlesHeight = Twips::fromPixels(p_.titles->height(), tppY);
    in.statusHeight = Twips::fromPixels(p_.statusBar->height(), tppY);
    in.previousPaneHeight = Twips::fromPixels(p_.tree->height(), tppY);
    const PaneLayout::Result r = PaneLayout::compute(in);

    const int top = py(r.paneTop);
    const int height = py(r.paneHeight);
    p_.tree->setGeometry(0, top, px(r.treeWidth), height);
    p_.splitterZone->setGeometry(px(r.split), top, px(PaneLayout::kSplitterZoneWidth), height);
    p_.text->setGeometry(px(r.textLeft), top, px(r.textWidth), height);
    // The zone lies under the text pane, so the pointer takes it in the gap between the panes.
    p_.splitterZone->stackUnder(p_.text);

    const int captionTop = py(PaneLayout::kCaptionTop);
    const int captionHeight = py(PaneLayout::kCaptionHeight);
    p_.captions[0]->setGeometry(0, captionTop, px(r.caption0Width), captionHeight);
    p_.captions[1]->setGeometry(px(r.caption1Left), captionTop, px(r.caption1Width), captionHeight);
}

void WindowLayout::imgSplitter_MouseDown(double /*xTwips*/) {
    const double tppX = twipsPerPixelX();
    const double tppY = twipsPerPixelY();
    const QRect zone = p_.splitterZone->geometry();
    const PaneLayout::Bar bar = PaneLayout::barAtPress(
        Twips::fromPixels(zone.x(), tppX), Twips::fromPixels(zone.y(), tppY),
        Twips::fromPixels(zone.width(), tppX), Twips::fromPixels(zone.height(), tppY));
    p_.splitterBar->setGeometry(Twips::toPixels(bar.left, tppX), Twips::toPixels(bar.top, tppY),
                                Twips::toPixels(bar.width, tppX),
                                Twips::toPixels(bar.height, tppY));
    p_.splitterBar->raise();
    p_.splitterBar->setVisible(true);
    dragging_ = true;
}

void WindowLayout::imgSplitter_MouseMove(double xTwips) {
    if (!dragging_) {
        return;
    }
    const double tppX = twipsPerPixelX();
    const double left =
        PaneLayout::barLeftWhileDragging(Twips::fromPixels(p_.splitterZone->x(), tppX), xTwips,
                                         OuterGeometry::width(*p_.window, tppX));
    p_.splitterBar->move(Twips::toPixels(left, tppX), p_.splitterBar->y());
}

void WindowLayout::imgSplitter_MouseUp(double /*xTwips*/) {
    SizeControls(Twips::fromPixels(p_.splitterBar->x(), twipsPerPixelX()));
    p_.splitterBar->setVisible(false);
    dragging_ = false;
}

}  // namespace mossleaf
