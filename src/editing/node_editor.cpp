#include "editing/node_editor.h"

#include <QCursor>
#include <QLocale>
#include <QMenu>
#include <new>

#include "core/typed_text.h"

#include "editing/body_edit.h"
#include "editing/node_editor_host.h"
#include "editing/outline_tree.h"
#include "editing/title_box.h"
#include "widgets/long_line.h"
#include "widgets/message_box.h"
#include "widgets/qt_text.h"

namespace mossleaf {

namespace {

const QString kNodeLimitMessage = QStringLiteral("登録件数が最大値を超えました。") +
                                  QStringLiteral("\r\n") + QStringLiteral("新規作成は出来ません。");
const QString kNoMemoryToShowBody = QStringLiteral("メモリが足りないため、本文を表示できません。");

// The box refused an edit that would have made the title `length` characters long.
QString titleTooLongMessage(qsizetype length) {
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    return QStringLiteral("見出しが長すぎるため、入力できません（%1文字）。")
               .arg(japanese.toString(static_cast<qlonglong>(length))) +
           QStringLiteral("\r\n") +
           QStringLiteral("見出しは%1文字までです。")
               .arg(japanese.toString(static_cast<qlonglong>(TitleBox::kMaxTitleLength)));
}

// A title is one line of the file, whatever a paste, a drop or an input method put in Text1.
std::u16string committedTitle(const QString& typed) {
    return titleFromTyped(QtText::viewOf(typed));
}

}  // namespace

NodeEditor::NodeEditor(Document& doc, OutlineTree& tree, TitleBox& titleBox, BodyEdit& body,
                       QMenu& popup, NodeEditorHost& host)
    : doc_(doc), tree_(tree), titleBox_(titleBox), body_(body), popup_(popup), host_(host) {
    connect(&tree_, &OutlineTree::nodeClicked, this, &NodeEditor::TreeView1_NodeClick);
    connect(&tree_, &OutlineTree::mouseReleased, this, &NodeEditor::TreeView1_MouseUp);
    connect(&tree_, &OutlineTree::selectedKeyChanged, this, &NodeEditor::selectionChanged);
    connect(&tree_, &OutlineTree::menuKeyPressed, this, &NodeEditor::popUpFromMenuKey);
    connect(&titleBox_, &TitleBox::keyPressed, this, &NodeEditor::Text1_KeyPress);
    connect(&titleBox_, &TitleBox::focusLost, this, &NodeEditor::Text1_LostFocus);
    connect(&titleBox_, &TitleBox::titleTooLong, this, &NodeEditor::tellTitleTooLong);
    connect(&body_, &BodyEdit::focusLost, this, &NodeEditor::Text2_LostFocus);
    connect(&body_, &BodyEdit::fillFailed, this, [this] {
        const std::string key = shownKey_;  // showing no body forgets it
        bodyNotShown(key);
    });
    titleBox_.hide();
    showBodyOf({});
}

NodeEditor::~NodeEditor() = default;

void NodeEditor::showBodyOf(const std::string& key) {
    shownKey_ = key;
    // Nothing typed may get lost or land in the wrong node: without a node, no typing.
    body_.setReadOnly(shownKey_.empty());
    body_.document()->setModified(false);
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
    if (const Node* node = doc_.AddNode(committedTitle(titleBox_.text()))) {
        tree_.ensureVisible(node->Key);
    }
    titleBox_.clear();
    tree_.setFocus(Qt::OtherFocusReason);
}

void NodeEditor::RenameNode() {
    doc_.RenameNode(committedTitle(titleBox_.text()));
    titleBox_.clear();
}

void NodeEditor::ShowSelection() {
    const std::string selected = tree_.selectedKey().toStdString();
    try {
        const std::optional<std::u16string> body = doc_.ShowSelection(selected);
        if (!body) {
            if (tree_.selectedKey().isEmpty()) {
                showBodyOf({});
            }
            return;
        }
        body_.showBody(QtText::bodyForDisplay(*body));
    } catch (const std::bad_alloc&) {
        // An exception leaving an event handler aborts the program. The copies are gone by
        // now, so there is memory to say so.
        bodyNotShown(selected);
        return;
    }
    showBodyOf(doc_.Nodes.find(selected) ? selected : std::string());
}

void NodeEditor::bodyNotShown(const std::string& key) {
    // The read-only empty box keeps typing from landing on a body that was never shown.
    body_.showBody(QString());
    showBodyOf({});
    QString text;
    try {
        const Node* node = doc_.Nodes.find(key);
        text = (node ? LongLine::forMessage(QtText::toQString(node->title())) : QString()) +
               QStringLiteral("\r\n") + kNoMemoryToShowBody;
    } catch (const std::bad_alloc&) {
        text = kNoMemoryToShowBody;
    }
    MessageBox::exclamation(host_.editorWindow(), text);
}

void NodeEditor::StoreBody() {
    // Only typing is stored: the text edit cannot show every body exactly (a paragraph
    // separator becomes a line break, U+FDD0 and U+FDD1 vanish), so a body only looked at
    // would be rewritten. The text belongs to the node it was shown for; with no such node
    // it is not stored.
    if (shownKey_.empty() || !body_.document()->isModified() || !doc_.Nodes.find(shownKey_)) {
        return;
    }
    doc_.StoreBody(shownKey_, QtText::bodyFromDisplay(body_.bodyText()));
    body_.document()->setModified(false);
}

void NodeEditor::TreeView1_NodeClick(const QString& key) {
    // Typing not stored yet (its focus loss was not reported before the click) stays with
    // the node it was typed for.
    StoreBody();
    tree_.sortChildren(key.toStdString());
    const std::string selected = tree_.selectedKey().toStdString();
    if (const Node* node = doc_.Nodes.find(selected)) {
        host_.showChosenTitle(QtText::toQString(node->title()));
    }
    ShowSelection();
}

void NodeEditor::TreeView1_MouseUp(Qt::MouseButton button, const QPoint& inTree) {
    forgetCurrentInEmptyTree();
    if (button != Qt::RightButton) {
        return;
    }
    popUp(inTree, QCursor::pos());
}

void NodeEditor::popUpFromMenuKey(const QPoint& inTree) {
    forgetCurrentInEmptyTree();
    // The pointer may be anywhere, even outside the window: the row is where the user looks.
    popUp(inTree, tree_.mapToGlobal(inTree));
}

void NodeEditor::forgetCurrentInEmptyTree() {
    // So that the next new node is a root node.
    if (doc_.Nodes.Count() == 0) {
        doc_.CurrentKey.clear();
    }
}

void NodeEditor::popUp(const QPoint& inTree, const QPoint& global) {
    QWidget* boxParent = titleBox_.parentWidget();
    titleBox_.move(boxParent ? boxParent->mapFromGlobal(tree_.mapToGlobal(inTree))
                             : tree_.mapToGlobal(inTree));
    popup_.exec(global);
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

void NodeEditor::tellTitleTooLong(qsizetype length) {
    // The box stays open as it was, so the user can go on from there.
    MessageBox::exclamation(host_.editorWindow(), titleTooLongMessage(length));
}

void NodeEditor::commitTitle() {
    // A box that holds nothing but line breaks holds an empty title: nothing is to change.
    if (!committedTitle(titleBox_.text()).empty()) {
        if (doc_.EntryMode == TitleEntry::AddChild) {
            AddNode();
        } else {
            RenameNode();
        }
    }
    if (titleBox_.hasFocus()) {
        // Back to the tree the entry started from, rather than the next control in line.
        tree_.setFocus(Qt::OtherFocusReason);
    }
    titleBox_.hide();
}

void NodeEditor::Text2_LostFocus() {
    StoreBody();
}

void NodeEditor::mnuEditUpdate_Click() {
    StoreBody();
}

void NodeEditor::mnuPopnew_Click() {
    if (doc_.NodeCounter > doc_.NodeLimit) {
        MessageBox::exclamation(host_.editorWindow(), kNodeLimitMessage);
        return;
    }
    doc_.EntryMode = TitleEntry::AddChild;
    titleBox_.clear();
    openTitleBox();
}

void NodeEditor::mnuPopRename_Click() {
    const std::string selected = tree_.selectedKey().toStdString();
    const Node* node = doc_.Nodes.find(selected);
    if (node == nullptr) {
        // No node is highlighted (an empty tree, or just after Open or New): there is no
        // title to offer, and a rename would hit a node the user cannot see as chosen.
        return;
    }
    doc_.EntryMode = TitleEntry::Rename;
    titleBox_.setText(QtText::toQString(node->title()));
    titleBox_.setSelection(0, static_cast<int>(titleBox_.text().size()));
    openTitleBox();
}

void NodeEditor::openTitleBox() {
    titleBox_.show();
    titleBox_.raise();
    titleBox_.setFocus(Qt::OtherFocusReason);
}

void NodeEditor::mnuPopDel_Click() {
    if (tree_.selectedKey().isEmpty()) {
        // Nothing is highlighted (just after Open or New): CurrentIndex still names a position
        // from before, which in the new tree is a node the user never chose. Deleting it would
        // lose a subtree without warning.
        return;
    }
    StoreBody();
    if (doc_.CurrentIndex >= 1 && doc_.CurrentIndex <= doc_.Nodes.Count()) {
        doc_.Nodes.Remove(doc_.CurrentIndex);
    }
    tree_.setFocus(Qt::OtherFocusReason);
    ShowSelection();
}

}  // namespace mossleaf
