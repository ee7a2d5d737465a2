#include "mainwindow/main_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "mainwindow/frm_main.h"

namespace MainMenu {
namespace {

using Handler = void (frmMain::*)();

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction* addItem(frmMain& form, QWidget* menu, const char* name, const QString& caption,
                 Handler handler) {
    auto* action = new QAction(caption, menu);
    action->setObjectName(QLatin1String(name));
    menu->addAction(action);
    if (handler) {
        QObject::connect(action, &QAction::triggered, &form,
                         [&form, handler] { (form.*handler)(); });
    }
    return action;
}

void addSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

// Ctrl+N and Ctrl+C run their commands whichever control has the focus: the actions belong
// to the window itself, not only to a closed menu.
void makeWindowWide(frmMain& form, QAction* action, const QKeySequence& keys) {
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    form.addAction(action);
}

}  // namespace

void build(frmMain& form) {
    QMenuBar* bar = form.menuBar();
    bar->setObjectName(QStringLiteral("frmMain_MenuBar"));

    form.mnuFile = addMenu(bar, "mnuFile", QStringLiteral("ﾌｧｲﾙ(&F)"));
    form.mnuFileNew = addItem(form, form.mnuFile, "mnuFileNew", QStringLiteral("新規作成(&N)"),
                              &frmMain::mnuFileNew_Click);
    makeWindowWide(form, form.mnuFileNew, QKeySequence(Qt::CTRL | Qt::Key_N));
    form.mnuFileOpen = addItem(form, form.mnuFile, "mnuFileOpen", QStringLiteral("開く(&O)..."),
                               &frmMain::mnuFileOpen_Click);
    addSeparator(form.mnuFile, "mnuFileBar0");
    form.mnuFileSave = addItem(form, form.mnuFile, "mnuFileSave", QStringLiteral("上書き保存(&V)"),
                               &frmMain::mnuFileSave_Click);
    form.mnuFileNameSave =
        addItem(form, form.mnuFile, "mnuFileNameSave", QStringLiteral("名前を付けて保存"),
                &frmMain::mnuFileNameSave_Click);
    addSeparator(form.mnuFile, "mnuFileBar1");
    form.mnuFileClose = addItem(form, form.mnuFile, "mnuFileClose", QStringLiteral("閉じる(&C)"),
                                &frmMain::mnuFileClose_Click);

    form.mnuEdit = addMenu(bar, "mnuEdit", QStringLiteral("編集(&E)"));
    form.mnuEditCopy = addItem(form, form.mnuEdit, "mnuEditCopy", QStringLiteral("ｺﾋﾟｰ(&C)"),
                               &frmMain::mnuEditCopy_Click);
    makeWindowWide(form, form.mnuEditCopy, QKeySequence(Qt::CTRL | Qt::Key_C));
    form.mnuEditUpdate = addItem(form, form.mnuEdit, "mnuEditUpdate", QStringLiteral("置換"),
                                 &frmMain::mnuEditUpdate_Click);

    // A menu-bar title with no menu: choosing it runs the command at once.
    form.mnuExe = addItem(form, bar, "mnuExe", QStringLiteral("実行"), &frmMain::mnuExe_Click);

    form.mnuHelp = addMenu(bar, "mnuHelp", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    form.mnuHelpHELP = addItem(form, form.mnuHelp, "mnuHelpHELP", QStringLiteral("操作説明(&H)"),
                               &frmMain::mnuHelpHELP_Click);
    form.mnuHelpAbout = addItem(form, form.mnuHelp, "mnuHelpAbout",
                                QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"), &frmMain::mnuHelpAbout_Click);

    // The tree's popup: never in the menu bar.
    form.mnuPop = new QMenu(QStringLiteral("ポップアップ"), &form);
    form.mnuPop->setObjectName(QStringLiteral("mnuPop"));
    form.mnuPopnew = addItem(form, form.mnuPop, "mnuPopnew", QStringLiteral("新規作成"),
                             &frmMain::mnuPopnew_Click);
    form.mnuPopRename = addItem(form, form.mnuPop, "mnuPopRename", QStringLiteral("名前変更"),
                                &frmMain::mnuPopRename_Click);
    form.mnuPopDel =
        addItem(form, form.mnuPop, "mnuPopDel", QStringLiteral("削除"), &frmMain::mnuPopDel_Click);
    addSeparator(form.mnuPop, "mnuPopBer");
    form.mnuPopCan = addItem(form, form.mnuPop, "mnuPopCan", QStringLiteral("キャンセル"), nullptr);
}

}  // namespace MainMenu
