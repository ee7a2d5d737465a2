// Start-up and shut-down of the main window: geometry from the settings store, the command
// line, and what closing writes back.

#include <QDialog>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "editing/body_edit.h"
#include "editing/outline_tree.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/module1.h"
#include "mainwindow/qsettings_store.h"
#include "mainwindow/window_settings.h"
#include "widgets/local_path.h"
#include "widgets/long_line.h"
#include "window_test_support.h"

using namespace mossleaf;

namespace {

// Opens a window, moves and sizes it, closes it; returns its outer bounds while it was open.
QRect closeAt(SettingsStore& store, QPoint position, QSize size) {
    frmMain form(store);
    form.show();
    form.move(position);
    form.resize(size);
    QCoreApplication::processEvents();
    const QRect frame = form.frameGeometry();
    form.close();
    return frame;
}

}  // namespace

class StartupWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        if (QGuiApplication::primaryScreen()->logicalDotsPerInchX() != 96) {
            QSKIP("the pixel numbers below are for 96 logical DPI");
        }
    }

    void geometryFromSettings_data() {
        QTest::addColumn<QStringList>("stored");  // MainLeft, MainTop, MainWidth, MainHeight
        QTest::addColumn<QRect>("frame");         // in pixels, 15 twips each

        // clang-format off
        QTest::newRow("first start: defaults") << QStringList{{}, {}, {}, {}} << QRect(67, 67, 433, 433);
        QTest::newRow("stored values") << QStringList{"1500", "3000", "7500", "4500"} << QRect(100, 200, 500, 300);
        QTest::newRow("width below the least opens 3000 wide") << QStringList{"1500", "1500", "2000", "4500"} << QRect(100, 100, 200, 300);
        QTest::newRow("not numbers fall back to the defaults") << QStringList{"abc", "", "12x", "wide"} << QRect(67, 67, 433, 433);
        QTest::newRow("fractions and blanks") << QStringList{" 1500 ", "1500.4", "6000.0", "4500"} << QRect(100, 100, 400, 300);
        QTest::newRow("very wide") << QStringList{"0", "0", "15000", "7500"} << QRect(0, 0, 1000, 500);
        // clang-format on
    }

    void geometryFromSettings() {
        QFETCH(QStringList, stored);
        MemorySettingsStore settings;
        const QStringList keys{"MainLeft", "MainTop", "MainWidth", "MainHeight"};
        for (int i = 0; i < keys.size(); ++i) {
            if (!stored[i].isNull()) {
                settings.setSetting(keys[i], stored[i]);
            }
        }
        frmMain form(settings);
        form.show();
        QCoreApplication::processEvents();
        QTEST(form.frameGeometry(), "frame");
        QCOMPARE(form.windowTitle(), QStringLiteral("Mossleaf"));
        QVERIFY(!form.windowIcon().isNull());
        QCOMPARE(form.doc.NodeLimit, 256);
        QCOMPARE(form.TreeView1->topLevelItemCount(), 0);
        QCOMPARE(settings.writes, 0);
    }

    // The outer bounds, frame included, go back to the store; the next start opens the window
    // exactly there, so it neither creeps nor grows from run to run.
    void closingWritesTheOuterBounds() {
        MemorySettingsStore settings;
        const QRect frame = closeAt(settings, QPoint(30, 45), QSize(400, 300));
        QCOMPARE(frame.topLeft(), QPoint(30, 45));
        QCOMPARE(settings.setting("MainLeft"), QStringLiteral("450"));
        QCOMPARE(settings.setting("MainTop"), QStringLiteral("675"));
        QCOMPARE(settings.setting("MainWidth"), QString::number(frame.width() * 15));
        QCOMPARE(settings.setting("MainHeight"), QString::number(frame.height() * 15));
        QCOMPARE(settings.writes, 4);

        frmMain again(settings);
        again.show();
        QCoreApplication::processEvents();
        QCOMPARE(again.frameGeometry(), frame);
    }

    // A window manager may add the frame only after the window is shown; the window must still
    // reopen at the size it was closed at, frame included, instead of growing by its frame on
    // every start.
    void frameAddedAfterShowingDoesNotGrowTheWindow() {
        MemorySettingsStore settings;
        settings.setSetting("MainWidth", "6000");
        settings.setSetting("MainHeight", "4500");
        for (int run = 0; run < 3; ++run) {
            frmMain form(settings);
            form.Form_Load();  // before showing: this platform reports no frame yet
            form.show();
            QCoreApplication::processEvents();
            QCOMPARE(form.frameGeometry(), QRect(67, 67, 400, 300));
            form.close();
            QCOMPARE(settings.setting("MainWidth"), QStringLiteral("6000"));
            QCOMPARE(settings.setting("MainHeight"), QStringLiteral("4500"));
        }
    }

    // Twips are finer than pixels: a window closed where it opened writes back the values it
    // was opened from, not their pixel-rounded neighbours; a width it could not take is
    // written as the width it had.
    void untouchedWindowWritesItsValuesBack_data() {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("written");
        // clang-format off
        QTest::newRow("first start: the defaults") << QStringList{{}, {}, {}, {}} << QStringList{"1000", "1000", "6500", "6500"};
        QTest::newRow("between two pixels") << QStringList{"1007", "993", "7001", "4444"} << QStringList{"1007", "993", "7001", "4444"};
        QTest::newRow("width below the least") << QStringList{"1000", "1000", "2000", "6500"} << QStringList{"1000", "1000", "3000", "6500"};
        // clang-format on
    }

    void untouchedWindowWritesItsValuesBack() {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, written);
        const QStringList keys{"MainLeft", "MainTop", "MainWidth", "MainHeight"};
        MemorySettingsStore settings;
        for (int i = 0; i < keys.size(); ++i) {
            if (!stored[i].isEmpty()) {
                settings.setSetting(keys[i], stored[i]);
            }
        }
        {
            frmMain form(settings);
            form.show();
            QCoreApplication::processEvents();
            form.close();
        }
        for (int i = 0; i < keys.size(); ++i) {
            QCOMPARE(settings.setting(keys[i]), written[i]);
        }
    }

    void closingMinimizedWritesNothing() {
        MemorySettingsStore settings;
        settings.setSetting("MainWidth", "7500");
        frmMain form(settings);
        form.show();
        form.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(form.isMinimized());
        form.close();
        QCOMPARE(settings.writes, 0);
        QCOMPARE(settings.setting("MainWidth"), QStringLiteral("7500"));
    }

    void closingClosesTheOtherWindows() {
        MemorySettingsStore settings;
        frmMain form(settings);
        form.show();
        QDialog other;  // stands for the About box
        other.show();
        QVERIFY(other.isVisible());
        form.close();
        QVERIFY(!other.isVisible());
        QVERIFY(!form.isVisible());
    }

    void commandLineFileIsLoaded() {
        const QString path = dir_.filePath("notes.txt");
        writeBytes(path, exampleOutline());
        MessageLog messages;
        MemorySettingsStore settings;
        frmMain form(settings);
        form.commandLine = path;
        // The window comes first, then the file: nothing is read before it has been painted.
        form.show();
        QCOMPARE(form.doc.Nodes.Count(), 0);
        QCOMPARE(form.doc.NodeLimit, 0);
        QVERIFY(startUp(form));
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(form.dlgCommonDialog->FileName, path);
        QCOMPARE(QString::fromStdString(form.doc.CurrentFileName), path);
        QCOMPARE(form.doc.Nodes.Count(), 3);
        QCOMPARE(form.Text2->bodyText(), QStringLiteral("first line\nsecond line"));
    }

    void commandLineIsOneUnchangedName_data() {
        QTest::addColumn<QString>("commandLine");
        const QString path = dir_.filePath("notes.txt");
        QTest::newRow("quoted path") << '"' + path + '"';
        QTest::newRow("two paths") << path + ' ' + path;
        QTest::newRow("trailing blank kept") << path + ' ';
    }

    void commandLineIsOneUnchangedName() {
        QFETCH(QString, commandLine);
        writeBytes(dir_.filePath("notes.txt"), exampleOutline());
        MessageLog messages;
        MemorySettingsStore settings;
        frmMain form(settings);
        form.commandLine = commandLine;
        QVERIFY(startUp(form));
        QCOMPARE(
            messages.texts(),
            QStringList{LongLine::forMessage(commandLine) +
                        QStringLiteral("\r\nファイルが開けません。\r\nNo such file or directory")});
        QCOMPARE(form.dlgCommonDialog->FileName, commandLine);
        QCOMPARE(form.doc.Nodes.Count(), 0);
        QVERIFY(form.isVisible());
    }

    // The arguments are joined as bytes: names that are not UTF-8, or that look like Qt's own
    // options, come through as typed.
    void commandLineJoinsTheArguments_data() {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<QByteArray>("commandLine");
        // clang-format off
        QTest::newRow("none") << QByteArrayList{"mossleaf"} << QByteArray();
        QTest::newRow("one path") << QByteArrayList{"mossleaf", "/tmp/a b.txt"} << QByteArray("/tmp/a b.txt");
        QTest::newRow("two paths") << QByteArrayList{"mossleaf", "/tmp/a", "/tmp/b"} << QByteArray("/tmp/a /tmp/b");
        QTest::newRow("blanks kept") << QByteArrayList{"mossleaf", " x ", ""} << QByteArray(" x  ");
        QTest::newRow("Shift-JIS name") << QByteArrayList{"mossleaf", "/tmp/\x83\x81\x83\x82.txt"} << QByteArray("/tmp/\x83\x81\x83\x82.txt");
        QTest::newRow("Qt options") << QByteArrayList{"mossleaf", "-platform", "x", "-reverse"} << QByteArray("-platform x -reverse");
        // clang-format on
    }

    void commandLineJoinsTheArguments() {
        QFETCH(QByteArrayList, arguments);
        QFETCH(QByteArray, commandLine);
        std::vector<std::string> argv;
        for (const QByteArray& argument : arguments) {
            argv.push_back(argument.toStdString());
        }
        QCOMPARE(LocalPath::toBytes(Module1::commandLineFrom(argv)), commandLine.toStdString());
    }

    // The real program: a file named like Qt's options is the file it opens, while
    // QT_QPA_PLATFORM still chooses the platform. Start-up reports "idle" only once the file
    // was read without a message (a message box would stop it before).
    void optionLikeFileNameIsOpened() {
        QTemporaryDir work;
        writeBytes(work.filePath(QStringLiteral("-platform x")), exampleOutline());
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("MOSSLEAF_STARTUP_TRACE"), QStringLiteral("1"));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(work.path());
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(MOSSLEAF_PROGRAM), {"-platform", "x"});
        QByteArray output;
        const bool idle = QTest::qWaitFor(
            [&] {
                output += program.readAll();
                return output.contains("mossleaf-startup idle") ||
                       program.state() == QProcess::NotRunning;
            },
            20000);
        const bool stillRunning = program.state() == QProcess::Running;
        program.kill();
        program.waitForFinished();
        QVERIFY2(idle && stillRunning && output.contains("mossleaf-startup idle"),
                 output.constData());
    }

    // The real store: values written as text under [Settings] of Mossleaf/Mossleaf.conf in the
    // test's own configuration folder.
    void qsettingsStoreKeepsValuesAsText() {
        QCoreApplication::setOrganizationName(QStringLiteral("Mossleaf"));
        QCoreApplication::setApplicationName(QStringLiteral("Mossleaf"));
        const QString config =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        QVERIFY2(config.startsWith(qEnvironmentVariable("HOME")), qPrintable(config));
        QFile::remove(config + "/Mossleaf/Mossleaf.conf");  // left by an earlier run
        QSettingsStore store;
        QCOMPARE(store.value("Mossleaf", "Settings", "MainLeft", "1000"), QStringLiteral("1000"));
        const QRect frame = closeAt(store, QPoint(15, 30), QSize(500, 400));
        const QString width = QString::number(frame.width() * 15);
        QCOMPARE(store.value("Mossleaf", "Settings", "MainWidth", "0"), width);
        const QByteArray file = readBytes(config + "/Mossleaf/Mossleaf.conf");
        QVERIFY2(file.contains("[Settings]"), file.constData());
        QVERIFY2(file.contains("MainLeft=225\n"), file.constData());
        QVERIFY2(file.contains("MainTop=450\n"), file.constData());
        QVERIFY2(file.contains("MainWidth=" + width.toLatin1() + "\n"), file.constData());
        QVERIFY2(file.contains("MainHeight=" + QByteArray::number(frame.height() * 15) + "\n"),
                 file.constData());
    }

    // Values go to the store as plain numbers and come back; what is no number reads as the
    // default.
    void settingsValues_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        // clang-format off
        QTest::newRow("whole") << "6500" << 6500.0;
        QTest::newRow("negative") << "-60" << -60.0;
        QTest::newRow("zero") << "0" << 0.0;
        QTest::newRow("fraction") << "1234.5" << 1234.5;
        QTest::newRow("infinite is no number") << "inf" << 6500.0;
        // clang-format on
    }

    void settingsValues() {
        QFETCH(QString, text);
        QFETCH(double, value);
        MemorySettingsStore settings;
        settings.setSetting("MainWidth", text);
        QCOMPARE(WindowSettings::read(settings, WindowSettings::kWidth), value);
        if (text != "inf") {
            QCOMPARE(WindowSettings::toText(value), text);
        }
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(StartupWidgetTest)
#include "startup_widget_test.moc"
