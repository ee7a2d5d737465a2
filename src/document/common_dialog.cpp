#include "document/common_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace {
CommonDialog::Answer& testHandler() {
    static CommonDialog::Answer handler;
    return handler;
}
}  // namespace

CommonDialog::CommonDialog(QWidget* owner) : owner_(owner) {}

bool CommonDialog::ShowOpen() {
    return show(Kind::Open);
}

bool CommonDialog::ShowSave() {
    return show(Kind::Save);
}

void CommonDialog::setTestHandler(Answer handler) {
    testHandler() = std::move(handler);
}

QString CommonDialog::toQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList types;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.endsWith(u'(' + patterns + u')')) {
            types << description;
        } else {
            types << description + QStringLiteral(" (") + patterns + u')';
        }
    }
    return types.join(QStringLiteral(";;"));
}

bool CommonDialog::show(Kind kind) {
    const Request request{kind, DialogTitle, toQtFilter(Filter), FileName};
    QString chosen;
    if (const Answer& handler = testHandler()) {
        chosen = handler(request);
    } else {
        QFileDialog dialog(owner_, request.title);
        dialog.setNameFilter(request.qtFilter);
        if (kind == Kind::Open) {
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
        } else {
            // The name is used as typed (no extension added) and an existing file is
            // replaced without a second question, as the save command promises.
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        }
        if (!request.startPath.isEmpty()) {
            const QFileInfo start(request.startPath);
            dialog.setDirectory(start.absolutePath());
            dialog.selectFile(start.fileName());
        }
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            chosen = dialog.selectedFiles().constFirst();
        }
    }
    if (chosen.isEmpty()) {
        return false;
    }
    FileName = chosen;
    return true;
}
