#pragma once

#include <string>

class QString;
class QWidget;

namespace mossleaf {

// What the file commands need of the window that shows the Document: the tree follows the
// Document by itself, but the body text box, the window's messages and closing are the
// window's. The main window implements it; tests can put a fake in its place.
class DocumentView {
public:
    virtual ~DocumentView() = default;

    // The window that messages and dialogs belong to.
    virtual QWidget* viewWindow() = 0;
    // Stores what was typed in the body text box into its node, before a save.
    virtual void storeShownBody() = 0;
    // Shows a body, already converted for display, or an empty body text box.
    virtual void showBody(const QString& body) = 0;
    virtual void clearBody() = 0;
    // Scrolls the tree so that the node `key` can be seen.
    virtual void ensureNodeVisible(const std::string& key) = 0;
    virtual void closeView() = 0;

protected:
    DocumentView() = default;
    DocumentView(const DocumentView&) = default;
    DocumentView& operator=(const DocumentView&) = default;
};

}  // namespace mossleaf
