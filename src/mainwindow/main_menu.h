#pragma once

class frmMain;

// The menu bar, its items and shortcuts, and the tree's popup menu mnuPop. Every item runs
// the frmMain handler of its own name.
namespace MainMenu {

void build(frmMain& form);

}  // namespace MainMenu
