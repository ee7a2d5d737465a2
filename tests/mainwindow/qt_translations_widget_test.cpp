// Qt's own texts follow the locale into Japanese, and only into Japanese.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include "mainwindow/qt_translations.h"

using namespace mossleaf;

class QtTranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void dialogTextsFollowJapaneseLocaleOnly_data();
    void dialogTextsFollowJapaneseLocaleOnly();
};

void QtTranslationsTest::cleanup() {
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

void QtTranslationsTest::dialogTextsFollowJapaneseLocaleOnly_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<QString>("fileName");
    const QString cancelJa = QStringLiteral("キャンセル");
    const QString fileNameJa = QStringLiteral("ファイル名(&N):");
    // clang-format off
    QTest::newRow("ja_JP") << QLocale(QLocale::Japanese, QLocale::Japan) << true << cancelJa << fileNameJa;
    QTest::newRow("ja") << QLocale(QStringLiteral("ja")) << true << cancelJa << fileNameJa;
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << false << "Cancel" << "File &name:";
    QTest::newRow("C") << QLocale::c() << false << "Cancel" << "File &name:";
    // Qt has German texts too; they would only add a third language.
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << false << "Cancel" << "File &name:";
    // clang-format on
}

void QtTranslationsTest::dialogTextsFollowJapaneseLocaleOnly() {
    QFETCH(QLocale, locale);
    QFETCH(bool, installed);
    QFETCH(QString, cancel);
    QFETCH(QString, fileName);
    const QString catalogue =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm");
    if (!QFileInfo::exists(catalogue)) {
        QSKIP("Qt's Japanese catalogue is not installed (qt6-translations-l10n)");
    }
    QCOMPARE(QtTranslations::install(*qApp, locale), installed);
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), cancel);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
    QVERIFY(label);
    QCOMPARE(label->text(), fileName);
}

QTEST_MAIN(QtTranslationsTest)
#include "qt_translations_widget_test.moc"
