#include "mainwindow/command_surfaces.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <cstring>

#include "widgets/image_list.h"

namespace mossleaf {

using CommandTable::Entry;
using CommandTable::Kind;

namespace {

QToolBar* makeToolBar(QWidget* parent) {
    auto* bar = new QToolBar(parent);
    bar->setObjectName(QStringLiteral("tbToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setFocusPolicy(Qt::NoFocus);
    return bar;
}

void addToToolBar(QToolBar* bar, QAction* action, const Entry& entry, const ImageList& icons) {
    if (entry.toolBar == CommandTable::ToolBar::AfterSeparator) {
        bar->addSeparator();
    }
    const QString key = entry.key.toString();
    const QString imageKey = entry.imageKey.toString();
    action->setIconText(key);
    action->setToolTip(key);
    action->setProperty("Key", key);
    action->setProperty("ImageKey", imageKey);
    bar->addAction(action);
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
        // The picture belongs to the button, not to the shared action: a menu bar draws an
        // action's icon in place of its caption (実行 would become a triangle there). The
        // button takes its look from the action again whenever the action changes, so the
        // picture is put back after each change.
        const QIcon picture = icons.icon(imageKey);
        button->setIcon(picture);
        QObject::connect(action, &QAction::changed, button,
                         [button, picture] { button->setIcon(picture); });
        button->setObjectName(QStringLiteral("tbToolBar_") + imageKey);
        // A button press must not take the focus from the body text (see the Save command).
        button->setFocusPolicy(Qt::NoFocus);
    }
}

}  // namespace

CommandSurfaces::CommandSurfaces(std::span<const Entry> table, QWidget& window, QMenuBar* bar,
                                 QWidget* toolBarParent, const ImageList& icons, Run run)
    : table_(table),
      actions_(table.size(), nullptr),
      menus_(table.size(), nullptr),
      toolBar_(makeToolBar(toolBarParent)) {
    // The widget a row is added to: the menu bar or an earlier menu; null for a popup.
    auto container = [&](const Entry& entry) -> QWidget* {
        if (!entry.in) {
            return nullptr;
        }
        if (std::strcmp(entry.in, CommandTable::kMenuBar) == 0) {
            return bar;
        }
        return menu(entry.in);
    };
    for (std::size_t i = 0; i < table.size(); ++i) {
        const Entry& entry = table[i];
        const QString name = QLatin1String(entry.name);
        QWidget* in = container(entry);
        if (entry.in && !in) {
            qFatal("Command table: %s comes before its menu %s", entry.name, entry.in);
        }
        switch (entry.kind) {
            case Kind::Menu: {
                QMenu* menu = nullptr;
                if (in == bar) {
                    menu = bar->addMenu(entry.caption.toString());
                } else {
                    menu = new QMenu(entry.caption.toString(), &window);
                    if (in) {
                        in->addAction(menu->menuAction());
                    }
                }
                menu->setObjectName(name);
                menu->menuAction()->setObjectName(name);
                menus_[i] = menu;
                break;
            }
            case Kind::Separator: {
                auto* line = new QAction(&window);
                line->setSeparator(true);
                line->setObjectName(name);
                if (in) {
                    in->addAction(line);
                }
                break;
            }
            case Kind::Item: {
                auto* action = new QAction(entry.caption.toString(), &window);
                action->setObjectName(name);
                if (in) {
                    in->addAction(action);
                }
                if (entry.shortcut.toCombined() != 0) {
                    // Ctrl+N and Ctrl+C run their commands whichever control has the focus.
                    action->setShortcut(entry.shortcut);
                    action->setShortcutContext(Qt::WindowShortcut);
                    window.addAction(action);
                }
                if (entry.toolBar != CommandTable::ToolBar::None) {
                    addToToolBar(toolBar_, action, entry, icons);
                }
                if (entry.handler) {
                    QObject::connect(action, &QAction::triggered, &window,
                                     [run, &entry] { run(entry); });
                }
                actions_[i] = action;
                break;
            }
        }
    }
}

int CommandSurfaces::indexOf(const char* name) const {
    for (std::size_t i = 0; i < table_.size(); ++i) {
        if (std::strcmp(table_[i].name, name) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QAction* CommandSurfaces::action(const char* name) const {
    const int i = indexOf(name);
    return i < 0 ? nullptr : actions_[i];
}

QMenu* CommandSurfaces::menu(const char* name) const {
    const int i = indexOf(name);
    return i < 0 ? nullptr : menus_[i];
}

void CommandSurfaces::triggerKey(const QString& key) const {
    for (std::size_t i = 0; i < table_.size(); ++i) {
        const Entry& entry = table_[i];
        if (entry.toolBar != CommandTable::ToolBar::None && entry.key == key) {
            actions_[i]->trigger();
            return;
        }
    }
}

}  // namespace mossleaf
