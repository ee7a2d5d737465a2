#pragma once

#include <QObject>
#include <QString>
#include <string>

#include "core/document.h"

class QMenu;

namespace mossleaf {

class BodyEdit;
class NodeEditorHost;
class OutlineTree;
class TitleBox;

// Which node is current, how its body reaches the Document, and the popup's node commands
// (new child, rename, delete) through the title box. The window's handlers of the same names
// forward here. The constructor connects the tree's, Text1's and Text2's notifications to
// these handlers.
class NodeEditor : public QObject {
    Q_OBJECT

public:
    NodeEditor(Document& doc, OutlineTree& tree, TitleBox& titleBox, BodyEdit& body, QMenu& popup,
               NodeEditorHost& host);
    ~NodeEditor() override;

    // Document procedures that touch the widgets.
    void AddNode();
    void RenameNode();
    void ShowSelection();
    void StoreBody();

    void TreeView1_NodeClick(const QString& key);
    // A mouse button was released at `inTree` (pixels, relative to the tree).
    void TreeView1_MouseUp(Qt::MouseButton button, const QPoint& inTree);
    void Text1_KeyPress(int& keyAscii);
    void Text1_LostFocus();
    // Text1 refused an edit that would have made the title `length` characters long.
    void tellTitleTooLong(qsizetype length);
    void Text2_LostFocus();
    void mnuEditUpdate_Click();
    void mnuPopnew_Click();
    void mnuPopRename_Click();
    void mnuPopDel_Click();

    // Key of the node whose body Text2 shows; empty when it shows none (Text2 is read-only).
    const std::string& shownKey() const { return shownKey_; }

private:
    void selectionChanged(const QString& key);
    // The Menu key or Shift+F10 in the tree: a right-click at `inTree` (pixels, relative to
    // the tree), with the menu there rather than at the pointer.
    void popUpFromMenuKey(const QPoint& inTree);
    void forgetCurrentInEmptyTree();
    // Puts Text1, hidden, at `inTree` and opens mnuPop at `global`.
    void popUp(const QPoint& inTree, const QPoint& global);
    void showBodyOf(const std::string& key);
    // Empties the read-only box and says there was no memory to show the body of `key`.
    void bodyNotShown(const std::string& key);
    void commitTitle();
    void openTitleBox();

    Document& doc_;
    OutlineTree& tree_;
    TitleBox& titleBox_;
    BodyEdit& body_;
    QMenu& popup_;
    NodeEditorHost& host_;
    std::string shownKey_;
};

}  // namespace mossleaf
