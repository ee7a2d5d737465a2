#pragma once

class QString;
class QWidget;

namespace mossleaf {

// What the node editor needs of the window around its widgets: where its messages belong,
// and the status bar's panel that names the chosen node.
class NodeEditorHost {
public:
    virtual ~NodeEditorHost() = default;

    virtual QWidget* editorWindow() = 0;
    virtual void showChosenTitle(const QString& title) = 0;

protected:
    NodeEditorHost() = default;
    NodeEditorHost(const NodeEditorHost&) = default;
    NodeEditorHost& operator=(const NodeEditorHost&) = default;
};

}  // namespace mossleaf
