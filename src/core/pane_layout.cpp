#include "core/pane_layout.h"

#include <cmath>

namespace mossleaf::PaneLayout {

double clampWindowWidth(double width) {
    return width < kMinPaneWidth ? kMinPaneWidth : width;
}

double clampSplit(double split, double windowWidth) {
    if (split < kMinPaneWidth) {
        split = kMinPaneWidth;
    }
    if (split > windowWidth - kMinPaneWidth) {
        split = windowWidth - kMinPaneWidth;
    }
    return split;
}

Result compute(const Input& in) {
    Result r;
    r.split = clampSplit(in.split, in.windowWidth);
    // A window narrower than the least width leaves no room for the tree; a width cannot
    // go below zero, so the tree keeps zero then.
    r.treeWidth = r.split < 0 ? 0 : r.split;
    r.textLeft = r.split + kPaneGap;
    r.textWidth = in.windowWidth - (r.treeWidth + kRightAllowance);
    if (r.textWidth < 0) {
        r.textWidth = 0;
    }
    r.caption0Width = r.treeWidth;
    r.caption1Left = r.textLeft + kCaptionInset;
    r.caption1Width = r.textWidth - kCaptionShrink;
    if (r.caption1Width < 0) {
        r.caption1Width = 0;
    }
    r.paneTop = in.toolbarHeight + in.titlesHeight;
    const double height = in.scaleHeight - (in.titlesTop + in.titlesHeight + in.statusHeight);
    // Too short a window (or a minimized one) cannot take a negative height: the panes keep
    // the height they had.
    r.paneHeight = height < 0 ? in.previousPaneHeight : height;
    return r;
}

Bar barAtPress(double zoneLeft, double zoneTop, double zoneWidth, double zoneHeight) {
    const long whole = std::lround(zoneWidth);
    return Bar{zoneLeft, zoneTop, static_cast<double>(whole / 2), zoneHeight - kBarShortening};
}

double barLeftWhileDragging(double zoneLeft, double x, double windowWidth) {
    const double p = zoneLeft + x;
    if (p < kSplitDragMargin) {
        return kSplitDragMargin;
    }
    if (p > windowWidth - kSplitDragMargin) {
        return windowWidth - kSplitDragMargin;
    }
    return p;
}

}  // namespace mossleaf::PaneLayout
