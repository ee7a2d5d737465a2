#pragma once

// Shared by the main window's widget tests: an in-memory settings store, recorders for the
// message boxes and the file dialogs, and small file helpers.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "core/outline_test_support.h"
#include "document/common_dialog.h"
#include "editing/outline_tree.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/settings_store.h"
#include "widgets/message_recorder.h"

namespace mossleaf {

class MemorySettingsStore : public SettingsStore {
public:
    QMap<QString, QString> values;  // "app/section/key" -> text
    int writes = 0;

    static QString path(const QString& app, const QString& section, const QString& key) {
        return app + u'/' + section + u'/' + key;
    }
    QString value(const QString& app, const QString& section, const QString& key,
                  const QString& defaultValue) override {
        return values.value(path(app, section, key), defaultValue);
    }
    void setValue(const QString& app, const QString& section, const QString& key,
                  const QString& value) override {
        ++writes;
        values.insert(path(app, section, key), value);
    }
    QString setting(const QString& key) const {
        return values.value(path(QStringLiteral("Mossleaf"), QStringLiteral("Settings"), key));
    }
    void setSetting(const QString& key, const QString& value) {
        values.insert(path(QStringLiteral("Mossleaf"), QStringLiteral("Settings"), key), value);
    }
};

// Answers the file dialogs from a queue (an empty answer is a cancel) and records each request.
class DialogScript {
public:
    DialogScript() {
        CommonDialog::setTestHandler([this](const CommonDialog::Request& request) {
            requests << request;
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
    }
    ~DialogScript() { CommonDialog::setTestHandler({}); }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    QStringList answers;
    QList<CommonDialog::Request> requests;
};

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArray exampleOutline() {
    return testsupport::kWorkedExample;
}

// A left click on the node's row, as the user selects a node.
inline void clickNode(frmMain& form, const std::string& key) {
    QTreeWidgetItem* item = form.TreeView1->itemForKey(key);
    QVERIFY2(item, key.c_str());
    form.TreeView1->scrollToItem(item);
    const QRect rect = form.TreeView1->visualItemRect(item);
    QTest::mouseClick(form.TreeView1->viewport(), Qt::LeftButton, {}, rect.center());
}

// Start-up is over when the node limit is set: a file on the command line is read once the
// window is on screen.
inline bool startUp(frmMain& form) {
    form.show();
    return QTest::qWaitFor([&form] { return form.doc.NodeLimit == 256; });
}

// Starts the window and waits until it has the keyboard, as after a real start.
inline bool showActive(frmMain& form) {
    if (!startUp(form)) {
        return false;
    }
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form);
}

}  // namespace mossleaf
