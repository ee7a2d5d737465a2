#pragma once

class QLabel;
class QWidget;

namespace mossleaf {

class SplitterZone;

// Places the panes of the main window from one number, the split position, and lets the
// user drag the border between the tree and the text. The numbers come from PaneLayout;
// this class only carries them to the widgets, in pixels.
class WindowLayout {
public:
    // The widgets it places; the window is the top-level one, whose outer width and screen
    // the layout reads.
    struct Panes {
        QWidget* window;
        QWidget* client;
        QWidget* toolbar;
        QWidget* titles;
        QLabel* captions[2];
        QWidget* statusBar;
        QWidget* tree;
        SplitterZone* splitterZone;
        QWidget* splitterBar;
        QWidget* text;
    };

    explicit WindowLayout(const Panes& panes);

    void Form_Resize();
    void SizeControls(double X);

    // The splitter zone's mouse handlers; x in twips relative to the zone's left edge.
    void imgSplitter_MouseDown(double xTwips);
    void imgSplitter_MouseMove(double xTwips);
    void imgSplitter_MouseUp(double xTwips);

    bool SplitterDragging() const { return dragging_; }

private:
    void placeFixedControls();
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    Panes p_;
    bool dragging_ = false;
};

}  // namespace mossleaf
