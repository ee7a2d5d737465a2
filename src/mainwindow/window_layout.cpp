#include "mainwindow/window_layout.h"

#include <QLabel>
#include <QToolBar>

#include "core/pane_layout.h"
#include "core/twips.h"
#include "editing/body_edit.h"
#include "editing/outline_tree.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/outer_geometry.h"
#include "mainwindow/splitter_zone.h"
#include "mainwindow/status_bar.h"

WindowLayout::WindowLayout(frmMain& form) : form_(form) {
    QObject::connect(form.imgSplitter, &SplitterZone::MouseDown, form.imgSplitter,
                     [this](int x) { imgSplitter_MouseDown(x * form_.twipsPerPixelX()); });
    QObject::connect(form.imgSplitter, &SplitterZone::MouseMove, form.imgSplitter,
                     [this](int x) { imgSplitter_MouseMove(x * form_.twipsPerPixelX()); });
    QObject::connect(form.imgSplitter, &SplitterZone::MouseUp, form.imgSplitter,
                     [this](int x) { imgSplitter_MouseUp(x * form_.twipsPerPixelX()); });
}

void WindowLayout::Form_Resize() {
    const double tpp = form_.twipsPerPixelX();
    // The least width also goes to the window system, so that a user's drag stops there.
    const int least =
        Twips::toPixels(PaneLayout::kMinPaneWidth, tpp) - OuterGeometry::frameExtraWidth(form_);
    if (form_.minimumWidth() != least && least > 0) {
        form_.setMinimumWidth(least);
    }
    const double width = OuterGeometry::width(form_, tpp);
    if (PaneLayout::clampWindowWidth(width) != width) {
        OuterGeometry::setWidth(form_, PaneLayout::clampWindowWidth(width), tpp);
    }
    SizeControls(Twips::fromPixels(form_.imgSplitter->x(), tpp));
}

// The toolbar, the caption strip and the status bar are aligned to the client area's edges;
// the design values of the captions never change.
void WindowLayout::placeFixedControls() {
    const double tppY = form_.twipsPerPixelY();
    QWidget* client = form_.centralWidget();
    const int width = client->width();
    const int toolbarHeight = form_.tbToolBar->sizeHint().height();
    form_.tbToolBar->setGeometry(0, 0, width, toolbarHeight);
    form_.picTitles->setGeometry(0, toolbarHeight, width,
                                 Twips::toPixels(PaneLayout::kTitlesHeight, tppY));
    const int statusHeight = form_.sbStatusBar->sizeHint().height();
    form_.sbStatusBar->setGeometry(0, client->height() - statusHeight, width, statusHeight);
}

void WindowLayout::SizeControls(double X) {
    placeFixedControls();
    const double tppX = form_.twipsPerPixelX();
    const double tppY = form_.twipsPerPixelY();
    auto px = [tppX](double twips) { return Twips::toPixels(twips, tppX); };
    auto py = [tppY](double twips) { return Twips::toPixels(twips, tppY); };

    PaneLayout::Input in;
    in.split = X;
    in.windowWidth = OuterGeometry::width(form_, tppX);
    in.scaleHeight = Twips::fromPixels(form_.centralWidget()->height(), tppY);
    in.toolbarHeight = Twips::fromPixels(form_.tbToolBar->height(), tppY);
    in.titlesTop = Twips::fromPixels(form_.picTitles->y(), tppY);
    in.titlesHeight = Twips::fromPixels(form_.picTitles->height(), tppY);
    in.statusHeight = Twips::fromPixels(form_.sbStatusBar->height(), tppY);
    in.previousPaneHeight = Twips::fromPixels(form_.TreeView1->height(), tppY);
    const PaneLayout::Result r = PaneLayout::compute(in);

    const int top = py(r.paneTop);
    const int height = py(r.paneHeight);
    form_.TreeView1->setGeometry(0, top, px(r.treeWidth), height);
    form_.imgSplitter->setGeometry(px(r.split), top, px(PaneLayout::kSplitterZoneWidth), height);
    form_.Text2->setGeometry(px(r.textLeft), top, px(r.textWidth), height);
    // The zone lies under the text pane, so the pointer takes it in the gap between the panes.
    form_.imgSplitter->stackUnder(form_.Text2);

    const int captionTop = py(PaneLayout::kCaptionTop);
    const int captionHeight = py(PaneLayout::kCaptionHeight);
    form_.lblTitle[0]->setGeometry(0, captionTop, px(r.caption0Width), captionHeight);
    form_.lblTitle[1]->setGeometry(px(r.caption1Left), captionTop, px(r.caption1Width),
                                   captionHeight);
}

void WindowLayout::imgSplitter_MouseDown(double /*xTwips*/) {
    const double tppX = form_.twipsPerPixelX();
    const double tppY = form_.twipsPerPixelY();
    const QRect zone = form_.imgSplitter->geometry();
    const PaneLayout::Bar bar = PaneLayout::barAtPress(
        Twips::fromPixels(zone.x(), tppX), Twips::fromPixels(zone.y(), tppY),
        Twips::fromPixels(zone.width(), tppX), Twips::fromPixels(zone.height(), tppY));
    form_.picSplitter->setGeometry(Twips::toPixels(bar.left, tppX), Twips::toPixels(bar.top, tppY),
                                   Twips::toPixels(bar.width, tppX),
                                   Twips::toPixels(bar.height, tppY));
    form_.picSplitter->raise();
    form_.picSplitter->setVisible(true);
    dragging_ = true;
}

void WindowLayout::imgSplitter_MouseMove(double xTwips) {
    if (!dragging_) {
        return;
    }
    const double tppX = form_.twipsPerPixelX();
    const double left = PaneLayout::barLeftWhileDragging(
        Twips::fromPixels(form_.imgSplitter->x(), tppX), xTwips, OuterGeometry::width(form_, tppX));
    form_.picSplitter->move(Twips::toPixels(left, tppX), form_.picSplitter->y());
}

void WindowLayout::imgSplitter_MouseUp(double /*xTwips*/) {
    SizeControls(Twips::fromPixels(form_.picSplitter->x(), form_.twipsPerPixelX()));
    form_.picSplitter->setVisible(false);
    dragging_ = false;
}
