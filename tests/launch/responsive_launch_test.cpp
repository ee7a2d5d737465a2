// Execute while the desktop is slow to answer: the window goes on painting and taking input,
// the outcome and the messages stay those of a prompt answer, and whatever the user does
// meanwhile does no harm.
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <chrono>

#include "editing/body_edit.h"
#include "launch/desktop_handler.h"
#include "launch/system_shell_opener.h"
#include "mainwindow/window_test_support.h"

using namespace mossleaf;

using namespace std::chrono_literals;

namespace {

constexpr auto kTimeout = 1500ms;
const QString kCannotOpen = QStringLiteral("は開けません");
const QString kMail = QStringLiteral("taro@mail.example.jp");

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

}  // namespace

class ResponsiveLaunchTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        // A gio of our own: it logs its target, takes `delay` seconds, and opens only the
        // targets listed in `opens`.
        QVERIFY(desktophandler::writeFile(
            path("gio"),
            "#!/bin/sh\ncd \"$(dirname \"$0\")\"\nprintf '%s\\n' \"$3\" >> log\n"
            "sleep \"$(cat delay)\"\ngrep -qxF -- \"$3\" opens\n",
            true));
    }

    void init() {
        QFile::remove(path("log"));
        setGio("0.6", {});
        opener_ = std::make_unique<SystemShellOpener>(path("gio"), kTimeout);
        form_ = std::make_unique<frmMain>(settings_);
        form_->setShellOpener(opener_.get());
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    void cleanup() { form_.reset(); }

    void executeKeepsTheWindowLive_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QStringList>("opens");
        QTest::addColumn<QStringList>("expectedCalls");
        QTest::addColumn<bool>("reported");

        const QString web = QStringLiteral("https://example.com/");
        const QString missing = QStringLiteral("/nonexistent/メモ.txt");
        // clang-format off
        QTest::newRow("web address opens") << web << "0.6" << QStringList{web} << QStringList{web} << false;
        QTest::newRow("bare mail address opens as Mailto:") << kMail << "0.6" << QStringList{"Mailto:" + kMail} << QStringList{kMail, "Mailto:" + kMail} << false;
        QTest::newRow("nothing opens") << missing << "0.6" << QStringList{} << QStringList{missing} << true;
        QTest::newRow("gio that does not answer in time fails") << web << "4" << QStringList{web} << QStringList{web} << true;
        // clang-format on
    }

    void executeKeepsTheWindowLive() {
        QFETCH(QString, target);
        QFETCH(QString, delay);
        QFETCH(QStringList, opens);
        QFETCH(QStringList, expectedCalls);
        QFETCH(bool, reported);
        setGio(delay, opens);
        form_->Text2->showBody(target + QStringLiteral("\n二行目"));
        MessageLog messages;

        QWidget* viewport = form_->Text2->viewport();
        PaintCounter counter;
        viewport->installEventFilter(&counter);
        QTimer ticker;  // asks for a paint every 20 ms: about 30 during the wait
        connect(&ticker, &QTimer::timeout, viewport, qOverload<>(&QWidget::update));
        ticker.start(20);
        // A key typed meanwhile is posted, so only a running event loop delivers it. The box
        // takes typing once a node is shown; no node is needed for what is tested here.
        form_->Text2->setReadOnly(false);
        QCoreApplication::postEvent(
            form_->Text2, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("ね")));

        form_->mnuExe_Click();

        QVERIFY2(counter.paints >= 10, qPrintable(QString::number(counter.paints)));
        QVERIFY(form_->Text2->bodyText().contains(QStringLiteral("ね")));
        QCOMPARE(loggedTargets(), expectedCalls);
        QCOMPARE(messages.texts(), reported ? QStringList{target + kCannotOpen} : QStringList());
    }

    // A second Execute or Help while the first waits is dropped at once (Help would name its
    // missing page); once the window has gone, neither the "Mailto:" retry nor a message
    // follows.
    void somethingHappensWhileOpening_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("expectedCalls");
        QTest::addColumn<bool>("reported");
        const QStringList both{kMail, "Mailto:" + kMail};
        QTest::newRow("Execute chosen again") << "execute" << both << true;
        QTest::newRow("Help chosen") << "help" << both << true;
        QTest::newRow("window closed") << "close" << QStringList{kMail} << false;
        QTest::newRow("window destroyed") << "destroy" << QStringList{kMail} << false;
    }

    void somethingHappensWhileOpening() {
        QFETCH(QString, action);
        QFETCH(QStringList, expectedCalls);
        QFETCH(bool, reported);
        form_->Text2->showBody(kMail);
        MessageLog messages;
        qint64 actionTook = -1;
        QTimer::singleShot(200, this, [&] {
            QElapsedTimer clock;
            clock.start();
            if (action == "execute") {
                form_->mnuExe_Click();
            } else if (action == "help") {
                form_->mnuHelpHELP_Click();
            } else if (action == "close") {
                form_->close();
            } else {
                form_.reset();
            }
            actionTook = clock.elapsed();
        });

        form_->mnuExe_Click();

        QVERIFY(actionTook >= 0 && actionTook < 500);  // a second gio alone takes 600 ms
        QCOMPARE(loggedTargets(), expectedCalls);
        QCOMPARE(messages.texts(), reported ? QStringList{kMail + kCannotOpen} : QStringList());
    }

    // As in the program: closing the last window quits, which ends the wait at once.
    void closingTheLastWindowWhileOpening_quitsQuietly() {
        setGio("4", {});
        const QString missing = QStringLiteral("/nonexistent/notes.txt");
        form_->Text2->showBody(missing);
        MessageLog messages;
        bool returned = false;
        QTimer::singleShot(0, form_.get(), [&] {
            QTimer::singleShot(200, form_.get(), &QWidget::close);
            form_->mnuExe_Click();
            returned = true;
        });
        QElapsedTimer clock;
        clock.start();

        QCOMPARE(QApplication::exec(), 0);

        QVERIFY(returned);
        QVERIFY(clock.elapsed() < 3000);  // gio would take 4 s
        QCOMPARE(loggedTargets(), QStringList{missing});
        QCOMPARE(messages.texts(), QStringList());
    }

private:
    QString path(const QString& name) const { return dir_.filePath(name); }

    void setGio(const QString& delaySeconds, const QStringList& opens) {
        QVERIFY(desktophandler::writeFile(path("delay"), delaySeconds.toUtf8()));
        QVERIFY(desktophandler::writeFile(path("opens"), opens.join(u'\n').toUtf8() + '\n'));
    }

    QStringList loggedTargets() const {
        return desktophandler::readFile(path("log")).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir_;
    MemorySettingsStore settings_;
    std::unique_ptr<SystemShellOpener> opener_;
    std::unique_ptr<frmMain> form_;
};

QTEST_MAIN(ResponsiveLaunchTest)
#include "responsive_launch_test.moc"
