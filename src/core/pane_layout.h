#pragma once

// The arithmetic of the main window's panes, in twips, free of widgets so that every number
// can be checked directly. WindowLayout applies the results to the controls.
namespace mossleaf::PaneLayout {

constexpr double kMinPaneWidth = 3000;    // least window width and least width of each side
constexpr double kSplitDragMargin = 500;  // how near an edge the drag bar may go
constexpr double kPaneGap = 40;           // between the tree's right edge and the text pane
constexpr double kRightAllowance = 140;   // outer width less tree width less this = text width
constexpr double kCaptionInset = 20;      // right caption label inside the text pane's left edge
constexpr double kCaptionShrink = 40;     // right caption label narrower than the text pane
constexpr double kBarShortening = 20;     // drag bar shorter than the splitter zone

constexpr double kTitlesHeight = 300;
constexpr double kCaptionTop = 12;
constexpr double kCaptionHeight = 270;
constexpr double kSplitterZoneWidth = 150;

struct Input {
    double split = 0;        // the wanted split position
    double windowWidth = 0;  // outer width, frame included
    double scaleHeight = 0;  // height of the client area
    double toolbarHeight = 0;
    double titlesTop = 0;
    double titlesHeight = kTitlesHeight;
    double statusHeight = 0;
    double previousPaneHeight = 0;  // kept when the client area is too short for the panes
};

struct Result {
    double split = 0;  // after both clamps; also the tree's width and the zone's left edge
    double treeWidth = 0;
    double paneTop = 0;     // tree, text pane and zone
    double paneHeight = 0;  // tree, text pane and zone
    double textLeft = 0;
    double textWidth = 0;
    double caption0Width = 0;
    double caption1Left = 0;
    double caption1Width = 0;
};

// The window never gets narrower than this.
double clampWindowWidth(double width);

// Both clamps on the split position; the one against the right edge wins.
double clampSplit(double split, double windowWidth);

Result compute(const Input& in);

struct Bar {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The drag bar as it appears on a press in the zone.
Bar barAtPress(double zoneLeft, double zoneTop, double zoneWidth, double zoneHeight);

// Where the bar follows the pointer to: x is relative to the zone's left edge.
double barLeftWhileDragging(double zoneLeft, double x, double windowWidth);

}  // namespace mossleaf::PaneLayout
