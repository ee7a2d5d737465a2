#include "widgets/message_box.h"

#include <QMessageBox>

namespace mossleaf::MessageBox {
namespace {
std::function<void(const Shown&)>& testHandler() {
    static std::function<void(const Shown&)> handler;
    return handler;
}

const QString kTitle = QStringLiteral("Mossleaf");
}  // namespace

void show(QWidget* parent, Icon icon, const QString& text) {
    if (auto& handler = testHandler()) {
        handler(Shown{icon, kTitle, text});
        return;
    }
    QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, kTitle,
                    displayText(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool askYesNo(QWidget* parent, const QString& text) {
    if (auto& handler = testHandler()) {
        handler(Shown{Icon::Exclamation, kTitle, text, true});
        return false;
    }
    QMessageBox box(QMessageBox::Warning, kTitle, displayText(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

void setTestHandler(std::function<void(const Shown&)> handler) {
    testHandler() = std::move(handler);
}

QString displayText(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

}  // namespace mossleaf::MessageBox
