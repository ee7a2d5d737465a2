#include "mainwindow/main_toolbar.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

#include "mainwindow/frm_main.h"
#include "widgets/image_list.h"

namespace MainToolbar {

const std::vector<Item>& items() {
    static const std::vector<Item> table{
        {QStringLiteral("新規作成"), QStringLiteral("New"), &frmMain::mnuFileNew_Click},
        {QStringLiteral("開く"), QStringLiteral("Open"), &frmMain::mnuFileOpen_Click},
        {QStringLiteral("上書き保存"), QStringLiteral("Save"), &frmMain::mnuFileSave_Click},
        {},
        {QStringLiteral("ｺﾋﾟｰ"), QStringLiteral("Copy"), &frmMain::mnuEditCopy_Click},
        {QStringLiteral("置換"), QStringLiteral("Update"), &frmMain::mnuEditUpdate_Click},
        {},
        {QStringLiteral("実行"), QStringLiteral("Exe"), &frmMain::mnuExe_Click},
    };
    return table;
}

QToolBar* create(frmMain& form, const ImageList& icons, QWidget* parent) {
    auto* bar = new QToolBar(parent);
    bar->setObjectName(QStringLiteral("tbToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setFocusPolicy(Qt::NoFocus);
    for (const Item& item : items()) {
        if (item.key.isEmpty()) {
            bar->addSeparator();
            continue;
        }
        QAction* action = bar->addAction(icons.icon(item.imageKey), item.key);
        action->setObjectName(QStringLiteral("tbToolBar_") + item.imageKey);
        action->setToolTip(item.key);
        action->setProperty("Key", item.key);
        action->setProperty("ImageKey", item.imageKey);
        const QString key = item.key;
        QObject::connect(action, &QAction::triggered, &form,
                         [&form, key] { form.tbToolBar_ButtonClick(key); });
        // A button press must not take the focus from the body text (see the Save command).
        if (QWidget* button = bar->widgetForAction(action)) {
            button->setFocusPolicy(Qt::NoFocus);
        }
    }
    return bar;
}

bool dispatch(frmMain& form, const QString& key) {
    for (const Item& item : items()) {
        if (item.handler && item.key == key) {
            (form.*item.handler)();
            return true;
        }
    }
    return false;
}

}  // namespace MainToolbar
