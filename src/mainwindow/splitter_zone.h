#pragma once

#include <QWidget>

namespace mossleaf {

// imgSplitter: an invisible strip between the panes that the user drags to move the border.
// It reports presses, moves and releases with the pointer's x relative to its left edge.
class SplitterZone : public QWidget {
    Q_OBJECT

public:
    explicit SplitterZone(QWidget* parent);

signals:
    void mousePressed(int xPixels);
    void mouseMoved(int xPixels);
    void mouseReleased(int xPixels);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace mossleaf
