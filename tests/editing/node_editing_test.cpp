// The main window driven as a user drives it: the popup on the tree, the title box, clicks
// and keys in the tree, typing in the body, and what ends up in the Document and the file.
#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QInputMethodEvent>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

#include "editing/body_edit.h"
#include "editing/outline_tree.h"
#include "editing/title_box.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/status_bar.h"
#include "mainwindow/window_test_support.h"
#include "widgets/qt_text.h"

using namespace mossleaf;

namespace {

QString bodyOf(const frmMain& form, const std::string& key) {
    return QtText::toQString(form.doc.bodyOf(key));
}

QString titleOf(const frmMain& form, const std::string& key) {
    const mossleaf::Node* node = form.doc.Nodes.find(key);
    return node ? QtText::toQString(node->title()) : QString();
}

std::string parentOf(const frmMain& form, const std::string& key) {
    const mossleaf::Node* node = form.doc.Nodes.find(key);
    return node && node->Parent ? node->Parent->Key : std::string();
}

QPoint rowCenter(const frmMain& form, const std::string& key) {
    QTreeWidgetItem* item = form.TreeView1->itemForKey(key);
    return item ? form.TreeView1->visualItemRect(item).center() : QPoint();
}

QPoint emptySpot(const frmMain& form) {
    return QPoint(20, form.TreeView1->viewport()->height() - 10);
}

// ASCII arrives as key presses; anything else as an input method's commit, as Japanese does.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(widget, &commit);
        }
    }
}

// The colour the body box is painted with where no text is.
QColor backgroundOf(BodyEdit& body) {
    const QImage image = body.viewport()->grab().toImage();
    return image.pixelColor(image.width() - 3, image.height() - 3);
}

void typeInBody(frmMain& form, const QString& text) {
    QTest::mouseClick(form.Text2->viewport(), Qt::LeftButton, {}, QPoint(30, 30));
    QVERIFY(form.Text2->hasFocus());
    QTest::keyClick(form.Text2, Qt::Key_End, Qt::ControlModifier);
    typeText(form.Text2, text);
}

}  // namespace

class NodeEditingTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void titleEntryEndings_data();
    void titleEntryEndings();
    void buildNotebookFromNothing();
    void typingStaysWithItsNode();
    void deleteSubtreeSelectsNeighbour_data();
    void deleteSubtreeSelectsNeighbour();
    void nodeLimit();
    void renameSelectsWholeOldTitle_data();
    void renameSelectsWholeOldTitle();
    void popupOnRightReleaseChangesNothing();
    void menuKeyOpensPopupAtHighlightedRow_data();
    void menuKeyOpensPopupAtHighlightedRow();
    void sortingOnClickIsScreenOnly();
    void releaseOverEmptyTreeForgetsCurrentNode_data();
    void releaseOverEmptyTreeForgetsCurrentNode();
    void noTypingWithoutSelectedNode_data();
    void noTypingWithoutSelectedNode();
    void committedTitleIsOneLine_data();
    void committedTitleIsOneLine();
    void lookedAtBodyIsSavedAsRead_data();
    void lookedAtBodyIsSavedAsRead();
    void renameKeepsVeryLongTitle();
    void pastedTitleTakenWholeOrRefused_data();
    void pastedTitleTakenWholeOrRefused();
    void bodyTooLargeToShow_leavesTextEmpty_data();
    void bodyTooLargeToShow_leavesTextEmpty();

private:
    // Presses and releases the right button at `at` (viewport coordinates). While the popup
    // is open, `inMenu` runs; it chooses an item or closes the menu. Returns whether the popup
    // opened, and only after the release.
    bool rightClick(const QPoint& at, const std::function<void(QMenu&)>& inMenu);
    // Presses the key in the tree; returns the popup's top left corner (global) when the popup
    // opened, after closing it through `inMenu`.
    std::optional<QPoint> pressInTree(int key, Qt::KeyboardModifiers modifiers,
                                      const std::function<void(QMenu&)>& inMenu);
    // Right-click at `at` and choose the popup item with this objectName.
    bool choose(const QPoint& at, const char* action);
    // New node through the popup, typing `title` and Enter.
    void addByPopup(const QPoint& at, const QString& title);
    // Writes `bytes` to a file in the temporary folder and opens it through the File menu.
    QString openBytes(const QByteArray& bytes);

    MemorySettingsStore settings_;
    std::unique_ptr<frmMain> form_;
    std::unique_ptr<MessageLog> messages_;
    QTemporaryDir dir_;
};

void NodeEditingTest::init() {
    messages_ = std::make_unique<MessageLog>();
    form_ = std::make_unique<frmMain>(settings_);
    QVERIFY(showActive(*form_));
}

void NodeEditingTest::cleanup() {
    QtText::setDisplayHookForTest({});
    form_.reset();
    messages_.reset();
}

bool NodeEditingTest::rightClick(const QPoint& at, const std::function<void(QMenu&)>& inMenu) {
    QWidget* viewport = form_->TreeView1->viewport();
    bool released = false, early = false, opened = false;
    const QDeadlineTimer deadline(5000);
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu && !released) {
            early = true;
            menu->close();
        } else if (menu && !opened) {
            opened = true;
            inMenu(*menu);
        } else if (menu && deadline.hasExpired()) {
            menu->close();  // `inMenu` left it open
        }
    });
    poll.start(5);
    QTest::mousePress(viewport, Qt::RightButton, {}, at);
    QCoreApplication::processEvents();
    if (early || QApplication::activePopupWidget() != nullptr) {
        qWarning("the popup opened on the press");
        return false;
    }
    released = true;
    QTest::mouseRelease(viewport, Qt::RightButton, {}, at);
    // Offscreen, a popup takes the activation (late, under load) and nothing gives it back;
    // the window counts as active while its own popup is, so wait for the window itself.
    while (QApplication::activeWindow() != form_.get() && !deadline.hasExpired()) {
        form_->activateWindow();
        QTest::qWait(5);
    }
    return opened && QApplication::activeWindow() == form_.get();
}

std::optional<QPoint> NodeEditingTest::pressInTree(int key, Qt::KeyboardModifiers modifiers,
                                                   const std::function<void(QMenu&)>& inMenu) {
    std::optional<QPoint> opened;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu && !opened) {
            opened = menu->pos();
            inMenu(*menu);
        }
    });
    poll.start(5);
    QTest::keyClick(form_->TreeView1, Qt::Key(key), modifiers);
    const QDeadlineTimer deadline(5000);
    while (QApplication::activeWindow() != form_.get() && !deadline.hasExpired()) {
        form_->activateWindow();
        QTest::qWait(5);
    }
    return opened;
}

bool NodeEditingTest::choose(const QPoint& at, const char* action) {
    return rightClick(at, [action](QMenu& menu) {
        for (QAction* item : menu.actions()) {
            if (item->objectName() == QLatin1String(action)) {
                QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(item).center());
                return;
            }
        }
        QTest::keyClick(&menu, Qt::Key_Escape);
    });
}

void NodeEditingTest::addByPopup(const QPoint& at, const QString& title) {
    QVERIFY(choose(at, "mnuPopnew"));
    QVERIFY(form_->Text1->hasFocus());
    typeText(form_->Text1, title);
    QTest::keyClick(form_->Text1, Qt::Key_Return);
}

QString NodeEditingTest::openBytes(const QByteArray& bytes) {
    const QString path = dir_.filePath(QStringLiteral("notebook.txt"));
    writeBytes(path, bytes);
    DialogScript dialogs;
    dialogs.answers << path;
    form_->mnuFileOpen->trigger();
    return path;
}

void NodeEditingTest::titleEntryEndings_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("ending");
    // clang-format off
    QTest::newRow("Enter commits") << "Diary" << "enter";
    QTest::newRow("focus loss commits") << "Diary" << "click body";
    QTest::newRow("empty Enter abandons") << "" << "enter";
    QTest::newRow("empty focus loss abandons") << "" << "click body";
    QTest::newRow("Esc is typing, Enter then commits") << "ab" << "esc enter";
    QTest::newRow("title kept as typed, blanks included") << " 日記 " << "enter";
    // clang-format on
}

void NodeEditingTest::titleEntryEndings() {
    QFETCH(QString, typed);
    QFETCH(QString, ending);
    frmMain& form = *form_;
    const QPoint at = emptySpot(form);
    QVERIFY(choose(at, "mnuPopnew"));
    TitleBox* box = form.Text1;
    QVERIFY(box->hasFocus());
    // The box opens where the right button was released.
    const QPoint inTree = form.TreeView1->viewport()->mapTo(form.TreeView1, at);
    QCOMPARE(box->pos(), form.TreeView1->mapTo(box->parentWidget(), inTree));
    typeText(box, typed);
    if (ending.startsWith(QLatin1String("esc"))) {
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(box->isVisible());
        QCOMPARE(box->text(), typed);
    }
    if (ending.endsWith(QLatin1String("enter"))) {
        QTest::keyClick(box, Qt::Key_Return);
    } else {
        QTest::mouseClick(form.Text2->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    }
    QVERIFY(!box->isVisible());
    QCOMPARE(form.doc.Nodes.Count(), typed.isEmpty() ? 0 : 1);
    QCOMPARE(form.doc.NodeCounter, std::int16_t(form.doc.Nodes.Count()));
    if (!typed.isEmpty()) {
        QCOMPARE(titleOf(form, "S0"), typed);
        QCOMPARE(form.TreeView1->itemForKey("S0")->text(0), typed);
        // A new node is not selected: nothing changes until it is clicked.
        QCOMPARE(form.TreeView1->selectedKey(), QString());
    }
}

void NodeEditingTest::buildNotebookFromNothing() {
    frmMain& form = *form_;
    addByPopup(emptySpot(form), QStringLiteral("Home"));
    QVERIFY(form.TreeView1->hasFocus());
    clickNode(form, "S0");
    QCOMPARE(form.sbStatusBar->panelText(1), QStringLiteral("Home"));

    // Three new nodes in a row become children of the current node, in the order typed,
    // and the current node and its body stay as they are.
    typeInBody(form, QStringLiteral("home body"));
    addByPopup(rowCenter(form, "S0"), QStringLiteral("zeta"));
    addByPopup(emptySpot(form), QStringLiteral("alpha"));
    addByPopup(rowCenter(form, "S1"), QStringLiteral("mid"));
    QCOMPARE(form.doc.Nodes.Count(), 4);
    for (const auto& [index, title] : {std::pair{2, "zeta"}, {3, "alpha"}, {4, "mid"}}) {
        QCOMPARE(form.doc.Nodes(index)->Parent, form.doc.Nodes(1));
        QCOMPARE(QtText::toQString(form.doc.Nodes(index)->title()), QString::fromLatin1(title));
    }
    QCOMPARE(form.doc.CurrentKey, std::string("S0"));
    QCOMPARE(form.TreeView1->selectedKey(), QStringLiteral("S0"));
    QCOMPARE(form.Text2->bodyText(), QStringLiteral("home body"));
    QCOMPARE(bodyOf(form, "S0"), QStringLiteral("home body"));
    // The last node added was brought into view under its expanded parent.
    QVERIFY(form.TreeView1->itemForKey("S0")->isExpanded());

    // A title being typed when another node is clicked goes to the node current before.
    clickNode(form, "S2");
    QVERIFY(choose(rowCenter(form, "S2"), "mnuPopnew"));
    typeText(form.Text1, QStringLiteral("under alpha"));
    clickNode(form, "S1");
    QCOMPARE(parentOf(form, "S4"), std::string("S2"));
    QCOMPARE(titleOf(form, "S4"), QStringLiteral("under alpha"));
    QCOMPARE(form.TreeView1->selectedKey(), QStringLiteral("S1"));
    QCOMPARE(form.sbStatusBar->panelText(1), QStringLiteral("zeta"));
}

void NodeEditingTest::typingStaysWithItsNode() {
    frmMain& form = *form_;
    addByPopup(emptySpot(form), QStringLiteral("A"));
    addByPopup(emptySpot(form), QStringLiteral("B"));
    clickNode(form, "S0");
    typeInBody(form, QStringLiteral("alpha"));
    QTest::keyClick(form.Text2, Qt::Key_Return);
    typeText(form.Text2, QStringLiteral("second"));
    clickNode(form, "S1");
    QCOMPARE(form.Text2->bodyText(), QString());
    typeInBody(form, QStringLiteral("beta"));
    // Update stores the typing and leaves the focus and the caret where they were ("bet+a").
    QTest::keyClick(form.Text2, Qt::Key_Left);
    form.mnuEditUpdate->trigger();
    QCOMPARE(bodyOf(form, "S1"), QStringLiteral("beta"));
    QVERIFY(form.Text2->hasFocus());
    // Choosing a node with the keyboard counts as clicking it.
    typeText(form.Text2, QStringLiteral("+"));
    form.TreeView1->setFocus(Qt::TabFocusReason);  // leaving the body by Shift+Tab
    QTest::keyClick(form.TreeView1, Qt::Key_Up);
    QCOMPARE(form.doc.CurrentKey, std::string("S0"));
    QCOMPARE(form.sbStatusBar->panelText(1), QStringLiteral("A"));
    QCOMPARE(form.Text2->bodyText(), QStringLiteral("alpha\nsecond"));
    QCOMPARE(bodyOf(form, "S0"), QStringLiteral("alpha\r\nsecond"));
    // Clicking the shown node again shows the stored text again.
    typeInBody(form, QStringLiteral("!"));
    clickNode(form, "S0");
    QCOMPARE(form.Text2->bodyText(), QStringLiteral("alpha\nsecond!"));
    QTest::keyClick(form.TreeView1, Qt::Key_Down);
    QCOMPARE(form.Text2->bodyText(), QStringLiteral("bet+a"));
}

void NodeEditingTest::deleteSubtreeSelectsNeighbour_data() {
    // The notebook: S0 Other, S1 R { S2 A { S4 A1 }, S3 B }.
    QTest::addColumn<QString>("deleted");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QStringList>("gone");
    // clang-format off
    QTest::newRow("subtree, next sibling") << "S2" << "S3" << QStringList{"S2", "S4"};
    QTest::newRow("last child, previous sibling") << "S3" << "S2" << QStringList{"S3"};
    QTest::newRow("only child, parent") << "S4" << "S2" << QStringList{"S4"};
    QTest::newRow("whole last root, previous root") << "S1" << "S0" << QStringList{"S1", "S2", "S3", "S4"};
    // clang-format on
}

void NodeEditingTest::deleteSubtreeSelectsNeighbour() {
    QFETCH(QString, deleted);
    QFETCH(QString, next);
    QFETCH(QStringList, gone);
    frmMain& form = *form_;
    // New nodes are not selected, so both are roots.
    addByPopup(emptySpot(form), QStringLiteral("Other"));
    addByPopup(emptySpot(form), QStringLiteral("R"));
    clickNode(form, "S1");
    addByPopup(emptySpot(form), QStringLiteral("A"));
    addByPopup(emptySpot(form), QStringLiteral("B"));
    clickNode(form, "S2");
    addByPopup(emptySpot(form), QStringLiteral("A1"));
    for (const char* key : {"S0", "S1", "S2", "S3", "S4"}) {
        clickNode(form, key);
        typeInBody(form, QStringLiteral("body of ") + QLatin1String(key));
    }
    clickNode(form, deleted.toStdString());
    typeInBody(form, QStringLiteral(" typed"));
    QVERIFY(choose(rowCenter(form, deleted.toStdString()), "mnuPopDel"));
    for (const QString& key : gone) {
        QVERIFY(form.doc.Nodes.find(key.toStdString()) == nullptr);
        QVERIFY(form.TreeView1->itemForKey(key.toStdString()) == nullptr);
    }
    QCOMPARE(form.doc.Nodes.Count(), 5 - gone.size());
    QCOMPARE(form.TreeView1->selectedKey(), next);
    QCOMPARE(QString::fromStdString(form.doc.CurrentKey), next);
    QCOMPARE(form.Text2->bodyText(), QStringLiteral("body of ") + next);
    QVERIFY(!form.Text2->isReadOnly());
    // The typing was stored into the deleted node when the tree took the focus, and never
    // reaches the node selected now.
    QCOMPARE(bodyOf(form, deleted.toStdString()), QStringLiteral("body of ") + deleted + " typed");
    QVERIFY(form.TreeView1->hasFocus());
    clickNode(form, next.toStdString());
    QCOMPARE(bodyOf(form, next.toStdString()), QStringLiteral("body of ") + next);
}

void NodeEditingTest::nodeLimit() {
    frmMain& form = *form_;
    form.doc.NodeCounter = 256;
    addByPopup(emptySpot(form), QStringLiteral("last"));
    QCOMPARE(titleOf(form, "S256"), QStringLiteral("last"));
    QVERIFY(choose(emptySpot(form), "mnuPopnew"));
    QCOMPARE(messages_->shown().size(), 1);
    QCOMPARE(messages_->shown().first().text,
             QStringLiteral("登録件数が最大値を超えました。\r\n新規作成は出来ません。"));
    QCOMPARE(messages_->shown().first().icon, MessageBox::Icon::Exclamation);
    QVERIFY(!form.Text1->isVisible());
    QCOMPARE(form.doc.Nodes.Count(), 1);
    QCOMPARE(form.doc.NodeCounter, std::int16_t(257));
}

void NodeEditingTest::renameSelectsWholeOldTitle_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("title");
    QTest::newRow("typing replaces the old title") << "新しい題"
                                                   << "新しい題";
    QTest::newRow("emptied box keeps the old title") << "\b"
                                                     << "古い題 old";
}

void NodeEditingTest::renameSelectsWholeOldTitle() {
    QFETCH(QString, typed);
    QFETCH(QString, title);
    frmMain& form = *form_;
    addByPopup(emptySpot(form), QStringLiteral("古い題 old"));
    clickNode(form, "S0");
    typeInBody(form, QStringLiteral("body"));
    QVERIFY(choose(rowCenter(form, "S0"), "mnuPopRename"));
    TitleBox* box = form.Text1;
    QVERIFY(box->hasFocus());
    QCOMPARE(box->selectedText(), QStringLiteral("古い題 old"));
    QCOMPARE(box->text(), box->selectedText());
    if (typed == QLatin1String("\b")) {
        QTest::keyClick(box, Qt::Key_Backspace);
    } else {
        typeText(box, typed);
    }
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(titleOf(form, "S0"), title);
    QCOMPARE(form.TreeView1->itemForKey("S0")->text(0), title);
    QCOMPARE(bodyOf(form, "S0"), QStringLiteral("body"));
    // The status bar keeps the title of the last click until the next one.
    QCOMPARE(form.sbStatusBar->panelText(1), QStringLiteral("古い題 old"));
}

void NodeEditingTest::popupOnRightReleaseChangesNothing() {
    frmMain& form = *form_;
    addByPopup(emptySpot(form), QStringLiteral("one"));
    addByPopup(emptySpot(form), QStringLiteral("two"));
    clickNode(form, "S0");
    typeInBody(form, QStringLiteral("typed"));
    // rightClick fails when the popup opens on the press.
    QString storedWhenOpen;
    QVERIFY(rightClick(rowCenter(form, "S1"), [&](QMenu& menu) {
        storedWhenOpen = bodyOf(*form_, "S0");
        // Cancel: the last item closes the menu and does nothing.
        QTest::mouseClick(&menu, Qt::LeftButton, {},
                          menu.actionGeometry(menu.actions().last()).center());
    }));
    QCOMPARE(storedWhenOpen, QStringLiteral("typed"));
    QCOMPARE(form.TreeView1->selectedKey(), QStringLiteral("S0"));
    QCOMPARE(form.doc.CurrentKey, std::string("S0"));
    QCOMPARE(form.Text2->bodyText(), QStringLiteral("typed"));
    QCOMPARE(form.sbStatusBar->panelText(1), QStringLiteral("one"));
    QVERIFY(!form.Text1->isVisible());
    // The tree offers no other context menu: a context menu event alone (a platform may send
    // one besides the Menu key's key press, which opens the popup) and other buttons open
    // nothing.
    const QPoint at = emptySpot(form);
    QContextMenuEvent byMouse(QContextMenuEvent::Mouse, at,
                              form.TreeView1->viewport()->mapToGlobal(at));
    QApplication::sendEvent(form.TreeView1->viewport(), &byMouse);
    QContextMenuEvent byKey(QContextMenuEvent::Keyboard, at, form.TreeView1->mapToGlobal(at));
    QApplication::sendEvent(form.TreeView1, &byKey);
    QTest::mouseClick(form.TreeView1->viewport(), Qt::MiddleButton, {}, at);
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
}

void NodeEditingTest::menuKeyOpensPopupAtHighlightedRow_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("highlighted");
    QTest::addColumn<bool>("opens");
    // clang-format off
    QTest::newRow("Menu key, node") << int(Qt::Key_Menu) << Qt::KeyboardModifiers() << "S2" << true;
    QTest::newRow("Shift+F10, node") << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier) << "S3" << true;
    QTest::newRow("Menu key, none") << int(Qt::Key_Menu) << Qt::KeyboardModifiers() << "" << true;
    QTest::newRow("Shift+F10, none") << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier) << "" << true;
    QTest::newRow("F10 alone opens nothing") << int(Qt::Key_F10) << Qt::KeyboardModifiers() << "S2" << false;
    // clang-format on
}

void NodeEditingTest::menuKeyOpensPopupAtHighlightedRow() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, highlighted);
    QFETCH(bool, opens);
    frmMain& form = *form_;
    openBytes(exampleOutline());
    OutlineTree* tree = form.TreeView1;
    if (!highlighted.isEmpty()) {
        clickNode(form, highlighted.toStdString());
        typeInBody(form, QStringLiteral(" typed"));
    }
    tree->setFocus(Qt::TabFocusReason);
    QTreeWidgetItem* item = tree->itemForKey(highlighted.toStdString());
    // The row on screen (tree coordinates) the menu belongs to; the rows' top left without one.
    const QRect row =
        item ? QRect(tree->viewport()->mapTo(tree, tree->visualItemRect(item).topLeft()),
                     tree->visualItemRect(item).size())
             : QRect(tree->viewport()->mapTo(tree, QPoint(0, 0)), QSize(1, 1));
    QCursor::setPos(form.mapToGlobal(QPoint(form.width() - 5, form.height() - 5)));
    const std::optional<QPoint> menuAt = pressInTree(key, modifiers, [](QMenu& menu) {
        QTest::mouseClick(&menu, Qt::LeftButton, {},
                          menu.actionGeometry(menu.actions().first()).center());
    });
    QCOMPARE(menuAt.has_value(), opens);
    if (!opens) {
        QVERIFY(!form.Text1->isVisible());
        return;
    }
    QVERIFY2(QRect(tree->mapToGlobal(row.topLeft()), row.size()).contains(*menuAt),
             "the menu opens on the highlighted row, not at the pointer");
    // New node, chosen from the menu: the title box opens where the menu did, as after a
    // right-click there, and the node goes under the highlighted one.
    QVERIFY(form.Text1->isVisible());
    QCOMPARE(form.Text1->mapToGlobal(QPoint(0, 0)), *menuAt);
    typeText(form.Text1, QStringLiteral("by key"));
    QTest::keyClick(form.Text1, Qt::Key_Return);
    QCOMPARE(titleOf(form, "S4"), QStringLiteral("by key"));
    QCOMPARE(parentOf(form, "S4"), highlighted.toStdString());
    QCOMPARE(tree->selectedKey(), highlighted);
    if (item) {
        // The typing was stored before the menu opened.
        QVERIFY(bodyOf(form, highlighted.toStdString()).endsWith(QStringLiteral(" typed")));
    }
}

void NodeEditingTest::sortingOnClickIsScreenOnly() {
    frmMain& form = *form_;
    addByPopup(emptySpot(form), QStringLiteral("P"));
    clickNode(form, "S0");
    for (const char* title : {"pear", "apple", "fig"}) {
        addByPopup(emptySpot(form), QString::fromLatin1(title));
    }
    auto screen = [&form] {
        QStringList titles;
        QTreeWidgetItem* parent = form.TreeView1->itemForKey("S0");
        for (int i = 0; i < parent->childCount(); ++i) {
            titles << parent->child(i)->text(0);
        }
        return titles.join(u' ');
    };
    QCOMPARE(screen(), QStringLiteral("pear apple fig"));
    clickNode(form, "S0");
    QCOMPARE(screen(), QStringLiteral("apple fig pear"));
    DialogScript dialogs;
    const QString path = dir_.filePath(QStringLiteral("sorted.txt"));
    dialogs.answers << path;
    form.mnuFileNameSave->trigger();
    QCOMPARE(readBytes(path), QByteArrayLiteral("<**********>, 1 , 0 ,P\r\n\r\n"
                                                "<**********>, 2 , 1 ,pear\r\n\r\n"
                                                "<**********>, 3 , 1 ,apple\r\n\r\n"
                                                "<**********>, 4 , 1 ,fig\r\n\r\n"));
}

void NodeEditingTest::releaseOverEmptyTreeForgetsCurrentNode_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("middle") << Qt::MiddleButton;
    QTest::newRow("right") << Qt::RightButton;
}

void NodeEditingTest::releaseOverEmptyTreeForgetsCurrentNode() {
    QFETCH(Qt::MouseButton, button);
    frmMain& form = *form_;
    addByPopup(emptySpot(form), QStringLiteral("old"));
    clickNode(form, "S0");
    form.mnuFileNew->trigger();
    QCOMPARE(form.doc.CurrentKey, std::string("S0"));
    if (button == Qt::RightButton) {
        QVERIFY(rightClick(emptySpot(form), [](QMenu& menu) { menu.close(); }));
    } else {
        QTest::mouseClick(form.TreeView1->viewport(), button, {}, emptySpot(form));
    }
    QCOMPARE(form.doc.CurrentKey, std::string());
    // So the next new node is a root node, numbered on from before New.
    addByPopup(emptySpot(form), QStringLiteral("fresh"));
    QCOMPARE(form.doc.Nodes.Count(), 1);
    QCOMPARE(parentOf(form, "S1"), std::string());
}

void NodeEditingTest::noTypingWithoutSelectedNode_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("after opening a file") << "open";
    QTest::newRow("after New") << "new";
    QTest::newRow("after deleting the only node") << "delete";
}

void NodeEditingTest::noTypingWithoutSelectedNode() {
    QFETCH(QString, how);
    frmMain& form = *form_;
    const QString path = dir_.filePath(QStringLiteral("example.txt"));
    writeBytes(path, exampleOutline());
    DialogScript dialogs;
    dialogs.answers << path << path;
    form.mnuFileOpen->trigger();
    clickNode(form, "S2");
    typeInBody(form, QStringLiteral(" more"));
    const QColor editable = QApplication::palette().color(QPalette::Base);
    const QColor disabled = QApplication::palette().color(QPalette::Disabled, QPalette::Base);
    QVERIFY(editable != disabled);
    QCOMPARE(backgroundOf(*form.Text2), editable);
    if (how == QLatin1String("open")) {
        form.mnuFileOpen->trigger();
        QCOMPARE(form.Text2->bodyText(), QStringLiteral("first line\nsecond line"));
    } else if (how == QLatin1String("new")) {
        form.mnuFileNew->trigger();
    } else {
        clickNode(form, "S1");
        QVERIFY(choose(rowCenter(form, "S1"), "mnuPopDel"));
        QCOMPARE(form.Text2->bodyText(), QString());
    }
    QCOMPARE(form.doc.Nodes.Count(), how == QLatin1String("open") ? 3 : 0);
    QCOMPARE(form.TreeView1->selectedKey(), QString());
    QVERIFY(form.Text2->isReadOnly());
    // It looks so.
    QCOMPARE(backgroundOf(*form.Text2), disabled);
    QCOMPARE(form.Text2->palette().color(QPalette::Text),
             QApplication::palette().color(QPalette::Disabled, QPalette::Text));
    // Rename has no highlighted node to offer: the box stays closed.
    QVERIFY(choose(emptySpot(form), "mnuPopRename"));
    QVERIFY(!form.Text1->isVisible());
    // Nor has Delete: the position recorded before names a node the user never chose.
    const int count = form.doc.Nodes.Count();
    QVERIFY(choose(emptySpot(form), "mnuPopDel"));
    QCOMPARE(form.doc.Nodes.Count(), count);
    const QString shown = form.Text2->bodyText();
    typeInBody(form, QStringLiteral("lost?"));
    QCOMPARE(form.Text2->bodyText(), shown);
    // The text shown belongs to no node: Update stores it nowhere.
    form.mnuEditUpdate->trigger();
    if (count == 3) {
        QCOMPARE(bodyOf(form, "S1"), QStringLiteral("first line\r\nsecond line"));
        QCOMPARE(bodyOf(form, "S2"), QStringLiteral("buy paper"));
        // A node shown again takes typing, and looks like it.
        clickNode(form, "S1");
        QCOMPARE(backgroundOf(*form.Text2), editable);
        QCOMPARE(form.Text2->palette().color(QPalette::Text),
                 QApplication::palette().color(QPalette::Text));
    }
}

void NodeEditingTest::committedTitleIsOneLine_data() {
    QTest::addColumn<bool>("rename");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<QString>("title");
    // clang-format off
    QTest::newRow("new, LF, Enter") << false << "line1\nline2" << true << "line1 line2";
    QTest::newRow("new, CR LF and CR, focus loss") << false << "a\r\nb\rc" << false << "a b c";
    QTest::newRow("rename, separators, Enter") << true << "a\u2028b\u2029c" << true << "a b c";
    QTest::newRow("rename, marker line, focus loss")
        << true << "x\r\n<**********>, 9 , 0 ,y\r\n" << false << "x <**********>, 9 , 0 ,y";
    QTest::newRow("rename, only a line break keeps the old title") << true << "\r\n" << true << "Plan";
    // clang-format on
}

void NodeEditingTest::committedTitleIsOneLine() {
    QFETCH(bool, rename);
    QFETCH(QString, text);
    QFETCH(bool, byEnter);
    QFETCH(QString, title);
    frmMain& form = *form_;
    const QString path = openBytes(exampleOutline());
    clickNode(form, "S2");
    QVERIFY(choose(rowCenter(form, "S2"), rename ? "mnuPopRename" : "mnuPopnew"));
    QVERIFY(form.Text1->hasFocus());
    // As a paste, a drop or an input method would put it there: over the selected old title.
    form.Text1->insert(text);
    if (byEnter) {
        QTest::keyClick(form.Text1, Qt::Key_Return);
    } else {
        QTest::mouseClick(form.Text2->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    }
    const std::string key = rename ? "S2" : "S4";
    QCOMPARE(titleOf(form, key), title);
    // The file read back holds the same notes: nothing became body text or a record.
    form.mnuFileSave->trigger();
    openBytes(readBytes(path));
    QCOMPARE(form.doc.Nodes.Count(), rename ? 3 : 4);
    QCOMPARE(titleOf(form, key), title);
    QCOMPARE(bodyOf(form, key), rename ? QStringLiteral("buy paper") : QString());
}

void NodeEditingTest::lookedAtBodyIsSavedAsRead_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("how");
    const QByteArray paragraph = QStringLiteral("a\u2029b").toUtf8();
    const QByteArray nonchars = QStringLiteral("a\uFDD0b\uFDD1c").toUtf8();
    // clang-format off
    QTest::newRow("paragraph separator, Save") << paragraph << "" << "save";
    QTest::newRow("paragraph separator, focus loss") << paragraph << "" << "focus";
    QTest::newRow("noncharacters, Save") << nonchars << "" << "save";
    QTest::newRow("noncharacters, Update") << nonchars << "" << "update";
    QTest::newRow("typed, Save") << QByteArray("a") << "!" << "save";
    // clang-format on
}

void NodeEditingTest::lookedAtBodyIsSavedAsRead() {
    QFETCH(QByteArray, body);
    QFETCH(QString, typed);
    QFETCH(QString, how);
    frmMain& form = *form_;
    const auto file = [](const QByteArray& firstBody) {
        return "\xEF\xBB\xBF<**********>, 1 , 0 ,\xE6\x97\xA5\r\n" + firstBody +
               "\r\n<**********>, 2 , 0 ,other\r\nx\r\n";
    };
    const QString path = openBytes(file(body));
    clickNode(form, "S1");
    typeInBody(form, typed);
    if (how == QLatin1String("focus")) {
        clickNode(form, "S2");
    } else if (how == QLatin1String("update")) {
        form.mnuEditUpdate->trigger();
    }
    form.mnuFileSave->trigger();
    QCOMPARE(readBytes(path), file(body + typed.toUtf8()));
}

void NodeEditingTest::renameKeepsVeryLongTitle() {
    frmMain& form = *form_;
    const QString title = QString(40000, QLatin1Char('t')) + QStringLiteral("end");
    openBytes("<**********>, 1 , 0 ," + title.toLatin1() + "\r\nbody\r\n");
    clickNode(form, "S1");
    QVERIFY(choose(rowCenter(form, "S1"), "mnuPopRename"));
    QTest::keyClick(form.Text1, Qt::Key_Return);
    QCOMPARE(titleOf(form, "S1"), title);
}

namespace {

// `length` UTF-16 units of one kind of text, as a paste brings it.
QString pasteOf(const QString& kind, qsizetype length) {
    const QString piece = kind == QLatin1String("latin") ? QStringLiteral("x")
                          : kind == QLatin1String("lines")
                              ? QString(98, QLatin1Char('x')) + QStringLiteral("\r\n")
                              : QStringLiteral("日本語の題名です。");
    QString text;
    text.reserve(length + piece.size());
    while (text.size() < length) {
        text.append(piece);
    }
    text.truncate(length);
    return text;
}

}  // namespace

void NodeEditingTest::pastedTitleTakenWholeOrRefused_data() {
    QTest::addColumn<bool>("rename");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<QString>("refusal");  // the message; empty when the paste is taken
    const QString limit = QStringLiteral("\r\n見出しは10,000文字までです。");
    const auto refused = [&limit](const char* length) {
        return QStringLiteral("見出しが長すぎるため、入力できません（%1文字）。")
                   .arg(QLatin1String(length)) +
               limit;
    };
    // clang-format off
    QTest::newRow("rename, Latin without blanks, 1,000") << true << "latin" << qsizetype(1000) << "";
    QTest::newRow("new, lines with CR LF, 10,000") << false << "lines" << qsizetype(10000) << "";
    QTest::newRow("rename, Japanese, 10,000") << true << "japanese" << qsizetype(10000) << "";
    QTest::newRow("rename, Latin without blanks, 10,001")
        << true << "latin" << qsizetype(10001) << refused("10,001");
    QTest::newRow("new, Japanese, 32,768") << false << "japanese" << qsizetype(32768) << refused("32,768");
    QTest::newRow("rename, lines with CR LF, 300 KiB")
        << true << "lines" << qsizetype(300 * 1024) << refused("307,200");
    QTest::newRow("new, lines with CR LF, 1 MiB")
        << false << "lines" << qsizetype(1024 * 1024) << refused("1,048,576");
    QTest::newRow("rename, Latin without blanks, 1 MiB")
        << true << "latin" << qsizetype(1024 * 1024) << refused("1,048,576");
    // clang-format on
}

// Ctrl+V in the title box, as the user pastes a title that another program copied: the
// title is taken whole, or refused with a message and nothing changes. Never cut.
void NodeEditingTest::pastedTitleTakenWholeOrRefused() {
    QFETCH(bool, rename);
    QFETCH(QString, kind);
    QFETCH(qsizetype, length);
    QFETCH(QString, refusal);
    frmMain& form = *form_;
    openBytes(exampleOutline());
    clickNode(form, "S2");
    const QString oldTitle = titleOf(form, "S2");
    const int count = form.doc.Nodes.Count();
    QVERIFY(choose(rowCenter(form, "S2"), rename ? "mnuPopRename" : "mnuPopnew"));
    QVERIFY(form.Text1->hasFocus());
    const QString before = form.Text1->text();
    QCOMPARE(before, rename ? oldTitle : QString());
    const QString pasted = pasteOf(kind, length);
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(form.Text1, Qt::Key_V, Qt::ControlModifier);
    const std::string key = rename ? "S2" : "S4";
    if (refusal.isEmpty()) {
        QVERIFY(messages_->shown().isEmpty());
        QCOMPARE(form.Text1->text(), pasted);  // whole, line breaks and all
        QTest::keyClick(form.Text1, Qt::Key_Return);
        // Inner line breaks become blanks; the one that ends the paste is dropped.
        QCOMPARE(titleOf(form, key),
                 QString(pasted).replace(QStringLiteral("\r\n"), " ").trimmed());
        QCOMPARE(form.doc.Nodes.Count(), count + (rename ? 0 : 1));
        return;
    }
    QCOMPARE(messages_->shown().size(), 1);
    QCOMPARE(messages_->shown().first().text, refusal);
    QCOMPARE(messages_->shown().first().icon, MessageBox::Icon::Exclamation);
    // The entry goes on as it was: the box open with its text, the old title still selected.
    QVERIFY(form.Text1->isVisible());
    QVERIFY(form.Text1->hasFocus());
    QCOMPARE(form.Text1->text(), before);
    QCOMPARE(form.Text1->selectedText(), before);
    QCOMPARE(titleOf(form, "S2"), oldTitle);
    QTest::keyClick(form.Text1, Qt::Key_Return);
    QVERIFY(!form.Text1->isVisible());
    QCOMPARE(titleOf(form, "S2"), oldTitle);
    QCOMPARE(form.doc.Nodes.Count(), count);
    QCOMPARE(messages_->shown().size(), 1);
}

void NodeEditingTest::bodyTooLargeToShow_leavesTextEmpty_data() {
    QTest::addColumn<bool>("byDelete");
    QTest::newRow("clicked") << false;
    QTest::newRow("selected after a delete") << true;
}

void NodeEditingTest::bodyTooLargeToShow_leavesTextEmpty() {
    QFETCH(bool, byDelete);
    frmMain& form = *form_;
    openBytes(exampleOutline());
    const std::string typedInto = byDelete ? "S3" : "S1";
    clickNode(form, typedInto);
    typeInBody(form, QStringLiteral("typed"));
    // Only the body of Plan is too large for the memory left.
    QtText::setDisplayHookForTest([](std::u16string_view body) {
        if (body == u"buy paper") {
            throw std::bad_alloc();
        }
    });
    if (byDelete) {
        QVERIFY(choose(rowCenter(form, "S3"), "mnuPopDel"));
    } else {
        clickNode(form, "S2");
    }
    QtText::setDisplayHookForTest({});
    QCOMPARE(messages_->texts(),
             QStringList{QStringLiteral("Plan\r\nメモリが足りないため、本文を表示できません。")});
    QCOMPARE(form.Text2->bodyText(), QString());
    QVERIFY(form.Text2->isReadOnly());
    QCOMPARE(form.TreeView1->selectedKey(), QStringLiteral("S2"));
    // The typing went to the node it was typed for; Plan keeps its body.
    form.mnuEditUpdate->trigger();
    QCOMPARE(bodyOf(form, "S2"), QStringLiteral("buy paper"));
    QVERIFY(bodyOf(form, typedInto).endsWith(QStringLiteral("typed")));
    // Shown again once there is memory for it.
    clickNode(form, "S2");
    QCOMPARE(form.Text2->bodyText(), QStringLiteral("buy paper"));
    QVERIFY(!form.Text2->isReadOnly());
}

QTEST_MAIN(NodeEditingTest)
#include "node_editing_test.moc"
