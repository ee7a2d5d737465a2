#pragma once

#include <QKeyCombination>
#include <QStringView>

class QAction;
class QMenu;

namespace mossleaf {

class frmMain;

// One row per menu, menu item, separator and toolbar button of the main window (the rows
// themselves are frmMain::commandTable, in frm_main_commands.cpp). The rows are read in
// order: a menu must come before the items it holds, and the toolbar takes its buttons in
// table order too. A row names the window's members, but needs no more of the window than
// its name.
namespace CommandTable {

enum class Kind {
    Menu,       // a menu; in the menu bar, or a popup of its own when `in` is null
    Item,       // a command: one QAction, wherever it appears
    Separator,  // a line in a menu
};

enum class ToolBar {
    None,
    Button,          // a button after the previous one
    AfterSeparator,  // a button that starts a new group
};

// The container name of the menu bar, for `in`.
inline constexpr const char* kMenuBar = "frmMain_MenuBar";

struct Entry {
    Kind kind = Kind::Item;
    // objectName of the menu, action or separator.
    const char* name = nullptr;
    // Name of the menu that holds it, kMenuBar for the menu bar, null for a menu that no bar
    // shows.
    const char* in = nullptr;
    QStringView caption = {};
    // Runs whichever control of the window has the focus; none when zero.
    QKeyCombination shortcut = QKeyCombination::fromCombined(0);
    ToolBar toolBar = ToolBar::None;
    // On the toolbar: the button's Key, which is also its tooltip, and its picture's key.
    QStringView key = {};
    QStringView imageKey = {};
    // The window's handler that choosing the item runs; an item without one only closes its
    // menu.
    void (frmMain::*handler)() = nullptr;
    // The window's member that names the action or menu, if it has one.
    QAction* frmMain::*action = nullptr;
    QMenu* frmMain::*menu = nullptr;
};

}  // namespace CommandTable

}  // namespace mossleaf
