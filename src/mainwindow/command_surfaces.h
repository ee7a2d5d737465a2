#pragma once

#include <QString>
#include <span>
#include <vector>

#include "mainwindow/command_table.h"

class ImageList;
class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

// Builds the menus, the popups and the toolbar from a command table, as the rows ask, with
// one QAction per item that every surface shares, so a toolbar button and its menu item are
// the same command.
class CommandSurfaces {
public:
    // The actions belong to `form` and run its handlers; menus go into `bar` (popups belong
    // to `form`), and the toolbar is made as a child of `toolBarParent`.
    CommandSurfaces(std::span<const CommandTable::Entry> table, frmMain& form, QMenuBar* bar,
                    QWidget* toolBarParent, const ImageList& icons);

    QToolBar* toolBar() const { return toolBar_; }
    // The action or menu of the row with this name; null when there is none.
    QAction* action(const char* name) const;
    QMenu* menu(const char* name) const;

    // Fills the window's members that name the actions and menus.
    void storeIn(frmMain& form) const;

    // Asks every row with an `enabled` rule again.
    void updateEnabled();

    // Triggers the first toolbar row whose Key is exactly `key`. Returns whether a command
    // ran: an unknown key and a command that cannot be chosen now do nothing.
    bool triggerKey(const QString& key) const;

private:
    int indexOf(const char* name) const;

    std::span<const CommandTable::Entry> table_;
    frmMain& form_;
    std::vector<QAction*> actions_;  // per row; null for separators
    std::vector<QMenu*> menus_;      // per row; null unless a menu
    QToolBar* toolBar_ = nullptr;
};
