#include "document/file_commands.h"

#include <QFile>

#include "document/common_dialog.h"
#include "editing/body_edit.h"
#include "editing/outline_tree.h"
#include "editing/qt_text.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/message_box.h"

namespace {
const QString kCrLf = QStringLiteral("\r\n");
const QString kFilter = QStringLiteral("モスリーフデータ(*.txt)|*.txt");

std::string toLocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString fromLocalPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
}  // namespace

FileCommands::FileCommands(frmMain& form) : form_(form) {}

QString FileCommands::cannotOpenMessage(const QString& path) {
    return path + kCrLf + QStringLiteral("ファイルが開けません。");
}

QString FileCommands::notOutlineMessage(const QString& path) {
    return path + kCrLf + QStringLiteral("ファイルの形式はツリー形式ではありません。") + kCrLf +
           QStringLiteral("読みこみを中止します。");
}

QString FileCommands::tooManyRecordsMessage(const QString& path) {
    return path + kCrLf +
           QStringLiteral("データが%1件を超えているため、最初の%1件だけを読みこみました。")
               .arg(mossleaf::Document::MaxRecords) +
           kCrLf + QStringLiteral("元のファイルを守るため、名前を付けて保存してください。");
}

QString FileCommands::savedAsUtf8Message(const QString& path) {
    return path + kCrLf +
           QStringLiteral("シフトJISで表せない文字があるため、UTF-8 形式で保存しました。");
}

QString FileCommands::cannotSaveMessage(const QString& path, const QString& reason) {
    QString text = path + kCrLf + QStringLiteral("ファイルに保存できません。");
    if (!reason.isEmpty()) {
        text += kCrLf + reason;
    }
    return text;
}

void FileCommands::prepareDialog(const QString& title) {
    CommonDialog& dialog = *form_.dlgCommonDialog;
    dialog.DialogTitle = title;
    dialog.Filter = kFilter;
    dialog.CancelError = false;
}

void FileCommands::mnuFileNew_Click() {
    form_.ClearDocument();
}

void FileCommands::mnuFileOpen_Click() {
    prepareDialog(QStringLiteral("開く"));
    if (!form_.dlgCommonDialog->ShowOpen()) {
        return;
    }
    const QString path = form_.dlgCommonDialog->FileName;
    // A file that cannot be opened leaves the Document on screen as it was, and with it its
    // own name, so that a later Save cannot write it over the file the user tried to open.
    const std::string previousName = form_.Doc.CurrentFileName;
    form_.Doc.CurrentFileName = toLocalPath(path);
    if (LoadDocument(path) == mossleaf::LoadOutcome::Status::CannotOpen) {
        form_.Doc.CurrentFileName = previousName;
    }
}

void FileCommands::mnuFileSave_Click() {
    if (form_.Doc.CurrentFileName.empty()) {
        mnuFileNameSave_Click();
        return;
    }
    // The toolbar never takes the focus from the body, so store what is typed there first.
    form_.StoreBody();
    SaveDocument(fromLocalPath(form_.Doc.CurrentFileName));
}

void FileCommands::mnuFileNameSave_Click() {
    prepareDialog(QStringLiteral("名前を付けて保存"));
    if (!form_.dlgCommonDialog->ShowSave()) {
        return;
    }
    const QString path = form_.dlgCommonDialog->FileName;
    form_.Doc.CurrentFileName = toLocalPath(path);
    form_.StoreBody();
    SaveDocument(path);
}

void FileCommands::mnuFileClose_Click() {
    form_.close();
}

void FileCommands::ClearDocument() {
    form_.Doc.ClearDocument();
    form_.Text2->clear();
}

mossleaf::LoadOutcome::Status FileCommands::LoadDocument(const QString& path) {
    using Status = mossleaf::LoadOutcome::Status;
    const mossleaf::LoadOutcome outcome = form_.Doc.LoadDocument(toLocalPath(path));
    if (outcome.status == Status::CannotOpen) {
        MessageBox::exclamation(&form_, cannotOpenMessage(path));
        return outcome.status;
    }
    mossleaf::Document& doc = form_.Doc;
    if (doc.Nodes.Count() >= 1) {
        form_.Text2->setPlainText(QtText::bodyForDisplay(doc.bodyOf(doc.Nodes(1)->Key)));
    } else {
        form_.Text2->clear();
    }
    if (doc.Nodes.Count() >= 2) {
        form_.TreeView1->EnsureVisible(doc.Nodes(2)->Key);
    }
    if (outcome.status == Status::NotOutline) {
        MessageBox::exclamation(&form_, notOutlineMessage(path));
    } else if (outcome.status == Status::TooManyRecords) {
        MessageBox::exclamation(&form_, tooManyRecordsMessage(path));
    }
    return outcome.status;
}

mossleaf::SaveOutcome::Status FileCommands::SaveDocument(const QString& path) {
    using Status = mossleaf::SaveOutcome::Status;
    const mossleaf::SaveOutcome outcome = form_.Doc.SaveDocument(toLocalPath(path));
    if (outcome.status == Status::Failed) {
        MessageBox::exclamation(
            &form_, cannotSaveMessage(path, QString::fromLocal8Bit(outcome.reason.c_str())));
    } else if (outcome.status == Status::SavedAsUtf8) {
        MessageBox::exclamation(&form_, savedAsUtf8Message(path));
    }
    return outcome.status;
}
