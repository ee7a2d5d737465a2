// The About box as the user sees it: texts, arrangement, keys, and the icon.
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "about/fake_registry.h"
#include "about/frm_about.h"
#include "widgets/app_icon.h"
#include "widgets/message_recorder.h"

using namespace mossleaf;

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
    void texts_data() {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("title") << "lblTitle" << "Mossleaf";
        QTest::newRow("version") << "lblVersion" << "ﾊﾞｰｼﾞｮﾝ 1.0.1";
        QTest::newRow("description") << "lblDescription" << "ツリー形式　テキストデータ　管理ツール";
        QTest::newRow("OK") << "cmdOK" << "OK";
        QTest::newRow("system information") << "cmdSysInfo" << "ｼｽﾃﾑ情報(&S)...";
        // clang-format on
    }

    void texts() {
        QFETCH(QString, objectName);
        QFETCH(QString, expected);
        frmAbout about(nullptr, &registry_);
        QCOMPARE(about.windowTitle(), QStringLiteral("Mossleaf のﾊﾞｰｼﾞｮﾝ情報"));
        if (auto* label = about.findChild<QLabel*>(objectName)) {
            QCOMPARE(label->text(), expected);
        } else {
            auto* button = about.findChild<QPushButton*>(objectName);
            QVERIFY2(button != nullptr, qPrintable(objectName));
            QCOMPARE(button->text(), expected);
        }
    }

    void arrangement() {
        frmAbout about(nullptr, &registry_);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));

        QCOMPARE(about.picIcon->pixmap().size(), QSize(32, 32));
        QVERIFY(about.picIcon->geometry().right() < about.lblTitle->geometry().left());
        QVERIFY(about.lblTitle->geometry().bottom() < about.lblVersion->geometry().top());
        QVERIFY(about.lblVersion->geometry().bottom() < about.lblDescription->geometry().top());

        // The etched separator: a grey line with a white one twice as thick just below it.
        QCOMPARE(about.Line1[0]->height(), 1);
        QCOMPARE(about.Line1[1]->height(), 2);
        QCOMPARE(about.Line1[0]->palette().color(QPalette::Window), QColor(128, 128, 128));
        QCOMPARE(about.Line1[1]->palette().color(QPalette::Window), QColor(255, 255, 255));
        QCOMPARE(about.Line1[1]->geometry().top(), about.Line1[0]->geometry().bottom() + 1);
        QVERIFY(about.lblDescription->geometry().bottom() < about.Line1[0]->geometry().top());
        QVERIFY(about.Line1[0]->width() > about.width() / 2);

        QVERIFY(about.Line1[1]->geometry().bottom() < about.lblDisclaimer->geometry().top());
        QVERIFY(!about.lblDisclaimer->text().isEmpty());
        QVERIFY(!about.lblDisclaimer->text().contains(QLatin1Char('\n')));
        QVERIFY(about.lblDisclaimer->geometry().right() < about.cmdOK->geometry().left());
        QVERIFY(about.cmdOK->geometry().bottom() < about.cmdSysInfo->geometry().top());
        // Nothing is cut off.
        for (QWidget* w : std::initializer_list<QWidget*>{
                 about.lblTitle, about.lblVersion, about.lblDescription, about.lblDisclaimer}) {
            QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName()));
        }
    }

    void keysClose_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("expectClosed");
        // clang-format off
        QTest::newRow("Enter") << "cmdOK" << int(Qt::Key_Return) << true;
        QTest::newRow("keypad Enter") << "cmdOK" << int(Qt::Key_Enter) << true;
        QTest::newRow("Esc") << "cmdOK" << int(Qt::Key_Escape) << true;
        QTest::newRow("Esc on the system button") << "cmdSysInfo" << int(Qt::Key_Escape) << true;
        QTest::newRow("Enter on the system button presses it") << "cmdSysInfo" << int(Qt::Key_Return) << false;
        // clang-format on
    }

    void keysClose() {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(bool, expectClosed);
        frmAbout about(nullptr, &registry_);
        about.open();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QWidget* target = about.findChild<QWidget*>(focus);
        target->setFocus();
        QCOMPARE(QApplication::focusWidget(), target);
        MessageLog messages;

        QTest::keyClick(target, static_cast<Qt::Key>(key));

        QCOMPARE(!about.isVisible(), expectClosed);
        // The system button was pressed exactly when the box stayed open.
        QCOMPARE(messages.shown().size(), expectClosed ? 0 : 1);
    }

    void iconIsDrawn() {
        const QImage image = mossleafIcon().pixmap(QSize(32, 32), 1.0).toImage();
        QCOMPARE(image.size(), QSize(32, 32));
        // The corners stay transparent; the drawing covers the middle.
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(31, 31)), 0);
        int opaque = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const QColor c = image.pixelColor(x, y);
                opaque += c.alpha() == 255;
            }
        }
        QVERIFY2(opaque > 32 * 32 / 3, qPrintable(QString::number(opaque)));
    }

private:
    FakeRegistry registry_;  // empty: no system-information tool
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
