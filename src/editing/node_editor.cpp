#include "editing/node_editor.h"

#include <QCursor>
#include <QMenu>
#include <new>

#include "core/typed_text.h"

#include "editing/body_edit.h"
#include "editing/outline_tree.h"
#include "widgets/qt_text.h"
#include "editing/title_box.h"
#include "mainwindow/frm_main.h"
#include "widgets/message_box.h"
#include "mainwindow/status_bar.h"

namespace {

const QString kNodeLimitMessage = QStringLiteral("登録件数が最大値を超えました。") +
                                  QStringLiteral("\r\n") + QStringLiteral("新規作成は出来ません。");
const QString kNoMemoryToShowBody = QStringLiteral("メモリが足りないため、本文を表示できません。");

// A title is one line of the file, whatever a paste, a drop or an input method put in Text1.
std::u16string committedTitle(const QString& typed) {
    return mossleaf::titleFromTyped(QtText::fromQString(typed));
}

}  // namespace

NodeEditor::NodeEditor(frmMain& form) : form_(form) {
    OutlineTree* tree = form_.TreeView1;
    connect(tree, &OutlineTree::NodeClick, this,
            [this](const QString& key) { form_.TreeView1_NodeClick(key); });
    connect(tree, &OutlineTree::MouseUp, this, [this](Qt::MouseButton button, const QPoint& pos) {
        form_.TreeView1_MouseUp(button, pos.x() * form_.twipsPerPixelX(),
                                pos.y() * form_.twipsPerPixelY());
    });
    connect(tree, &OutlineTree::SelectionChanged, this, &NodeEditor::selectionChanged);
    connect(tree, &OutlineTree::MenuKey, this, &NodeEditor::TreeView1_MenuKey);
    connect(form_.Text1, &TitleBox::KeyPress, this,
            [this](int& keyAscii) { form_.Text1_KeyPress(keyAscii); });
    connect(form_.Text1, &TitleBox::LostFocus, this, [this] { form_.Text1_LostFocus(); });
    connect(form_.Text2, &BodyEdit::LostFocus, this, [this] { form_.Text2_LostFocus(); });
    form_.Text1->hide();
    showBodyOf({});
}

NodeEditor::~NodeEditor() {
    // The widgets may outlive this object by a moment while the window is torn down.
    disconnect(form_.TreeView1, nullptr, this, nullptr);
    disconnect(form_.Text1, nullptr, this, nullptr);
    disconnect(form_.Text2, nullptr, this, nullptr);
}

void NodeEditor::showBodyOf(const std::string& key) {
    shownKey_ = key;
    // Nothing typed may get lost or land in the wrong node: without a node, no typing.
    form_.Text2->setReadOnly(shownKey_.empty());
    form_.Text2->document()->setModified(false);
}

void NodeEditor::selectionChanged(const QString& key) {
    if (key.isEmpty() && !shownKey_.empty()) {
        // The node whose body is shown is no longer selected (a load, New, a removal): the
        // text stays on screen but belongs to no node.
        StoreBody();
        showBodyOf({});
    }
}

void NodeEditor::AddNode() {
    mossleaf::Document& doc = form_.Doc;
    if (const mossleaf::Node* node = doc.AddNode(committedTitle(form_.Text1->text()))) {
        form_.TreeView1->EnsureVisible(node->Key);
    }
    form_.Text1->clear();
    form_.TreeView1->setFocus(Qt::OtherFocusReason);
}

void NodeEditor::RenameNode() {
    form_.Doc.RenameNode(committedTitle(form_.Text1->text()));
    form_.Text1->clear();
}

void NodeEditor::ShowSelection() {
    const std::string selected = form_.TreeView1->SelectedKey().toStdString();
    try {
        const std::optional<std::u16string> body = form_.Doc.ShowSelection(selected);
        if (!body) {
            if (form_.TreeView1->SelectedKey().isEmpty()) {
                showBodyOf({});
            }
            return;
        }
        form_.Text2->showBody(QtText::bodyForDisplay(*body));
    } catch (const std::bad_alloc&) {
        // An exception leaving an event handler aborts the program. The copies are gone by
        // now, so there is memory to say so; the read-only empty box keeps typing from
        // landing on a body that was never shown.
        form_.Text2->clear();
        showBodyOf({});
        tellBodyNotShown(selected);
        return;
    }
    showBodyOf(form_.Doc.Nodes.find(selected) ? selected : std::string());
}

void NodeEditor::tellBodyNotShown(const std::string& key) {
    QString text;
    try {
        const mossleaf::Node* node = form_.Doc.Nodes.find(key);
        text = (node ? QtText::toQString(node->title()) : QString()) + QStringLiteral("\r\n") +
               kNoMemoryToShowBody;
    } catch (const std::bad_alloc&) {
        text = kNoMemoryToShowBody;
    }
    MessageBox::exclamation(&form_, text);
}

void NodeEditor::StoreBody() {
    // Only typing is stored: the text edit cannot show every body exactly (a paragraph
    // separator becomes a line break, U+FDD0 and U+FDD1 vanish), so a body only looked at
    // would be rewritten. The text belongs to the node it was shown for; with no such node
    // it is not stored.
    if (shownKey_.empty() || !form_.Text2->document()->isModified() ||
        !form_.Doc.Nodes.find(shownKey_)) {
        return;
    }
    form_.Doc.StoreBody(shownKey_, QtText::bodyFromDisplay(form_.Text2->bodyText()));
    form_.Text2->document()->setModified(false);
}

void NodeEditor::TreeView1_NodeClick(const QString& key) {
    // Typing not stored yet (its focus loss was not reported before the click) stays with
    // the node it was typed for.
    StoreBody();
    form_.TreeView1->SortChildren(key.toStdString());
    const std::string selected = form_.TreeView1->SelectedKey().toStdString();
    if (const mossleaf::Node* node = form_.Doc.Nodes.find(selected)) {
        form_.sbStatusBar->setPanelText(1, QtText::toQString(node->title()));
    }
    form_.ShowSelection();
}

void NodeEditor::TreeView1_MouseUp(Qt::MouseButton button, double xTwips, double yTwips) {
    forgetCurrentInEmptyTree();
    if (button != Qt::RightButton) {
        return;
    }
    const QPoint inTree(static_cast<int>(std::lround(xTwips / form_.twipsPerPixelX())),
                        static_cast<int>(std::lround(yTwips / form_.twipsPerPixelY())));
    popUp(inTree, QCursor::pos());
}

void NodeEditor::TreeView1_MenuKey(const QPoint& inTree) {
    forgetCurrentInEmptyTree();
    // The pointer may be anywhere, even outside the window: the row is where the user looks.
    popUp(inTree, form_.TreeView1->mapToGlobal(inTree));
}

void NodeEditor::forgetCurrentInEmptyTree() {
    // So that the next new node is a root node.
    if (form_.Doc.Nodes.Count() == 0) {
        form_.Doc.CurrentKey.clear();
    }
}

void NodeEditor::popUp(const QPoint& inTree, const QPoint& global) {
    TitleBox* box = form_.Text1;
    QWidget* boxParent = box->parentWidget();
    box->move(boxParent ? boxParent->mapFromGlobal(form_.TreeView1->mapToGlobal(inTree))
                        : form_.TreeView1->mapToGlobal(inTree));
    form_.mnuPop->exec(global);
}

void NodeEditor::Text1_KeyPress(int& keyAscii) {
    if (keyAscii != 13) {
        return;
    }
    keyAscii = 0;
    commitTitle();
}

void NodeEditor::Text1_LostFocus() {
    commitTitle();
}

void NodeEditor::commitTitle() {
    if (!form_.Text1->text().isEmpty()) {
        if (form_.Doc.EntryMode == 0) {
            form_.AddNode();
        }
        if (form_.Doc.EntryMode == 1) {
            form_.RenameNode();
        }
    }
    if (form_.Text1->hasFocus()) {
        // Back to the tree the entry started from, rather than the next control in line.
        form_.TreeView1->setFocus(Qt::OtherFocusReason);
    }
    form_.Text1->hide();
}

void NodeEditor::Text2_LostFocus() {
    form_.StoreBody();
}

void NodeEditor::mnuEditUpdate_Click() {
    form_.StoreBody();
}

void NodeEditor::mnuPopnew_Click() {
    mossleaf::Document& doc = form_.Doc;
    if (doc.NodeCounter > doc.NodeLimit) {
        MessageBox::exclamation(&form_, kNodeLimitMessage);
        return;
    }
    doc.EntryMode = 0;
    form_.Text1->clear();
    openTitleBox();
}

void NodeEditor::mnuPopRename_Click() {
    const std::string selected = form_.TreeView1->SelectedKey().toStdString();
    const mossleaf::Node* node = form_.Doc.Nodes.find(selected);
    if (node == nullptr) {
        // No node is highlighted (an empty tree, or just after Open or New): there is no
        // title to offer, and a rename would hit a node the user cannot see as chosen.
        return;
    }
    form_.Doc.EntryMode = 1;
    form_.Text1->setText(QtText::toQString(node->title()));
    form_.Text1->setSelection(0, static_cast<int>(form_.Text1->text().size()));
    openTitleBox();
}

void NodeEditor::openTitleBox() {
    form_.Text1->show();
    form_.Text1->raise();
    form_.Text1->setFocus(Qt::OtherFocusReason);
}

void NodeEditor::mnuPopDel_Click() {
    if (form_.TreeView1->SelectedKey().isEmpty()) {
        // Nothing is highlighted (just after Open or New): CurrentIndex still names a position
        // from before, which in the new tree is a node the user never chose. Deleting it would
        // lose a subtree without warning.
        return;
    }
    StoreBody();
    mossleaf::Document& doc = form_.Doc;
    if (doc.CurrentIndex >= 1 && doc.CurrentIndex <= doc.Nodes.Count()) {
        doc.Nodes.Remove(doc.CurrentIndex);
    }
    form_.TreeView1->setFocus(Qt::OtherFocusReason);
    form_.ShowSelection();
}
