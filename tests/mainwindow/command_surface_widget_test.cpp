// What the user sees and reaches: the menus with their captions and shortcuts, the toolbar
// and its dispatch by button key, the window-wide shortcuts and the status bar.

#include <QAction>
#include <QClipboard>
#include <QDate>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "editing/body_edit.h"
#include "editing/outline_tree.h"
#include "editing/title_box.h"
#include "launch/fake_shell_opener.h"
#include "mainwindow/command_surfaces.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/status_bar.h"
#include "widgets/image_list.h"
#include "widgets/qt_text.h"
#include "window_test_support.h"

using namespace mossleaf;

namespace {

const QString kTyped = QStringLiteral("https://example.com/typed");

// A window with the example notebook open, "Notes" clicked and a new first line typed into
// the body but not stored yet.
struct Session {
    QTemporaryDir dir;
    QString path;
    MemorySettingsStore settings;
    MessageLog messages;
    DialogScript dialogs;
    FakeShellOpener shell;
    std::unique_ptr<frmMain> form;

    Session() {
        path = dir.filePath("notes.txt");
        writeBytes(path, exampleOutline());
        form = std::make_unique<frmMain>(settings);
        form->setShellOpener(&shell);
        form->commandLine = path;
        QVERIFY(showActive(*form));
        clickNode(*form, "S1");
        QCOMPARE(form->Text2->bodyText(), QStringLiteral("first line\nsecond line"));
        form->Text2->setFocus();
        QTextCursor cursor = form->Text2->textCursor();
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
        form->Text2->setTextCursor(cursor);
        QTest::keyClicks(form->Text2, kTyped);
        shell.opens << kTyped;
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }
    ~Session() { form->setShellOpener(nullptr); }

    // What each command changes, side by side.
    QMap<QString, QString> observe() const {
        QStringList titles;
        for (const auto& request : dialogs.requests) {
            titles << request.title;
        }
        return {
            {"nodes", QString::number(form->doc.Nodes.Count())},
            {"dialogs", titles.join('|')},
            {"file", QString::fromLatin1(readBytes(path).toHex())},
            {"clipboard", QGuiApplication::clipboard()->text()},
            {"stored", QtText::toQString(form->doc.bodyOf("S1"))},
            {"shell", shell.calls.join('|')},
        };
    }
};

QAction* toolbarAction(frmMain& form, const QString& key) {
    for (QAction* action : form.tbToolBar->actions()) {
        if (action->property("Key").toString() == key) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace

class CommandSurfaceWidgetTest : public QObject {
    Q_OBJECT

private slots:
    // The menus as the user sees them: the title, then each item's caption in order, with its
    // shortcut after a tab as the menu shows it, and "-" for a line. Every item can be chosen.
    void menus_data() {
        QTest::addColumn<int>("place");  // in the menu bar from the left; -1 for the tree's popup
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("items");

        // clang-format off
        QTest::newRow("File") << 0 << "ﾌｧｲﾙ(&F)" << QStringList{
            "新規作成(&N)\tCtrl+N", "開く(&O)...", "-", "上書き保存(&V)", "名前を付けて保存", "-",
            "閉じる(&C)"};
        QTest::newRow("Edit") << 1 << "編集(&E)" << QStringList{"ｺﾋﾟｰ(&C)\tCtrl+C", "置換"};
        QTest::newRow("Execute, a title without a menu") << 2 << "実行" << QStringList{};
        QTest::newRow("Help") << 3 << "ﾍﾙﾌﾟ(&H)" << QStringList{"操作説明(&H)", "ﾊﾞｰｼﾞｮﾝ情報(&A)"};
        QTest::newRow("tree's popup") << -1 << "ポップアップ" << QStringList{
            "新規作成", "名前変更", "削除", "-", "キャンセル"};
        // clang-format on
    }

    void menus() {
        QFETCH(int, place);
        MemorySettingsStore settings;
        frmMain form(settings);
        const QList<QAction*> bar = form.menuBar()->actions();
        QCOMPARE(bar.size(), 4);
        const QAction* title = place >= 0 ? bar[place] : form.mnuPop->menuAction();
        QTEST(title->text(), "title");
        QStringList items;
        for (const QAction* item : title->menu() ? title->menu()->actions() : QList<QAction*>()) {
            QVERIFY(item->isEnabled() && item->isVisible());
            const QKeySequence shortcut = item->shortcut();
            items << (item->isSeparator() ? QStringLiteral("-") : item->text()) +
                         (shortcut.isEmpty() ? QString()
                                             : u'\t' + shortcut.toString(QKeySequence::NativeText));
        }
        QTEST(items, "items");
    }

    // Which menu holds which item, in which order.
    void menuOrder() {
        MemorySettingsStore settings;
        frmMain form(settings);
        auto names = [](const QList<QAction*>& actions) {
            QStringList list;
            for (const QAction* a : actions) {
                list << (a->isSeparator() ? "-" + a->objectName() : a->objectName());
            }
            return list;
        };
        QCOMPARE(names(form.menuBar()->actions()),
                 (QStringList{"mnuFile", "mnuEdit", "mnuExe", "mnuHelp"}));
        QCOMPARE(names(form.mnuFile->actions()),
                 (QStringList{"mnuFileNew", "mnuFileOpen", "-mnuFileBar0", "mnuFileSave",
                              "mnuFileNameSave", "-mnuFileBar1", "mnuFileClose"}));
        QCOMPARE(names(form.mnuEdit->actions()), (QStringList{"mnuEditCopy", "mnuEditUpdate"}));
        QCOMPARE(names(form.mnuHelp->actions()), (QStringList{"mnuHelpHELP", "mnuHelpAbout"}));
        QCOMPARE(
            names(form.mnuPop->actions()),
            (QStringList{"mnuPopnew", "mnuPopRename", "mnuPopDel", "-mnuPopBer", "mnuPopCan"}));
        QCOMPARE(form.mnuPop->title(), QStringLiteral("ポップアップ"));
        QVERIFY(!form.menuBar()->actions().contains(form.mnuPop->menuAction()));
    }

    // Choosing "実行" in the menu bar runs Execute at once; no menu opens.
    void executeIsAMenuBarTitle() {
        Session s;
        QVERIFY(!s.form->mnuExe->menu());
        const QRect where = s.form->menuBar()->actionGeometry(s.form->mnuExe);
        QVERIFY(where.isValid());
        QTest::mouseClick(s.form->menuBar(), Qt::LeftButton, {}, where.center());
        QCOMPARE(s.shell.calls, QStringList{kTyped});
        QVERIFY(!QApplication::activePopupWidget());
    }

    void toolbarButtons() {
        MemorySettingsStore settings;
        frmMain form(settings);
        const QList<QAction*> actions = form.tbToolBar->actions();
        const QStringList keys{"新規作成", "開く", "上書き保存", "", "ｺﾋﾟｰ", "置換", "", "実行"};
        const QStringList images{"New", "Open", "Save", "", "Copy", "Update", "", "Exe"};
        QCOMPARE(actions.size(), 8);
        QCOMPARE(form.tbToolBar->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QCOMPARE(form.tbToolBar->iconSize(), QSize(16, 16));
        const ImageList drawn = toolbarIcons();
        QSet<QByteArray> pictures;
        for (int i = 0; i < actions.size(); ++i) {
            QAction* action = actions[i];
            QCOMPARE(action->isSeparator(), keys[i].isEmpty());
            if (action->isSeparator()) {
                continue;
            }
            QCOMPARE(action->property("Key").toString(), keys[i]);
            QCOMPARE(action->toolTip(), keys[i]);
            QCOMPARE(action->property("ImageKey").toString(), images[i]);
            QCOMPARE(form.tbToolBar->widgetForAction(action)->focusPolicy(), Qt::NoFocus);
            // The picture stays on the button through a change of the action, and never
            // reaches the action, whose menu-bar place shows the caption.
            QVERIFY(action->icon().isNull());
            action->setEnabled(false);
            action->setEnabled(true);
            const auto* button =
                qobject_cast<QToolButton*>(form.tbToolBar->widgetForAction(action));
            QVERIFY(button);
            const QImage image =
                button->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(image, drawn.picture(images[i], 16));
            // The light grey background is the mask: transparent, and no opaque pixel keeps it.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            int opaque = 0;
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const QRgb p = image.pixel(x, y);
                    opaque += qAlpha(p) != 0;
                    QVERIFY(qAlpha(p) == 0 || QColor(p).rgb() != ImageList::kMaskColour.rgb());
                }
            }
            QVERIFY2(opaque > 20, qPrintable(images[i]));
            pictures << QByteArray(reinterpret_cast<const char*>(image.bits()),
                                   image.sizeInBytes());
        }
        QCOMPARE(pictures.size(), 6);  // six different pictures
    }

    void toolbarDispatch_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("isButton");
        QTest::addColumn<QStringList>("changes");

        // clang-format off
        QTest::newRow("新規作成 → New") << "新規作成" << true << QStringList{"nodes"};
        QTest::newRow("開く → Open") << "開く" << true << QStringList{"dialogs"};
        // Save stores the typed text first, so both the node and the file change.
        QTest::newRow("上書き保存 → Save") << "上書き保存" << true << QStringList{"file", "stored"};
        QTest::newRow("ｺﾋﾟｰ → Copy") << "ｺﾋﾟｰ" << true << QStringList{"clipboard"};
        QTest::newRow("置換 → Update") << "置換" << true << QStringList{"stored"};
        QTest::newRow("実行 → Execute") << "実行" << true << QStringList{"shell"};
        QTest::newRow("unknown key") << "名前を付けて保存" << false << QStringList{};
        QTest::newRow("case and width differ") << "コピー" << false << QStringList{};
        QTest::newRow("trailing blank") << "開く " << false << QStringList{};
        QTest::newRow("image key is not a key") << "Save" << false << QStringList{};
        QTest::newRow("empty key") << "" << false << QStringList{};
        // clang-format on
    }

    void toolbarDispatch() {
        QFETCH(QString, key);
        QFETCH(bool, isButton);
        QFETCH(QStringList, changes);
        Session s;
        const QMap<QString, QString> before = s.observe();
        if (isButton) {
            QAction* action = toolbarAction(*s.form, key);
            QVERIFY(action);
            QTest::mouseClick(s.form->tbToolBar->widgetForAction(action), Qt::LeftButton);
        } else {
            s.form->tbToolBar_ButtonClick(key);
        }
        const QMap<QString, QString> after = s.observe();
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            const bool changed = after.value(it.key()) != it.value();
            QVERIFY2(changed == changes.contains(it.key()), qPrintable(it.key()));
        }
        if (key == QStringLiteral("開く")) {
            QCOMPARE(s.dialogs.requests.constFirst().kind, CommonDialog::Kind::Open);
        }
        if (key == QStringLiteral("上書き保存")) {
            QVERIFY(readBytes(s.path).contains(kTyped.toLatin1() + "\r\nsecond line\r\n"));
            QVERIFY(s.dialogs.requests.isEmpty());
        }
        if (key == QStringLiteral("ｺﾋﾟｰ")) {
            QCOMPARE(QGuiApplication::clipboard()->text(), kTyped + "\nsecond line");
        }
        if (key == QStringLiteral("実行")) {
            QCOMPARE(s.shell.calls, QStringList{kTyped});
        }
        if (isButton && key != QStringLiteral("新規作成")) {
            QCOMPARE(QApplication::focusWidget(), s.form->Text2);  // the toolbar took no focus
        }
        QVERIFY(s.messages.texts().isEmpty());
    }

    void tableRow_appearsWhereItAsks_data() {
        QTest::addColumn<CommandTable::ToolBar>("place");

        QTest::newRow("menu only") << CommandTable::ToolBar::None;
        QTest::newRow("on the toolbar") << CommandTable::ToolBar::Button;
        QTest::newRow("on the toolbar, new group") << CommandTable::ToolBar::AfterSeparator;
    }

    // One more row in the table, and nothing else, gives a menu item, a toolbar button when
    // the row asks for one, and a Key that runs it.
    void tableRow_appearsWhereItAsks() {
        QFETCH(CommandTable::ToolBar, place);
        const auto standard = frmMain::commandTable();
        std::vector<CommandTable::Entry> table(standard.begin(), standard.end());
        table.push_back({.name = "mnuFileExtra",
                         .in = "mnuFile",
                         .caption = u"追加(&X)",
                         .toolBar = place,
                         .key = u"追加",
                         .imageKey = u"Copy",
                         .handler = &frmMain::mnuFileNew_Click});
        QStringList ran;
        QWidget window;
        auto* bar = new QMenuBar(&window);
        CommandSurfaces surfaces(table, window, bar, &window, toolbarIcons(),
                                 [&](const CommandTable::Entry& entry) { ran << entry.name; });

        QAction* extra = bar->actions().constFirst()->menu()->actions().constLast();
        QCOMPARE(extra->text(), QStringLiteral("追加(&X)"));
        const QList<QAction*> buttons = window.findChild<QToolBar*>("tbToolBar")->actions();
        const bool onToolBar = place != CommandTable::ToolBar::None;
        const int added = place == CommandTable::ToolBar::AfterSeparator ? 2 : int(onToolBar);
        QCOMPARE(buttons.size(), 8 + added);
        QCOMPARE(buttons.constLast() == extra, onToolBar);
        if (added == 2) {
            QVERIFY(buttons[8]->isSeparator());
        }

        surfaces.triggerKey(QStringLiteral("追加"));
        QCOMPARE(ran, onToolBar ? QStringList{"mnuFileExtra"} : QStringList());
        extra->trigger();  // as the menu item does
        QCOMPARE(ran.size(), int(onToolBar) + 1);
        QCOMPARE(ran.constLast(), QStringLiteral("mnuFileExtra"));
    }

    void windowWideShortcuts_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("changes");

        for (const char* focus : {"Text2", "Text1", "TreeView1"}) {
            QTest::addRow("Ctrl+C in %s copies the whole body", focus)
                << focus << int(Qt::Key_C) << "clipboard";
            QTest::addRow("Ctrl+N in %s starts a new notebook", focus)
                << focus << int(Qt::Key_N) << "nodes";
        }
    }

    void windowWideShortcuts() {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(QString, changes);
        Session s;
        // Only part of the body is selected; Ctrl+C still takes all of it.
        QTextCursor cursor = s.form->Text2->textCursor();
        cursor.setPosition(2);
        cursor.setPosition(6, QTextCursor::KeepAnchor);
        s.form->Text2->setTextCursor(cursor);
        QWidget* target = nullptr;
        if (focus == "Text1") {
            s.form->mnuPopnew_Click();  // opens the title box with the focus
            target = s.form->Text1;
        } else if (focus == "TreeView1") {
            target = s.form->TreeView1;
            target->setFocus();
        } else {
            target = s.form->Text2;
        }
        QTRY_COMPARE(QApplication::focusWidget(), target);
        const QString clipboardBefore = QGuiApplication::clipboard()->text();
        const int nodesBefore = s.form->doc.Nodes.Count();

        QTest::keyClick(target, Qt::Key(key), Qt::ControlModifier);

        if (changes == "clipboard") {
            QCOMPARE(QGuiApplication::clipboard()->text(), kTyped + "\nsecond line");
            QCOMPARE(s.form->doc.Nodes.Count(), nodesBefore);
        } else {
            QCOMPARE(s.form->doc.Nodes.Count(), 0);
            QCOMPARE(QGuiApplication::clipboard()->text(), clipboardBefore);
            QVERIFY(s.form->Text2->bodyText().isEmpty());
        }
    }

    // A title wider than the first panel ends in "…" short of the date; a wider window shows more.
    void statusBarElidesALongTitle_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("wholeWhenWide");
        // clang-format off
        QTest::newRow("Latin") << QString("A title longer than the panel ").repeated(4) << true;
        QTest::newRow("Japanese") << QString("とても長い見出しの例").repeated(6) << true;
        QTest::newRow("10,000 characters") << QString(10000, QLatin1Char('x')) << false;
        // clang-format on
    }

    void statusBarElidesALongTitle() {
        QFETCH(QString, title);
        QFETCH(bool, wholeWhenWide);
        MemorySettingsStore settings;
        frmMain form(settings);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.sbStatusBar->setPanelText(1, title);
        auto* text = form.sbStatusBar->findChild<QLabel*>("sbStatusBar_Panel1");
        auto* date = form.sbStatusBar->findChild<QLabel*>("sbStatusBar_Panel2");
        for (const int width : {600, 1800}) {
            form.resize(width, 400);
            QCoreApplication::processEvents();
            QCOMPARE(form.sbStatusBar->panelText(1), title);
            const QString shown = text->text();
            QVERIFY(text->geometry().right() < date->geometry().left());
            QVERIFY(text->fontMetrics().horizontalAdvance(shown) <= text->contentsRect().width());
            if (width > 600 && wholeWhenWide) {
                QCOMPARE(shown, title);
            } else {
                QVERIFY(shown.endsWith(QChar(0x2026)));
                QVERIFY(title.startsWith(shown.chopped(1)));
            }
        }
    }

    void statusBarAtStart() {
        MemorySettingsStore settings;
        frmMain form(settings);
        form.show();
        StatusBar* bar = form.sbStatusBar;
        QCOMPARE(bar->panelText(1), QString());
        const QLocale locale;
        QCOMPARE(bar->panelText(2), locale.toString(QDate::currentDate(), QLocale::ShortFormat));
        const QTime shown = locale.toTime(bar->panelText(3), QLocale::ShortFormat);
        QVERIFY2(shown.isValid(), qPrintable(bar->panelText(3)));
        QVERIFY(qAbs(shown.secsTo(QTime::currentTime())) < 120);
        // The text panel takes the room the date and time leave.
        auto* text = bar->findChild<QWidget*>("sbStatusBar_Panel1");
        auto* date = bar->findChild<QWidget*>("sbStatusBar_Panel2");
        auto* time = bar->findChild<QWidget*>("sbStatusBar_Panel3");
        QVERIFY(text && date && time);
        QVERIFY(text->x() < date->x());
        QVERIFY(date->x() < time->x());
        QVERIFY(text->width() > date->width());
        // The clock wakes itself again within a minute, so the panels stay current.
        auto* clock = bar->findChild<QTimer*>();
        QVERIFY(clock);
        QVERIFY(clock->isActive());
        QVERIFY(clock->remainingTime() <= 60 * 1000 + 20);
    }
};

QTEST_MAIN(CommandSurfaceWidgetTest)
#include "command_surface_widget_test.moc"
