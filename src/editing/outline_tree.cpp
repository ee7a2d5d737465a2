#include "editing/outline_tree.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QTextDocument>
#include <QToolTip>
#include <unordered_set>

#include "widgets/long_line.h"
#include "widgets/qt_text.h"

namespace mossleaf {

namespace {

constexpr int kKeyRole = Qt::UserRole;
// A tooltip lays out all it holds each time it shows: a few screens' worth at most.
constexpr qsizetype kTooltipChars = 1000;

// The two keys every desktop uses for "the context menu of what has the focus".
bool isMenuKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    return (event.key() == Qt::Key_Menu && mods == Qt::NoModifier) ||
           (event.key() == Qt::Key_F10 && mods == Qt::ShiftModifier);
}

}  // namespace

OutlineTree::OutlineTree(NodeCollection& nodes, QWidget* parent)
    : QTreeWidget(parent), nodes_(nodes) {
    setColumnCount(1);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &OutlineTree::reportSelection);
    for (int i = 1; i <= nodes_.Count(); ++i) {
        nodeAdded(*nodes_(i));
    }
    nodes_.setObserver(this);
}

OutlineTree::~OutlineTree() {
    nodes_.setObserver(nullptr);
    disconnect(this, &QTreeWidget::itemSelectionChanged, this, &OutlineTree::reportSelection);
}

QString OutlineTree::keyOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kKeyRole).toString() : QString();
}

QTreeWidgetItem* OutlineTree::itemForKey(const std::string& key) const {
    const auto found = items_.find(key);
    return found == items_.end() ? nullptr : found->second;
}

void OutlineTree::ensureVisible(const std::string& key) {
    QTreeWidgetItem* item = itemForKey(key);
    if (!item) {
        return;
    }
    for (QTreeWidgetItem* up = item->parent(); up; up = up->parent()) {
        up->setExpanded(true);
    }
    scrollToItem(item);
}

void OutlineTree::sortChildren(const std::string& key) {
    if (QTreeWidgetItem* item = itemForKey(key)) {
        item->sortChildren(0, Qt::AscendingOrder);
    }
}

QString OutlineTree::selectedKey() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : keyOf(selected.first());
}

void OutlineTree::selectKey(const std::string& key) {
    if (QTreeWidgetItem* item = itemForKey(key)) {
        setCurrentItem(item);
    } else {
        clearSelection();
        setCurrentItem(nullptr);
    }
}

void OutlineTree::reportSelection() {
    const QString key = selectedKey();
    if (key != lastSelected_) {
        lastSelected_ = key;
        emit selectedKeyChanged(key);
    }
}

void OutlineTree::nodeAdded(const Node& node) {
    auto* item = new QTreeWidgetItem(QStringList{QtText::toQString(node.title())});
    item->setData(0, kKeyRole, QString::fromStdString(node.Key));
    QTreeWidgetItem* parentItem = node.Parent ? itemForKey(node.Parent->Key) : nullptr;
    if (parentItem) {
        parentItem->addChild(item);
    } else {
        addTopLevelItem(item);
    }
    items_[node.Key] = item;
}

void OutlineTree::nodesRemoving(const std::vector<std::string>& keys) {
    if (keys.empty()) {
        return;
    }
    QTreeWidgetItem* root = itemForKey(keys.front());
    if (!root) {
        return;
    }
    const std::unordered_set<std::string> leaving(keys.begin(), keys.end());
    const std::string selected = selectedKey().toStdString();
    QTreeWidgetItem* next = nullptr;
    if (!selected.empty() && leaving.count(selected) != 0) {
        // The selected node goes: its next sibling takes its place, else the previous one,
        // else its parent.
        QTreeWidgetItem* parentItem = root->parent();
        const int row = parentItem ? parentItem->indexOfChild(root) : indexOfTopLevelItem(root);
        const int siblings = parentItem ? parentItem->childCount() : topLevelItemCount();
        auto sibling = [&](int i) { return parentItem ? parentItem->child(i) : topLevelItem(i); };
        if (row + 1 < siblings) {
            next = sibling(row + 1);
        } else if (row > 0) {
            next = sibling(row - 1);
        } else {
            next = parentItem;
        }
    }
    for (const std::string& key : keys) {
        items_.erase(key);
    }
    const bool selectionGoes = !selected.empty() && leaving.count(selected) != 0;
    delete root;
    if (selectionGoes) {
        if (next) {
            setCurrentItem(next);
        } else {
            clearSelection();
            setCurrentItem(nullptr);
        }
    }
    reportSelection();
}

void OutlineTree::nodeTextChanged(const Node& node) {
    if (QTreeWidgetItem* item = itemForKey(node.Key)) {
        item->setText(0, QtText::toQString(node.title()));
    }
}

void OutlineTree::cleared() {
    items_.clear();
    clear();
    reportSelection();
}

void OutlineTree::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() != Qt::LeftButton) {
        // Only the left button selects; the press of any other still takes the focus.
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTreeWidgetItem* item = itemAt(pos);
    if (!item) {
        // A click on empty space keeps the selection.
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    const QString before = selectedKey();
    QTreeWidget::mousePressEvent(event);
    const QString after = selectedKey();
    const bool onLabel = visualItemRect(item).contains(pos);
    if (item->isSelected() && (onLabel || after != before)) {
        clickReported_ = true;
        emit nodeClicked(after);
    }
}

void OutlineTree::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    clickReported_ = false;
    QTreeWidget::mouseDoubleClickEvent(event);
    if (!clickReported_ && item && item->isSelected() &&
        visualItemRect(item).contains(event->position().toPoint())) {
        emit nodeClicked(keyOf(item));
    }
}

void OutlineTree::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        QTreeWidget::mouseReleaseEvent(event);
    } else {
        event->accept();
    }
    emit mouseReleased(event->button(), viewport()->mapTo(this, event->position().toPoint()));
}

void OutlineTree::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton) {
        // Dragging over other nodes must not select them.
        event->accept();
        return;
    }
    QTreeWidget::mouseMoveEvent(event);
}

void OutlineTree::keyPressEvent(QKeyEvent* event) {
    if (isMenuKey(*event)) {
        event->accept();
        emit menuKeyPressed(menuKeyPosition());
        return;
    }
    const QString before = selectedKey();
    QTreeWidget::keyPressEvent(event);
    const QString after = selectedKey();
    if (!after.isEmpty() && after != before) {
        // Choosing a node with the keyboard counts as clicking it.
        emit nodeClicked(after);
    }
}

QPoint OutlineTree::menuKeyPosition() {
    QTreeWidgetItem* item = itemForKey(selectedKey().toStdString());
    if (!item) {
        return viewport()->mapTo(this, QPoint(0, 0));
    }
    ensureVisible(selectedKey().toStdString());
    // The row's lower edge, from where the title starts: the menu, and the title box opened
    // from it, leave the title they are about in sight.
    const QRect row = visualItemRect(item);
    return viewport()->mapTo(this, row.bottomLeft());
}

void OutlineTree::contextMenuEvent(QContextMenuEvent* event) {
    // The window opens its popup on the right button's release and on menuKeyPressed. A platform
    // may send the Menu key as a context menu event besides the key press: only the key press
    // counts, or the popup could open twice.
    event->accept();
}

bool OutlineTree::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QTreeWidget::viewportEvent(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString title = index.data().toString();
    const QRect row = visualRect(index);
    // The row's text keeps a margin on either side, as the item delegate draws it.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    if (!index.isValid() || !LongLine::widerThan(title, fontMetrics(), row.width() - 2 * margin)) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const QString lines = LongLine::wrapped(LongLine::middleCut(title, kTooltipChars),
                                            QToolTip::font(), LongLine::comfortableWidth(this));
    // As rich text, so that a title that looks like markup shows as written.
    QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(lines, Qt::WhiteSpacePre),
                       viewport(), row);
    return true;
}

QItemSelectionModel::SelectionFlags OutlineTree::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    if (event != nullptr && event->type() == QEvent::MouseButtonRelease) {
        // A press on the selected node leaves the selection to the release, which would take
        // the node under the pointer after a drag, unreported: the press alone selects.
        return QItemSelectionModel::NoUpdate;
    }
    const QItemSelectionModel::SelectionFlags flags = QTreeWidget::selectionCommand(index, event);
    if (flags == QItemSelectionModel::NoUpdate) {
        return flags;
    }
    if (!index.isValid()) {
        // The user cannot leave the tree without a selected node once one is chosen.
        return QItemSelectionModel::NoUpdate;
    }
    if (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) {
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    }
    return flags;
}

}  // namespace mossleaf
