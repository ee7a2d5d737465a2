#pragma once

#include <QMainWindow>
#include <QString>
#include <memory>
#include <span>

#include "core/document.h"
#include "document/document_view.h"
#include "editing/node_editor_host.h"
#include "mainwindow/command_table.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace mossleaf {

class OutlineTree;       // TreeView1 (editing/outline_tree.h)
class TitleBox;          // Text1 (editing/title_box.h)
class BodyEdit;          // Text2 (editing/body_edit.h)
class NodeEditor;        // selection, body editing and node commands (editing/node_editor.h)
class LaunchCommands;    // Copy, Execute, Help (launch/launch_commands.h)
class FileCommands;      // New, Open, Save, Save As, Close (document/file_commands.h)
class CommonDialog;      // dlgCommonDialog (document/common_dialog.h)
class WindowLayout;      // SizeControls and the splitter (mainwindow/window_layout.h)
class SplitterZone;      // imgSplitter (mainwindow/splitter_zone.h)
class StatusBar;         // sbStatusBar (mainwindow/status_bar.h)
class ShellOpener;       // launch/shell_opener.h
class SettingsStore;     // mainwindow/settings_store.h
class OutlineReadAhead;  // core/outline_read_ahead.h

// Restores and keeps the outer bounds (mainwindow/window_placement.h).
class WindowPlacement;

// The menus, the popup and the toolbar, built from one table (mainwindow/command_surfaces.h).
class CommandSurfaces;

// Centres every dialog on the window and draws its pictures for the screen
// (widgets/dialog_presentation.h).
class DialogPresentation;

// The main window. It owns the Document and the controls and names every handler; the work
// of each group of handlers is done by the helper object named beside it, which gets the
// Document and the widgets it works on, and sees the window only through a narrow view.
class frmMain : public QMainWindow, private DocumentView, private NodeEditorHost {
    Q_OBJECT

public:
    explicit frmMain(SettingsStore& settings, QWidget* parent = nullptr);
    ~frmMain() override;

    // The Document (model, BodyTable and the window-level variables). Declared first, so it
    // is destroyed last: every widget and helper that refers to it goes before it.
    Document doc;

    // The command line as one text ("" when there is none); set before Form_Load.
    QString commandLine;

    // Controls, named as the user-facing design names them (objectName too).
    QToolBar* tbToolBar = nullptr;
    QWidget* picTitles = nullptr;
    QLabel* lblTitle[2] = {nullptr, nullptr};
    OutlineTree* TreeView1 = nullptr;
    SplitterZone* imgSplitter = nullptr;
    QWidget* picSplitter = nullptr;
    BodyEdit* Text2 = nullptr;
    TitleBox* Text1 = nullptr;
    StatusBar* sbStatusBar = nullptr;
    CommonDialog* dlgCommonDialog = nullptr;

    // Menus and their items, made from the rows of commandTable (frm_main_commands.cpp).
    static std::span<const CommandTable::Entry> commandTable();
    QMenu* mnuFile = nullptr;
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileNameSave = nullptr;
    QAction* mnuFileClose = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditUpdate = nullptr;
    QAction* mnuExe = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpHELP = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QMenu* mnuPop = nullptr;
    QAction* mnuPopnew = nullptr;
    QAction* mnuPopRename = nullptr;
    QAction* mnuPopDel = nullptr;
    QAction* mnuPopCan = nullptr;

    // Start-up and shut-down.
    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void SizeControls(double X);

    // Document procedures that touch the widgets.
    void AddNode();
    void RenameNode();
    void ShowSelection();
    void StoreBody();
    void ClearDocument();
    void LoadDocument(const QString& path);
    // What the command line's notebook is read into ahead of the window; the first load takes it.
    void readAhead(std::unique_ptr<OutlineReadAhead> ahead);
    void SaveDocument(const QString& path);

    // Tree, title box and body text box.
    void TreeView1_NodeClick(const QString& key);
    void TreeView1_MouseUp(Qt::MouseButton button, const QPoint& inTree);
    void Text1_KeyPress(int& keyAscii);
    void Text1_LostFocus();
    void Text2_LostFocus();

    // Commands.
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileNameSave_Click();
    void mnuFileClose_Click();
    void mnuEditCopy_Click();
    void mnuEditUpdate_Click();
    void mnuExe_Click();
    void mnuHelpHELP_Click();
    void mnuHelpAbout_Click();
    void mnuPopnew_Click();
    void mnuPopRename_Click();
    void mnuPopDel_Click();
    void tbToolBar_ButtonClick(const QString& key);

    // Twips of the screen the window is on (1440 per logical inch).
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    // Platform seams; tests put fakes in their place.
    void setShellOpener(ShellOpener* opener);
    ShellOpener& shellOpener() const;
    SettingsStore& settings() const { return settings_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // DocumentView
    QWidget* viewWindow() override { return this; }
    void storeShownBody() override { StoreBody(); }
    void showBody(const QString& body) override;
    void clearBody() override;
    void ensureNodeVisible(const std::string& key) override;
    void closeView() override { close(); }
    // NodeEditorHost
    QWidget* editorWindow() override { return this; }
    void showChosenTitle(const QString& title) override;

    void nameForScreenReaders();

    SettingsStore& settings_;
    // The client area and the file dialog. Members are destroyed in the reverse order of
    // their declaration: the helpers below go first, then these widgets, and the Document
    // (declared first) last.
    std::unique_ptr<QWidget> client_;
    std::unique_ptr<CommonDialog> dialog_;
    std::unique_ptr<ShellOpener> defaultShellOpener_;
    ShellOpener* shellOpener_ = nullptr;
    std::unique_ptr<NodeEditor> nodeEditor_;
    std::unique_ptr<FileCommands> fileCommands_;
    std::unique_ptr<LaunchCommands> launchCommands_;
    std::unique_ptr<WindowLayout> windowLayout_;
    std::unique_ptr<WindowPlacement> placement_;
    bool loaded_ = false;
    bool unloaded_ = false;
    std::unique_ptr<CommandSurfaces> commands_;
    std::unique_ptr<DialogPresentation> dialogPresentation_;
};

}  // namespace mossleaf
