// Every dialog the main window opens, in Japanese at scale 1 and 2 (the test runs twice):
// centred on the window, its pictures drawn for the screen, the file dialog's columns whole.

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "mainwindow/qt_translations.h"
#include "window_test_support.h"

using namespace mossleaf;

namespace {

QStringList flaws(const QDialog& dialog) {
    QStringList found;
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        if (view->model()->rowCount(view->rootIndex()) < 3) {
            return {QStringLiteral("folder not read")};
        }
        for (int column = 0; column < view->header()->count(); ++column) {
            if (static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column) >
                view->columnWidth(column)) {
                found << QStringLiteral("column %1 cut").arg(column);
            }
        }
    }
    const qreal ratio = dialog.windowHandle()->devicePixelRatio();
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->pixmap().isNull() && label->pixmap().devicePixelRatio() < ratio) {
            found << QStringLiteral("blurred picture ") + label->objectName();
        }
    }
    return found;
}

}  // namespace

class DialogsWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(QtTranslations::install(*qApp, QLocale::system()));
        // Column widths Qt kept from an earlier run would hide what a first start shows.
        QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                      QStringLiteral("/QtProject.conf"));
        for (const char* name : {"買い物メモ.txt", "仕事.txt", "diary-2026.txt"}) {
            writeBytes(dir_.filePath(QString::fromUtf8(name)), QByteArray(16000, 'a'));
        }
    }

    void centredAndWhole_data() {
        QTest::addColumn<int>("dialog");  // in the order of the opens table below
        int i = 0;
        for (const char* name : {"warning", "About box", "open"}) {
            QTest::newRow(name) << i++;
        }
    }

    void centredAndWhole() {
        QFETCH(int, dialog);
        MemorySettingsStore settings;
        settings.setSetting("MainLeft", "2250");
        frmMain form(settings);
        QVERIFY(startUp(form));
        form.dlgCommonDialog->FileName = dir_.filePath(QStringLiteral("仕事.txt"));
        QRect shown;
        QStringList found{QStringLiteral("not shown")};
        QTimer::singleShot(0, &form, [&] {
            const auto modal = [] { return qobject_cast<QDialog*>(qApp->activeModalWidget()); };
            (void)QTest::qWaitFor([&] { return modal() && flaws(*modal()).isEmpty(); }, 3000);
            shown = modal()->frameGeometry();
            found = flaws(*modal());
            modal()->reject();
        });
        const std::function<void()> opens[] = {
            [&] { MessageBox::exclamation(&form, QStringLiteral("ファイルが開けません。")); },
            [&] { form.mnuHelpAbout_Click(); }, [&] { form.dlgCommonDialog->ShowOpen(); }};
        opens[dialog]();
        QCOMPARE(found, QStringList());
        const QPoint off = shown.center() - form.frameGeometry().center();
        QVERIFY2(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1, qPrintable(QDebug::toString(off)));
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(DialogsWidgetTest)
#include "dialogs_widget_test.moc"
