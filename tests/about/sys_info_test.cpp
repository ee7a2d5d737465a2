// The About box's lookup of the system-information tool: GetKeyValue and StartSysInfo against
// a registry held in memory, and the layer that answers for this system.
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "about/fake_registry.h"
#include "about/frm_about.h"
#include "about/sysinfo_registry.h"
#include "widgets/message_recorder.h"

using namespace mossleaf;

namespace {

const QByteArray kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray kDirKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString kUnavailable = QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません");
constexpr int kDeadlineMs = 10000;

bool writeScript(const QString& path, const QByteArray& body) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write("#!/bin/sh\n" + body);
    file.close();
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ExeOwner);
}

QString fill(QString text, const QString& root) {
    return text.replace(QStringLiteral("%D"), root);
}

}  // namespace

class SysInfoTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        savedPath_ = qgetenv("PATH");
    }

    void cleanup() { qputenv("PATH", savedPath_); }

    void getKeyValue_data() {
        QTest::addColumn<bool>("keyExists");
        QTest::addColumn<bool>("valueExists");
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("expectedResult");
        QTest::addColumn<QString>("expectedValue");  // KeyVal starts as "before"

        using B = QByteArray;
        // clang-format off
        QTest::newRow("string") << true << true << 1u << B("/usr/bin/hardinfo\0", 18) << true << "/usr/bin/hardinfo";
        QTest::newRow("string without its NUL ends at the zeroed buffer") << true << true << 1u << B("/usr/bin/hardinfo") << true << "/usr/bin/hardinfo";
        QTest::newRow("string cut at its first NUL") << true << true << 1u << B("abc\0def\0", 8) << true << "abc";
        QTest::newRow("string in the locale's encoding") << true << true << 1u << QStringLiteral("/opt/情報/ツール").toUtf8() << true << "/opt/情報/ツール";
        QTest::newRow("empty string") << true << true << 1u << B("\0", 1) << true << "";
        QTest::newRow("number") << true << true << 4u << B("\x78\x56\x34\x12", 4) << true << "&h12345678";
        QTest::newRow("number with zero bytes") << true << true << 4u << B("\x02\x01\x00\x00", 4) << true << "&h102";
        QTest::newRow("binary value leaves the text alone") << true << true << 3u << B("xyz") << true << "before";
        QTest::newRow("expandable string leaves the text alone") << true << true << 2u << B("%PATH%\0", 7) << true << "before";
        QTest::newRow("value that just fits with its NUL") << true << true << 1u << B(1023, 'a') + B("\0", 1) << true << QString(1023, 'a');
        QTest::newRow("value longer than the buffer") << true << true << 1u << B(1025, 'a') << false << "";
        QTest::newRow("missing value") << true << false << 1u << B() << false << "";
        QTest::newRow("missing key") << false << false << 1u << B() << false << "";
        // clang-format on
    }

    void getKeyValue() {
        QFETCH(bool, keyExists);
        QFETCH(bool, valueExists);
        QFETCH(uint, type);
        QFETCH(QByteArray, data);

        FakeRegistry registry;
        if (keyExists) {
            registry.keys[kToolKey] = {};
            if (valueExists) {
                registry.keys[kToolKey].insert("PATH", FakeRegistry::Value{type, data});
            }
        }
        frmAbout about(nullptr, &registry, [](const QString&) { return false; });
        QString value = QStringLiteral("before");

        const bool result = about.GetKeyValue(
            Registry::kLocalMachine, QString::fromLatin1(kToolKey), QStringLiteral("PATH"), value);

        QTEST(result, "expectedResult");
        QTEST(value, "expectedValue");
        QCOMPARE(registry.openKeys(), 0);
    }

    void startSysInfo_data() {
        QTest::addColumn<QByteArray>("pathValue");  // null: no "PATH" value
        QTest::addColumn<uint>("pathType");
        QTest::addColumn<bool>("dirValue");          // "MSINFO" = the test folder
        QTest::addColumn<QString>("toolEntry");      // "", "file" or "directory"
        QTest::addColumn<QStringList>("startable");  // paths the starter can start
        QTest::addColumn<QStringList>("expectedStarts");
        QTest::addColumn<bool>("expectMessage");

        const QByteArray missing("/nonexistent/msinfo32");
        const QString tool = "%D/MSINFO32.EXE";
        // clang-format off
        QTest::newRow("tool path started as it stands") << missing << 1u << false << "" << QStringList{missing} << QStringList{missing} << false;
        QTest::newRow("tool path that cannot be started") << missing << 1u << false << "" << QStringList{} << QStringList{missing} << true;
        QTest::newRow("tool path wins over the directory") << missing << 1u << true << "file" << QStringList{missing} << QStringList{missing} << false;
        QTest::newRow("tool path of another type gives an empty path") << missing << 3u << false << "" << QStringList{} << QStringList{""} << true;
        QTest::newRow("directory holding the tool") << QByteArray() << 1u << true << "file" << QStringList{tool} << QStringList{tool} << false;
        QTest::newRow("directory without the tool") << QByteArray() << 1u << true << "" << QStringList{tool} << QStringList{} << true;
        QTest::newRow("directory where the tool is a folder") << QByteArray() << 1u << true << "directory" << QStringList{tool} << QStringList{} << true;
        QTest::newRow("neither value") << QByteArray() << 1u << false << "" << QStringList{} << QStringList{} << true;
        QTest::newRow("tool path too long: the directory is asked") << QByteArray(2000, 'x') << 1u << true << "file" << QStringList{tool} << QStringList{tool} << false;
        // A value that fills the buffer without its NUL is an error that ends in the message.
        QTest::newRow("tool path without a NUL ends in the message") << QByteArray(1024, 'x') << 1u << true << "file" << QStringList{tool} << QStringList{} << true;
        // clang-format on
    }

    void startSysInfo() {
        QFETCH(QByteArray, pathValue);
        QFETCH(uint, pathType);
        QFETCH(bool, dirValue);
        QFETCH(QString, toolEntry);
        QFETCH(QStringList, startable);
        QFETCH(QStringList, expectedStarts);
        QFETCH(bool, expectMessage);

        QTemporaryDir toolDir;
        QVERIFY(toolDir.isValid());
        const QString root = toolDir.path();
        const QString tool = root + QStringLiteral("/MSINFO32.EXE");
        if (toolEntry == QLatin1String("file")) {
            QVERIFY(writeScript(tool, "exit 0\n"));
        } else if (toolEntry == QLatin1String("directory")) {
            QVERIFY(QDir().mkpath(tool));
        }
        FakeRegistry registry;
        if (!pathValue.isNull()) {
            registry.keys[kToolKey].insert("PATH", FakeRegistry::Value{pathType, pathValue});
        }
        if (dirValue) {
            registry.keys[kDirKey].insert("MSINFO", FakeRegistry::Value{1, root.toUtf8()});
        }
        QStringList starts;
        frmAbout about(nullptr, &registry, [&](const QString& path) {
            starts << path;
            return startable.contains(path.startsWith(root) ? "%D" + path.mid(root.size()) : path);
        });
        about.show();
        MessageLog messages;

        about.StartSysInfo();

        QStringList expected;
        for (const QString& path : expectedStarts) {
            expected << fill(path, root);
        }
        QCOMPARE(starts, expected);
        QCOMPARE(messages.texts(), expectMessage ? QStringList{kUnavailable} : QStringList());
        if (expectMessage) {
            QCOMPARE(messages.shown().first().icon, MessageBox::Icon::None);
            QCOMPARE(messages.shown().first().title, QStringLiteral("Mossleaf"));
        }
        QVERIFY(about.isVisible());
        QCOMPARE(registry.openKeys(), 0);
    }

    void startSysInfoCannotStartAMissingPath() {
        FakeRegistry registry;
        registry.keys[kToolKey].insert(
            "PATH", FakeRegistry::Value{1, dir_.filePath(QStringLiteral("no-such-tool")).toUtf8()});
        frmAbout about(nullptr, &registry);
        MessageLog messages;

        about.StartSysInfo();

        QCOMPARE(messages.texts(), QStringList{kUnavailable});
    }

    void systemLayerFindsTheTool_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QStringList{} << "";
        QTest::newRow("kinfocenter") << QStringList{"kinfocenter"} << "kinfocenter";
        QTest::newRow("hardinfo preferred") << QStringList{"kinfocenter", "hardinfo"} << "hardinfo";
        QTest::newRow("hardinfo2 preferred") << QStringList{"hardinfo", "hardinfo2"} << "hardinfo2";
    }

    void systemLayerFindsTheTool() {
        QFETCH(QStringList, installed);
        QFETCH(QString, expected);
        QTemporaryDir bin;
        QVERIFY(bin.isValid());
        for (const QString& name : installed) {
            QVERIFY(writeScript(bin.filePath(name), "exit 0\n"));
        }
        qputenv("PATH", bin.path().toUtf8());
        SysInfoRegistry registry;
        frmAbout about(nullptr, &registry, [](const QString&) { return false; });
        const QString expectedPath = expected.isEmpty() ? QString() : bin.filePath(expected);

        QCOMPARE(registry.toolPath(), expectedPath);
        QString value = QStringLiteral("before");
        QCOMPARE(about.GetKeyValue(Registry::kLocalMachine, QString::fromLatin1(kToolKey),
                                   QStringLiteral("PATH"), value),
                 !expected.isEmpty());
        QCOMPARE(value, expectedPath);
        value = QStringLiteral("before");
        QCOMPARE(about.GetKeyValue(Registry::kLocalMachine, QString::fromLatin1(kDirKey),
                                   QStringLiteral("MSINFO"), value),
                 !expected.isEmpty());
        QCOMPARE(value, expected.isEmpty() ? QString() : bin.path());
    }

    void systemLayerReadsLikeARegistry() {
        QVERIFY(writeScript(dir_.filePath(QStringLiteral("hardinfo")), "exit 0\n"));
        qputenv("PATH", dir_.path().toUtf8());
        SysInfoRegistry registry;
        const QByteArray path = dir_.filePath(QStringLiteral("hardinfo")).toUtf8();

        Registry::Key key = 0;
        QCOMPARE(registry.openKey(0x80000001u, kToolKey, 0, 0x2003F, &key), Registry::kNotFound);
        QCOMPARE(registry.openKey(Registry::kLocalMachine, "SOFTWARE\\Other", 0, 0x2003F, &key),
                 Registry::kNotFound);
        // Registry names compare without regard to case.
        QCOMPARE(registry.openKey(Registry::kLocalMachine, kToolKey.toLower(), 0, 0x2003F, &key),
                 Registry::kSuccess);

        unsigned char buffer[64] = {};
        std::uint32_t type = 0;
        std::uint32_t size = 4;
        QCOMPARE(registry.queryValue(key, "path", &type, buffer, &size), Registry::kMoreData);
        QCOMPARE(size, static_cast<std::uint32_t>(path.size() + 1));
        QCOMPARE(buffer[0], 0);
        size = sizeof buffer;
        QCOMPARE(registry.queryValue(key, "MSINFO", &type, buffer, &size), Registry::kNotFound);
        QCOMPARE(registry.queryValue(key, "PATH", &type, buffer, &size), Registry::kSuccess);
        QCOMPARE(type, Registry::kTypeString);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(buffer), size), path + '\0');

        QCOMPARE(registry.closeKey(key), Registry::kSuccess);
        QCOMPARE(registry.closeKey(key), Registry::kInvalidHandle);
        QCOMPARE(registry.queryValue(key, "PATH", &type, buffer, &size), Registry::kInvalidHandle);
    }

    // The About box as it ships: the tool found on PATH and really started, or the message.
    void systemLayerStartsTheInstalledTool_data() {
        QTest::addColumn<bool>("installed");
        QTest::newRow("kinfocenter installed") << true;
        QTest::newRow("no tool") << false;
    }

    void systemLayerStartsTheInstalledTool() {
        QFETCH(bool, installed);
        QTemporaryDir bin;
        QVERIFY(bin.isValid());
        const QString marker = bin.filePath(QStringLiteral("kinfocenter-ran"));
        if (installed) {
            QVERIFY(writeScript(bin.filePath(QStringLiteral("kinfocenter")),
                                ": > '" + marker.toUtf8() + "'\n"));
        }
        qputenv("PATH", bin.path().toUtf8());
        frmAbout about;
        MessageLog messages;

        about.cmdSysInfo->click();

        if (installed) {
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marker), kDeadlineMs);
        }
        QCOMPARE(messages.texts(), installed ? QStringList() : QStringList{kUnavailable});
    }

private:
    QTemporaryDir dir_;
    QByteArray savedPath_;
};

QTEST_MAIN(SysInfoTest)
#include "sys_info_test.moc"
