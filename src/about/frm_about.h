#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <stdexcept>

#include "about/registry_reader.h"

class QFrame;
class QLabel;
class QPushButton;

namespace mossleaf {

// The About box: title, version, description, a product notice and a button that starts the
// system's information tool. It is created afresh for every showing and keeps no state.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    // Starts a program from its full path without waiting for it; false when it cannot.
    using ProgramStarter = std::function<bool(const QString& path)>;

    // Raised by GetKeyValue when the value read fills the whole buffer without a NUL.
    struct ValueWithoutEnd : std::runtime_error {
        ValueWithoutEnd() : std::runtime_error("registry value without a terminating NUL") {}
    };

    // The registry and the starter default to this system's; tests pass their own.
    explicit frmAbout(QWidget* owner = nullptr, RegistryReader* registry = nullptr,
                      ProgramStarter starter = {});
    ~frmAbout() override;

    // Starts the system-information tool, or says that there is none.
    void StartSysInfo();

    // Reads the value `SubKeyRef` of the key `KeyName` under `KeyRoot` into `KeyVal`: a
    // string as it is, a number as "&h" and hexadecimal digits, any other type leaves
    // `KeyVal` alone. False, with `KeyVal` emptied, when the key or value cannot be read.
    bool GetKeyValue(Registry::Key KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                     QString& KeyVal);

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QFrame* Line1[2] = {nullptr, nullptr};
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

    static const QString kCaption;
    static const QString kDescription;
    static const QString kDisclaimer;
    static const QString kSysInfoUnavailable;

private:
    void buildControls();
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    std::unique_ptr<RegistryReader> ownRegistry_;
    RegistryReader* registry_ = nullptr;
    ProgramStarter starter_;
};

}  // namespace mossleaf
