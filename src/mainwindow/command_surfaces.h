#pragma once

#include <QString>
#include <functional>
#include <span>
#include <vector>

#include "mainwindow/command_table.h"

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace mossleaf {

class ImageList;

// Builds the menus, the popups and the toolbar from a command table, as the rows ask, with
// one QAction per item that every surface shares, so a toolbar button and its menu item are
// the same command.
class CommandSurfaces {
public:
    // Runs the handler of a row that has one.
    using Run = std::function<void(const CommandTable::Entry&)>;

    // The actions and popups belong to `window`, whose shortcuts the rows' shortcuts are, and
    // choosing an item calls `run` with its row; menus go into `bar`, and the toolbar is made
    // as a child of `toolBarParent`. The table must outlive the surfaces.
    CommandSurfaces(std::span<const CommandTable::Entry> table, QWidget& window, QMenuBar* bar,
                    QWidget* toolBarParent, const ImageList& icons, Run run);

    QToolBar* toolBar() const { return toolBar_; }
    // The action or menu of the row with this name; null when there is none.
    QAction* action(const char* name) const;
    QMenu* menu(const char* name) const;

    // Triggers the first toolbar row whose Key is exactly `key`; an unknown key does nothing.
    void triggerKey(const QString& key) const;

private:
    int indexOf(const char* name) const;

    std::span<const CommandTable::Entry> table_;
    std::vector<QAction*> actions_;  // per row; null for separators
    std::vector<QMenu*> menus_;      // per row; null unless a menu
    QToolBar* toolBar_ = nullptr;
};

}  // namespace mossleaf
