#include "document/common_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include "document/file_dialog_columns.h"
#include "widgets/local_path.h"

namespace mossleaf {

namespace {
CommonDialog::Answer& testHandler() {
    static CommonDialog::Answer handler;
    return handler;
}

// Qt's open dialog refuses, as "not found" in its own words, a file whose name is not UTF-8
// (it cannot name it) and an entry it cannot follow (a link loop, a dangling link). Such an
// entry is taken, so that opening it says in the program's words why it cannot be read.
class ByteNameFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList files = selectedFiles();
        if (acceptMode() == AcceptOpen && files.size() == 1 && !QFileInfo::exists(files[0]) &&
            LocalPath::exists(LocalPath::fromQtName(files[0]))) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};
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
        chosen = showQtDialog(request);
    }
    if (chosen.isEmpty()) {
        return false;
    }
    FileName = chosen;
    return true;
}

QString CommonDialog::showQtDialog(const Request& request) {
    ByteNameFileDialog dialog(owner_, request.title);
    FileDialogColumns::fitWhenRead(dialog);
    dialog.setNameFilter(request.qtFilter);
    if (request.kind == Kind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // The name is used as typed (no extension added). Qt asks before an existing file is
        // replaced: Enter on the offered name must not wipe out a notebook.
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (!request.startPath.isEmpty()) {
        // A path that ends with "/" names a folder only: the dialog offers no file name.
        const QFileInfo start(LocalPath::toQtName(request.startPath));
        dialog.setDirectory(start.absolutePath());
        if (!start.fileName().isEmpty()) {
            dialog.selectFile(start.fileName());
        }
    }
    FileDialogColumns::sizeForColumns(dialog);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return {};
        }
        const QString shown = dialog.selectedFiles().constFirst();
        const QString chosen = LocalPath::fromQtName(shown);
        // Qt did not see that the file exists (its name is not UTF-8), so it did not ask.
        if (request.kind == Kind::Open || chosen == shown || !LocalPath::exists(chosen) ||
            confirmReplace(&dialog, chosen)) {
            return chosen;
        }
    }
}

bool CommonDialog::confirmReplace(QWidget* parent, const QString& path) {
    const QString name = LocalPath::forDisplay(path).section(QLatin1Char('/'), -1);
    return QMessageBox::warning(parent, parent->windowTitle(),
                                QStringLiteral("%1 は既にあります。\n置き換えますか？").arg(name),
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace mossleaf
