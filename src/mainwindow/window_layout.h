#pragma once

class frmMain;

// Places the panes of the main window from one number, the split position, and lets the
// user drag the border between the tree and the text. The numbers come from PaneLayout;
// this class only carries them to the widgets, in pixels.
class WindowLayout {
public:
    explicit WindowLayout(frmMain& form);

    void Form_Resize();
    void SizeControls(double X);

    // The splitter zone's mouse handlers; x in twips relative to the zone's left edge.
    void imgSplitter_MouseDown(double xTwips);
    void imgSplitter_MouseMove(double xTwips);
    void imgSplitter_MouseUp(double xTwips);

    bool SplitterDragging() const { return dragging_; }

private:
    void placeFixedControls();

    frmMain& form_;
    bool dragging_ = false;
};
