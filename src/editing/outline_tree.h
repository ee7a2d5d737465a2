#pragma once

#include <QPoint>
#include <QString>
#include <QTreeWidget>
#include <string>
#include <unordered_map>

#include "core/node_collection.h"

namespace mossleaf {

// TreeView1: shows the Document's node collection. Every item carries its node's key; the
// collection stays the model (Index order, keys, parents) and this widget only mirrors it,
// so sorting a node's children reorders the screen and nothing else.
//
// Only a left click or the keyboard selects a node; both are reported as nodeClicked. A right
// press takes the focus and leaves the selection alone; every release is reported as mouseReleased.
// The tree has no context menu of its own: the window opens its popup on the right release,
// and on the Menu key or Shift+F10 (menuKeyPressed).
//
// A title too wide for its row ends in "…" there; resting the pointer on it shows the title
// whole in a tooltip, wrapped to lines half a screen wide (a title of thousands of characters
// keeps its first and last few hundred).
class OutlineTree : public QTreeWidget, public NodeCollectionObserver {
    Q_OBJECT

public:
    OutlineTree(NodeCollection& nodes, QWidget* parent);
    ~OutlineTree() override;

    // Expands the node's ancestors and scrolls it into view.
    void ensureVisible(const std::string& key);
    // Shows the node's direct children in title order (screen only).
    void sortChildren(const std::string& key);
    // Key of the selected node; empty when none is selected.
    QString selectedKey() const;
    // Selects the node without reporting a click; an empty or unknown key clears the selection.
    void selectKey(const std::string& key);

    QTreeWidgetItem* itemForKey(const std::string& key) const;
    static QString keyOf(const QTreeWidgetItem* item);

    // NodeCollectionObserver
    void nodeAdded(const Node& node) override;
    void nodesRemoving(const std::vector<std::string>& keys) override;
    void nodeTextChanged(const Node& node) override;
    void cleared() override;

signals:
    // The user made this node the selected one (left click, or the keyboard).
    void nodeClicked(const QString& key);
    // A mouse button was released over the tree; x and y in pixels, relative to the tree.
    void mouseReleased(Qt::MouseButton button, const QPoint& pos);
    // The selected node changed by any path (empty key: none is selected now).
    void selectedKeyChanged(const QString& key);
    // The Menu key or Shift+F10 was pressed; pos (pixels, relative to the tree) is on the
    // highlighted node's row, or the top left corner of the rows when none is highlighted.
    void menuKeyPressed(const QPoint& pos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    void reportSelection();
    // Where a menu opened from the keyboard belongs: the highlighted row, brought into view.
    QPoint menuKeyPosition();

    NodeCollection& nodes_;
    std::unordered_map<std::string, QTreeWidgetItem*> items_;
    QString lastSelected_;
    bool clickReported_ = false;
};

}  // namespace mossleaf
