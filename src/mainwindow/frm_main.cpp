#include "mainwindow/frm_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QToolBar>

#include "about/frm_about.h"
#include "core/pane_layout.h"
#include "core/twips.h"
#include "document/common_dialog.h"
#include "document/file_commands.h"
#include "editing/body_edit.h"
#include "editing/node_editor.h"
#include "editing/outline_tree.h"
#include "editing/title_box.h"
#include "launch/launch_commands.h"
#include "launch/shell_opener.h"
#include "mainwindow/after_first_paint.h"
#include "mainwindow/command_surfaces.h"
#include "mainwindow/screen_twips.h"
#include "mainwindow/settings_store.h"
#include "mainwindow/splitter_zone.h"
#include "mainwindow/status_bar.h"
#include "mainwindow/window_layout.h"
#include "mainwindow/window_placement.h"
#include "widgets/app_icon.h"
#include "widgets/dialog_presentation.h"
#include "widgets/image_list.h"

namespace mossleaf {

namespace {

constexpr double kTitleBoxWidth = 1572;  // Text1's design size, in twips
constexpr double kTitleBoxHeight = 264;

QLabel* caption(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(1);
    return label;
}

}  // namespace

frmMain::frmMain(SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), settings_(settings) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Mossleaf"));
    setWindowIcon(mossleafIcon());
    // The client area below the menu bar; the toolbar and the status bar are laid out in it
    // together with the panes.
    client_ = std::make_unique<QWidget>(this);
    QWidget* client = client_.get();
    client->setObjectName(QStringLiteral("frmMain_Client"));
    setCentralWidget(client);

    dialog_ = std::make_unique<CommonDialog>(this);
    dlgCommonDialog = dialog_.get();
    menuBar()->setObjectName(QLatin1String(CommandTable::kMenuBar));
    commands_ = std::make_unique<CommandSurfaces>(
        commandTable(), *this, menuBar(), client, toolbarIcons(),
        [this](const CommandTable::Entry& entry) { (this->*entry.handler)(); });
    for (const CommandTable::Entry& entry : commandTable()) {
        if (entry.action) {
            this->*entry.action = commands_->action(entry.name);
        }
        if (entry.menu) {
            this->*entry.menu = commands_->menu(entry.name);
        }
    }
    tbToolBar = commands_->toolBar();

    picTitles = new QWidget(client);
    picTitles->setObjectName(QStringLiteral("picTitles"));
    lblTitle[0] = caption(QStringLiteral("分類"), "lblTitle_0", picTitles);
    lblTitle[1] = caption(QStringLiteral("内容"), "lblTitle_1", picTitles);

    TreeView1 = new OutlineTree(doc.Nodes, client);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    imgSplitter = new SplitterZone(client);
    Text2 = new BodyEdit(client);
    Text2->setObjectName(QStringLiteral("Text2"));

    picSplitter = new QWidget(client);
    picSplitter->setObjectName(QStringLiteral("picSplitter"));
    picSplitter->setAutoFillBackground(true);
    QPalette grey = picSplitter->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    picSplitter->setPalette(grey);
    picSplitter->hide();

    Text1 = new TitleBox(client);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->resize(Twips::toPixels(kTitleBoxWidth, twipsPerPixelX()),
                  Twips::toPixels(kTitleBoxHeight, twipsPerPixelY()));
    Text1->hide();

    sbStatusBar = new StatusBar(client);
    nameForScreenReaders();

    // The zone starts left of the least split position; the first layout raises it.
    imgSplitter->setGeometry(0, 0,
                             Twips::toPixels(PaneLayout::kSplitterZoneWidth, twipsPerPixelX()), 0);

    defaultShellOpener_ = createSystemShellOpener();
    shellOpener_ = defaultShellOpener_.get();
    windowLayout_ = std::make_unique<WindowLayout>(WindowLayout::Panes{this,
                                                                       client,
                                                                       tbToolBar,
                                                                       picTitles,
                                                                       {lblTitle[0], lblTitle[1]},
                                                                       sbStatusBar,
                                                                       TreeView1,
                                                                       imgSplitter,
                                                                       picSplitter,
                                                                       Text2});
    placement_ = std::make_unique<WindowPlacement>(*this);
    fileCommands_ =
        std::make_unique<FileCommands>(doc, *dlgCommonDialog, static_cast<DocumentView&>(*this));
    launchCommands_ = std::make_unique<LaunchCommands>(
        *this, [this] { return Text2->bodyText(); }, [this] { return Text2->firstLineText(); },
        *shellOpener_);
    nodeEditor_ = std::make_unique<NodeEditor>(doc, *TreeView1, *Text1, *Text2, *mnuPop,
                                               static_cast<NodeEditorHost&>(*this));
    dialogPresentation_ = std::make_unique<DialogPresentation>(*this);
}

frmMain::~frmMain() = default;

// A screen reader names each pane by the caption over it; the captions are the panes' labels.
// The tree's header is never shown, yet Qt lists it among the tree's children all the same:
// it reads as the caption, not as the column number Qt gives it by default.
void frmMain::nameForScreenReaders() {
    lblTitle[0]->setBuddy(TreeView1);
    lblTitle[1]->setBuddy(Text2);
    TreeView1->setAccessibleName(lblTitle[0]->text());
    TreeView1->setHeaderLabels({lblTitle[0]->text()});
    Text2->setAccessibleName(lblTitle[1]->text());
    Text1->setAccessibleName(QStringLiteral("見出し"));
}

double frmMain::twipsPerPixelX() const {
    return ScreenTwips::perPixelX(*this);
}

double frmMain::twipsPerPixelY() const {
    return ScreenTwips::perPixelY(*this);
}

void frmMain::setShellOpener(ShellOpener* opener) {
    shellOpener_ = opener ? opener : defaultShellOpener_.get();
    launchCommands_->setShellOpener(*shellOpener_);
}

ShellOpener& frmMain::shellOpener() const {
    return *shellOpener_;
}

// --- Start-up and shut-down -----------------------------------------------------------------

void frmMain::Form_Load() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    placement_->restore(settings_, twipsPerPixelX(), twipsPerPixelY());
    if (commandLine.isEmpty()) {
        doc.NodeLimit = 256;
        return;
    }
    dlgCommonDialog->FileName = commandLine;
    // A large notebook takes a moment to read: show the window first, then read it. Nothing
    // the user does can come between, since the reading is the next thing the window does.
    runAfterFirstPaint(*centralWidget(), [this] {
        LoadDocument(dlgCommonDialog->FileName);
        doc.NodeLimit = 256;
    });
}

void frmMain::Form_Unload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window != this && window->isVisible()) {
            window->close();
        }
    }
    if (isMinimized()) {
        return;
    }
    placement_->save(settings_, twipsPerPixelX(), twipsPerPixelY());
}

void frmMain::Form_Resize() {
    if (windowLayout_ && placement_) {
        // The least width also goes to the window system, so that a user's drag stops there.
        placement_->setLeastOuterWidth(
            Twips::toPixels(PaneLayout::kMinPaneWidth, twipsPerPixelX()));
        windowLayout_->Form_Resize();
    }
}

void frmMain::SizeControls(double X) {
    windowLayout_->SizeControls(X);
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::showEvent(QShowEvent* event) {
    Form_Load();
    QMainWindow::showEvent(event);
    Form_Resize();
}

// --- What the helpers see of the window --------------------------------------------------

void frmMain::showBody(const QString& body) {
    Text2->showBody(body);
}
void frmMain::clearBody() {
    Text2->showBody(QString());
}
void frmMain::ensureNodeVisible(const std::string& key) {
    TreeView1->ensureVisible(key);
}
void frmMain::showChosenTitle(const QString& title) {
    sbStatusBar->setPanelText(1, title);
}

// --- Document procedures --------------------------------------------------------------------

void frmMain::AddNode() {
    nodeEditor_->AddNode();
}
void frmMain::RenameNode() {
    nodeEditor_->RenameNode();
}
void frmMain::ShowSelection() {
    nodeEditor_->ShowSelection();
}
void frmMain::StoreBody() {
    nodeEditor_->StoreBody();
}
void frmMain::ClearDocument() {
    fileCommands_->ClearDocument();
}
void frmMain::readAhead(std::unique_ptr<OutlineReadAhead> ahead) {
    fileCommands_->readAhead(std::move(ahead));
}

void frmMain::LoadDocument(const QString& path) {
    fileCommands_->LoadDocument(path);
}
void frmMain::SaveDocument(const QString& path) {
    fileCommands_->SaveDocument(path);
}

// --- Tree, title box and body text box ------------------------------------------------------

void frmMain::TreeView1_NodeClick(const QString& key) {
    nodeEditor_->TreeView1_NodeClick(key);
}
void frmMain::TreeView1_MouseUp(Qt::MouseButton button, const QPoint& inTree) {
    nodeEditor_->TreeView1_MouseUp(button, inTree);
}
void frmMain::Text1_KeyPress(int& keyAscii) {
    nodeEditor_->Text1_KeyPress(keyAscii);
}
void frmMain::Text1_LostFocus() {
    nodeEditor_->Text1_LostFocus();
}
void frmMain::Text2_LostFocus() {
    nodeEditor_->Text2_LostFocus();
}

// --- Commands -------------------------------------------------------------------------------

void frmMain::mnuFileNew_Click() {
    fileCommands_->mnuFileNew_Click();
}
void frmMain::mnuFileOpen_Click() {
    fileCommands_->mnuFileOpen_Click();
}
void frmMain::mnuFileSave_Click() {
    fileCommands_->mnuFileSave_Click();
}
void frmMain::mnuFileNameSave_Click() {
    fileCommands_->mnuFileNameSave_Click();
}
void frmMain::mnuFileClose_Click() {
    fileCommands_->mnuFileClose_Click();
}
void frmMain::mnuEditCopy_Click() {
    launchCommands_->mnuEditCopy_Click();
}
void frmMain::mnuEditUpdate_Click() {
    nodeEditor_->mnuEditUpdate_Click();
}
void frmMain::mnuExe_Click() {
    launchCommands_->mnuExe_Click();
}
void frmMain::mnuHelpHELP_Click() {
    launchCommands_->mnuHelpHELP_Click();
}
void frmMain::mnuHelpAbout_Click() {
    // A fresh dialog each time, so that its load step runs on every opening. It is a child
    // of the window, so it must not also live on this stack: should the window go while
    // the dialog runs, it takes the dialog with it.
    QPointer<frmAbout> about = new frmAbout(this);
    about->exec();
    delete about.data();
}
void frmMain::mnuPopnew_Click() {
    nodeEditor_->mnuPopnew_Click();
}
void frmMain::mnuPopRename_Click() {
    nodeEditor_->mnuPopRename_Click();
}
void frmMain::mnuPopDel_Click() {
    nodeEditor_->mnuPopDel_Click();
}
void frmMain::tbToolBar_ButtonClick(const QString& key) {
    commands_->triggerKey(key);
}

}  // namespace mossleaf
