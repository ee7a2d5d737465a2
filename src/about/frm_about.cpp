#include "about/frm_about.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <cstring>

#include "about/sysinfo_registry.h"
#include "mossleaf_version.h"
#include "widgets/app_icon.h"
#include "widgets/message_box.h"

namespace mossleaf {

const QString frmAbout::kCaption = QStringLiteral("Mossleaf のﾊﾞｰｼﾞｮﾝ情報");
const QString frmAbout::kDescription = QStringLiteral("ツリー形式　テキストデータ　管理ツール");
const QString frmAbout::kDisclaimer =
    QStringLiteral("本ソフトウェアは無保証です。ご利用は各自の責任でお願いします。");
const QString frmAbout::kSysInfoUnavailable = QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません");

namespace {

const QString kAppTitle = QStringLiteral("Mossleaf");

const QString kToolPathKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kToolPathValue = QStringLiteral("PATH");
const QString kToolDirKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kToolDirValue = QStringLiteral("MSINFO");
const QString kToolFileName = QStringLiteral("/MSINFO32.EXE");

constexpr std::uint32_t kOpenOptions = 0;
constexpr std::uint32_t kOpenAccess = 0x2003F;
constexpr std::uint32_t kBufferSize = 1024;

bool startDetached(const QString& path) {
    return QProcess::startDetached(path, {});
}

QFrame* separatorLine(QWidget* parent, const QColor& color, int height) {
    auto* line = new QFrame(parent);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::NoFrame);
    line->setFixedHeight(height);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, color);
    line->setPalette(palette);
    return line;
}

// Closes the open key whichever way GetKeyValue leaves.
class KeyCloser {
public:
    KeyCloser(RegistryReader& registry, Registry::Key key) : registry_(registry), key_(key) {}
    ~KeyCloser() { registry_.closeKey(key_); }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;

private:
    RegistryReader& registry_;
    Registry::Key key_;
};

}  // namespace

frmAbout::frmAbout(QWidget* owner, RegistryReader* registry, ProgramStarter starter)
    : QDialog(owner), registry_(registry), starter_(std::move(starter)) {
    if (registry_ == nullptr) {
        ownRegistry_ = std::make_unique<SysInfoRegistry>();
        registry_ = ownRegistry_.get();
    }
    if (!starter_) {
        starter_ = startDetached;
    }
    buildControls();
    Form_Load();
}

frmAbout::~frmAbout() = default;

void frmAbout::buildControls() {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(kCaption);
    setWindowIcon(mossleafIcon());
    setModal(true);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    // Drawn at the screen's pixel density, so that it is as sharp as the text beside it.
    picIcon->setPixmap(mossleafIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
    picIcon->setFixedSize(32, 32);

    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    lblDescription = new QLabel(kDescription, this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));

    // An etched rule: a grey line over a white one twice as thick.
    Line1[0] = separatorLine(this, QColor(128, 128, 128), 1);
    Line1[1] = separatorLine(this, QColor(255, 255, 255), 2);

    lblDisclaimer = new QLabel(kDisclaimer, this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    cmdSysInfo = new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    for (QLabel* label : {lblTitle, lblVersion, lblDescription, lblDisclaimer}) {
        label->setTextFormat(Qt::PlainText);
    }

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addWidget(lblDescription);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto* rule = new QVBoxLayout;
    rule->setSpacing(0);
    rule->addWidget(Line1[0]);
    rule->addWidget(Line1[1]);

    auto* bottom = new QGridLayout;
    bottom->setHorizontalSpacing(24);
    bottom->addWidget(lblDisclaimer, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
    bottom->addWidget(cmdOK, 0, 1);
    bottom->addWidget(cmdSysInfo, 1, 1);
    bottom->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    layout->addLayout(top);
    layout->addLayout(rule);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
}

void frmAbout::Form_Load() {
    lblVersion->setText(QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3")
                            .arg(kVersionMajor)
                            .arg(kVersionMinor)
                            .arg(kVersionPatch));
    lblTitle->setText(kAppTitle);
}

void frmAbout::cmdOK_Click() {
    accept();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::StartSysInfo() {
    try {
        QString toolPath;
        bool found = false;
        if (GetKeyValue(Registry::kLocalMachine, kToolPathKey, kToolPathValue, toolPath)) {
            // A path read from the registry is used as it stands; starting it tells.
            found = true;
        } else if (GetKeyValue(Registry::kLocalMachine, kToolDirKey, kToolDirValue, toolPath)) {
            if (QFileInfo(toolPath + kToolFileName).isFile()) {
                toolPath += kToolFileName;
                found = true;
            }
        }
        if (found && starter_(toolPath)) {
            return;
        }
    } catch (const std::exception&) {
        // Whatever went wrong, the user learns only that the tool is not available.
    }
    MessageBox::show(this, MessageBox::Icon::None, kSysInfoUnavailable);
}

bool frmAbout::GetKeyValue(Registry::Key KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                           QString& KeyVal) {
    Registry::Key key = 0;
    if (registry_->openKey(KeyRoot, KeyName.toLocal8Bit(), kOpenOptions, kOpenAccess, &key) !=
        Registry::kSuccess) {
        KeyVal.clear();
        return false;
    }
    const KeyCloser closer(*registry_, key);

    std::array<unsigned char, kBufferSize> buffer{};
    std::uint32_t size = kBufferSize;
    std::uint32_t type = 0;
    if (registry_->queryValue(key, SubKeyRef.toLocal8Bit(), &type, buffer.data(), &size) !=
        Registry::kSuccess) {
        KeyVal.clear();
        return false;
    }

    const auto* begin = reinterpret_cast<const char*>(buffer.data());
    const void* end = std::memchr(begin, 0, buffer.size());
    if (end == nullptr) {
        throw ValueWithoutEnd();
    }
    const QByteArray text(begin, static_cast<const char*>(end) - begin);

    if (type == Registry::kTypeString) {
        KeyVal = QString::fromLocal8Bit(text);
    } else if (type == Registry::kTypeNumber) {
        // The number's bytes stand least significant first, as the registry stores them.
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) {
            number = (number << 8) | buffer[static_cast<std::size_t>(i)];
        }
        KeyVal = QStringLiteral("&h") + QString::number(number, 16).toUpper();
    }
    return true;
}

}  // namespace mossleaf
