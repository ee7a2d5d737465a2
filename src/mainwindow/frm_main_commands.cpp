// The rows of frmMain's menus, popup and toolbar. They name the window's members, so they
// need its header; the window reaches them only through the declaration of commandTable.
#include "mainwindow/command_table.h"
#include "mainwindow/frm_main.h"

namespace mossleaf {

namespace {

using CommandTable::Entry;
using CommandTable::kMenuBar;
using enum CommandTable::Kind;
using enum CommandTable::ToolBar;

// clang-format off
constexpr Entry kMainWindow[] = {
    {.kind = Menu, .name = "mnuFile", .in = kMenuBar, .caption = u"ﾌｧｲﾙ(&F)",
     .menu = &frmMain::mnuFile},
    // Ctrl+N and Ctrl+C belong to the window, not only to a closed menu.
    {.name = "mnuFileNew", .in = "mnuFile", .caption = u"新規作成(&N)",
     .shortcut = Qt::CTRL | Qt::Key_N, .toolBar = Button, .key = u"新規作成", .imageKey = u"New",
     .handler = &frmMain::mnuFileNew_Click, .action = &frmMain::mnuFileNew},
    {.name = "mnuFileOpen", .in = "mnuFile", .caption = u"開く(&O)...",
     .toolBar = Button, .key = u"開く", .imageKey = u"Open",
     .handler = &frmMain::mnuFileOpen_Click, .action = &frmMain::mnuFileOpen},
    {.kind = Separator, .name = "mnuFileBar0", .in = "mnuFile"},
    {.name = "mnuFileSave", .in = "mnuFile", .caption = u"上書き保存(&V)",
     .toolBar = Button, .key = u"上書き保存", .imageKey = u"Save",
     .handler = &frmMain::mnuFileSave_Click, .action = &frmMain::mnuFileSave},
    {.name = "mnuFileNameSave", .in = "mnuFile", .caption = u"名前を付けて保存",
     .handler = &frmMain::mnuFileNameSave_Click, .action = &frmMain::mnuFileNameSave},
    {.kind = Separator, .name = "mnuFileBar1", .in = "mnuFile"},
    {.name = "mnuFileClose", .in = "mnuFile", .caption = u"閉じる(&C)",
     .handler = &frmMain::mnuFileClose_Click, .action = &frmMain::mnuFileClose},

    {.kind = Menu, .name = "mnuEdit", .in = kMenuBar, .caption = u"編集(&E)",
     .menu = &frmMain::mnuEdit},
    {.name = "mnuEditCopy", .in = "mnuEdit", .caption = u"ｺﾋﾟｰ(&C)",
     .shortcut = Qt::CTRL | Qt::Key_C, .toolBar = AfterSeparator, .key = u"ｺﾋﾟｰ",
     .imageKey = u"Copy", .handler = &frmMain::mnuEditCopy_Click, .action = &frmMain::mnuEditCopy},
    {.name = "mnuEditUpdate", .in = "mnuEdit", .caption = u"置換",
     .toolBar = Button, .key = u"置換", .imageKey = u"Update",
     .handler = &frmMain::mnuEditUpdate_Click, .action = &frmMain::mnuEditUpdate},

    // A menu-bar title with no menu: choosing it runs the command at once.
    {.name = "mnuExe", .in = kMenuBar, .caption = u"実行",
     .toolBar = AfterSeparator, .key = u"実行", .imageKey = u"Exe",
     .handler = &frmMain::mnuExe_Click, .action = &frmMain::mnuExe},

    {.kind = Menu, .name = "mnuHelp", .in = kMenuBar, .caption = u"ﾍﾙﾌﾟ(&H)",
     .menu = &frmMain::mnuHelp},
    {.name = "mnuHelpHELP", .in = "mnuHelp", .caption = u"操作説明(&H)",
     .handler = &frmMain::mnuHelpHELP_Click, .action = &frmMain::mnuHelpHELP},
    {.name = "mnuHelpAbout", .in = "mnuHelp", .caption = u"ﾊﾞｰｼﾞｮﾝ情報(&A)",
     .handler = &frmMain::mnuHelpAbout_Click, .action = &frmMain::mnuHelpAbout},

    // The tree's popup: never in the menu bar.
    {.kind = Menu, .name = "mnuPop", .caption = u"ポップアップ", .menu = &frmMain::mnuPop},
    {.name = "mnuPopnew", .in = "mnuPop", .caption = u"新規作成",
     .handler = &frmMain::mnuPopnew_Click, .action = &frmMain::mnuPopnew},
    {.name = "mnuPopRename", .in = "mnuPop", .caption = u"名前変更",
     .handler = &frmMain::mnuPopRename_Click, .action = &frmMain::mnuPopRename},
    {.name = "mnuPopDel", .in = "mnuPop", .caption = u"削除",
     .handler = &frmMain::mnuPopDel_Click, .action = &frmMain::mnuPopDel},
    {.kind = Separator, .name = "mnuPopBer", .in = "mnuPop"},
    {.name = "mnuPopCan", .in = "mnuPop", .caption = u"キャンセル", .action = &frmMain::mnuPopCan},
};
// clang-format on

}  // namespace

std::span<const CommandTable::Entry> frmMain::commandTable() {
    return kMainWindow;
}

}  // namespace mossleaf
