#include "document/file_commands.h"

#include <QFileInfo>
#include <exception>
#include <new>

#include "document/common_dialog.h"
#include "document/document_view.h"
#include "widgets/local_path.h"
#include "widgets/long_line.h"
#include "widgets/message_box.h"
#include "widgets/qt_text.h"

namespace {
const QString kCrLf = QStringLiteral("\r\n");
const QString kFilter = QStringLiteral("モスリーフデータ(*.txt)|*.txt");
constexpr int kMarkerTitlesListed = 3;

FileCommands::BodyConverter& bodyConverter() {
    static FileCommands::BodyConverter converter;
    return converter;
}

QString bodyForDisplay(std::u16string_view body) {
    const FileCommands::BodyConverter& converter = bodyConverter();
    return converter ? converter(body) : QtText::bodyForDisplay(body);
}

// A path heads each message about its file; a very long one is shortened in the middle.
QString shownPath(const QString& path) {
    return LongLine::forMessage(LocalPath::forDisplay(path));
}

// The folder of `path` with a closing "/", so that the dialog offers no file name in it.
QString folderOf(const QString& path) {
    QString folder = QFileInfo(path).absolutePath();
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return folder;
}
}  // namespace

const QString FileCommands::kMarkerLineHelpSection =
    QStringLiteral("9. アウトラインファイルの形式");

FileCommands::FileCommands(mossleaf::Document& doc, CommonDialog& dialog, DocumentView& view)
    : doc_(doc), dialog_(dialog), view_(view) {}

namespace {
QString withReason(QString text, const QString& reason) {
    if (!reason.isEmpty()) {
        text += kCrLf + reason;
    }
    return text;
}

QString systemReason(const std::string& reason) {
    return QString::fromLocal8Bit(reason.c_str());
}

// The system opens a pipe or a device without complaint; the program refuses it.
QString reasonOf(const mossleaf::LoadOutcome& outcome) {
    return outcome.specialFile
               ? QStringLiteral("パイプや装置などの特殊なファイルは読みこめません。")
               : systemReason(outcome.reason);
}
}  // namespace

QString FileCommands::cannotOpenMessage(const QString& path, const QString& reason) {
    return withReason(shownPath(path) + kCrLf + QStringLiteral("ファイルが開けません。"), reason);
}

QString FileCommands::notOutlineMessage(const QString& path) {
    return shownPath(path) + kCrLf + QStringLiteral("ファイルの形式はツリー形式ではありません。") +
           kCrLf + QStringLiteral("読みこみを中止します。");
}

QString FileCommands::tooManyRecordsMessage(const QString& path) {
    return shownPath(path) + kCrLf +
           QStringLiteral("データが%1件を超えているため、最初の%1件だけを読みこみました。")
               .arg(mossleaf::Document::kMaxRecords) +
           kCrLf + QStringLiteral("元のファイルを守るため、名前を付けて保存してください。");
}

QString FileCommands::savedAsUtf8Message(const QString& path) {
    return shownPath(path) + kCrLf +
           QStringLiteral(
               "シフトJISでは同じ文字として読み戻せないため、UTF-8 形式で保存しました。");
}

QString FileCommands::cannotSaveMessage(const QString& path, const QString& reason) {
    return withReason(shownPath(path) + kCrLf + QStringLiteral("ファイルに保存できません。"),
                      reason);
}

QString FileCommands::changedOnDiskQuestion(const QString& path) {
    return shownPath(path) + kCrLf +
           QStringLiteral(
               "このファイルは、開いたあとか前回保存したあとに、ほかのプログラムで"
               "変更されています。") +
           kCrLf + QStringLiteral("その変更を捨てて、置き換えますか？");
}

QString FileCommands::markerLinesMessage(const QString& path, const QStringList& titles) {
    QStringList named;
    for (const QString& title : titles.mid(0, kMarkerTitlesListed)) {
        named << u'「' + LongLine::forMessage(title) + u'」';
    }
    QString list = named.join(QString());
    if (titles.size() > kMarkerTitlesListed) {
        list += QStringLiteral("ほか %1 件").arg(titles.size() - kMarkerTitlesListed);
    }
    return shownPath(path) + kCrLf +
           QStringLiteral("本文に見出し行（<**********>）で始まる行があるノードがあります：") +
           list + kCrLf +
           QStringLiteral("保存はしましたが、開き直すとその行から別のノードに分かれます。") +
           kCrLf + QStringLiteral("操作説明の「%1」をご覧ください。").arg(kMarkerLineHelpSection);
}

QString FileCommands::noMemoryForBodyMessage(const QString& path) {
    return shownPath(path) + kCrLf + QStringLiteral("メモリが足りないため、本文を表示できません。");
}

QString FileCommands::commandFailedMessage(const QString& path, bool outOfMemory) {
    const QString reason = outOfMemory ? QStringLiteral("メモリが足りないため、")
                                       : QStringLiteral("予期しないエラーのため、");
    const QString text = reason + QStringLiteral("操作を最後まで行えませんでした。");
    return path.isEmpty() ? text : shownPath(path) + kCrLf + text;
}

void FileCommands::setBodyConverterForTest(BodyConverter converter) {
    bodyConverter() = std::move(converter);
}

template <typename Command>
void FileCommands::guarded(Command command) {
    // Qt aborts when an exception leaves a slot: whatever went wrong, the window stays and
    // the user is told.
    pathInWork_.clear();
    try {
        command();
    } catch (const std::exception& error) {
        MessageBox::exclamation(
            view_.viewWindow(),
            commandFailedMessage(pathInWork_, dynamic_cast<const std::bad_alloc*>(&error)));
    }
}

void FileCommands::prepareDialog(const QString& title) {
    dialog_.DialogTitle = title;
    dialog_.Filter = kFilter;
    dialog_.CancelError = false;
}

void FileCommands::mnuFileNew_Click() {
    guarded([this] { ClearDocument(); });
}

void FileCommands::mnuFileOpen_Click() {
    guarded([this] {
        prepareDialog(QStringLiteral("開く"));
        if (!dialog_.ShowOpen()) {
            return;
        }
        const QString path = dialog_.FileName;
        pathInWork_ = path;
        // A file that cannot be opened leaves the Document on screen as it was, and with it
        // its own name, so that a later Save cannot write it over the file the user tried to
        // open.
        const std::string previousName = doc_.CurrentFileName;
        doc_.CurrentFileName = LocalPath::toBytes(path);
        if (LoadDocument(path) == mossleaf::LoadOutcome::Status::CannotOpen) {
            doc_.CurrentFileName = previousName;
        }
    });
}

void FileCommands::mnuFileSave_Click() {
    if (doc_.CurrentFileName.empty()) {
        mnuFileNameSave_Click();
        return;
    }
    guarded([this] {
        const QString path = LocalPath::fromBytes(doc_.CurrentFileName);
        pathInWork_ = path;
        // The toolbar never takes the focus from the body, so store what is typed there first.
        view_.storeShownBody();
        SaveDocument(path);
    });
}

void FileCommands::mnuFileNameSave_Click() {
    guarded([this] {
        prepareDialog(QStringLiteral("名前を付けて保存"));
        if (!dialog_.ShowSave()) {
            return;
        }
        const QString path = dialog_.FileName;
        pathInWork_ = path;
        const std::string previousName = doc_.CurrentFileName;
        doc_.CurrentFileName = LocalPath::toBytes(path);
        view_.storeShownBody();
        if (SaveDocument(path) == mossleaf::SaveOutcome::Status::ChangedOnDisk) {
            doc_.CurrentFileName = previousName;  // declined: nothing happened
        }
    });
}

void FileCommands::mnuFileClose_Click() {
    view_.closeView();
}

void FileCommands::ClearDocument() {
    doc_.ClearDocument();
    view_.clearBody();
}

mossleaf::LoadOutcome::Status FileCommands::LoadDocument(QString path) {
    try {
        return loadAndShow(path);
    } catch (const std::exception& error) {
        // What was read may be only part of the file: it must not be saved under its name.
        doc_.CurrentFileName.clear();
        dialog_.FileName = folderOf(path);
        view_.clearBody();
        MessageBox::exclamation(
            view_.viewWindow(),
            commandFailedMessage(path, dynamic_cast<const std::bad_alloc*>(&error)));
        return mossleaf::LoadOutcome::Status::NotOutline;
    }
}

mossleaf::LoadOutcome::Status FileCommands::loadAndShow(const QString& path) {
    using Status = mossleaf::LoadOutcome::Status;
    const mossleaf::LoadOutcome outcome = mossleaf::LoadDocument(doc_, LocalPath::toBytes(path));
    if (outcome.status == Status::CannotOpen) {
        MessageBox::exclamation(view_.viewWindow(), cannotOpenMessage(path, reasonOf(outcome)));
        return outcome.status;
    }
    if (outcome.status == Status::NotOutline || outcome.status == Status::TooManyRecords) {
        // The file was refused or cut: the save dialog must not offer its name, where Enter
        // would replace it with what is left on screen.
        dialog_.FileName = folderOf(path);
    }
    mossleaf::Document& doc = doc_;
    if (doc.Nodes.Count() >= 1) {
        showFirstBody(path);
    } else {
        view_.clearBody();
    }
    if (doc.Nodes.Count() >= 2) {
        view_.ensureNodeVisible(doc.Nodes(2)->Key);
    }
    if (outcome.status == Status::NotOutline) {
        MessageBox::exclamation(view_.viewWindow(), notOutlineMessage(path));
    } else if (outcome.status == Status::TooManyRecords) {
        MessageBox::exclamation(view_.viewWindow(), tooManyRecordsMessage(path));
    }
    return outcome.status;
}

void FileCommands::showFirstBody(const QString& path) {
    const mossleaf::Document& doc = doc_;
    try {
        view_.showBody(bodyForDisplay(doc.bodyOf(doc.Nodes(1)->Key)));
    } catch (const std::bad_alloc&) {
        // The notebook itself is read; only its first body is too large to show.
        view_.clearBody();
        MessageBox::exclamation(view_.viewWindow(), noMemoryForBodyMessage(path));
    }
}

mossleaf::SaveOutcome::Status FileCommands::SaveDocument(QString path) {
    try {
        return saveAndReport(path);
    } catch (const std::exception& error) {
        MessageBox::exclamation(
            view_.viewWindow(),
            commandFailedMessage(path, dynamic_cast<const std::bad_alloc*>(&error)));
        return mossleaf::SaveOutcome::Status::Failed;
    }
}

mossleaf::SaveOutcome::Status FileCommands::saveAndReport(const QString& path) {
    using Status = mossleaf::SaveOutcome::Status;
    const std::string file = LocalPath::toBytes(path);
    mossleaf::SaveOutcome outcome = mossleaf::SaveDocument(doc_, file);
    if (outcome.status == Status::ChangedOnDisk) {
        if (!MessageBox::askYesNo(view_.viewWindow(), changedOnDiskQuestion(path))) {
            return outcome.status;
        }
        outcome = mossleaf::SaveDocument(doc_, file, true);
    }
    if (outcome.status == Status::Failed) {
        MessageBox::exclamation(view_.viewWindow(),
                                cannotSaveMessage(path, systemReason(outcome.reason)));
        return outcome.status;
    }
    if (outcome.status == Status::SavedAsUtf8) {
        MessageBox::exclamation(view_.viewWindow(), savedAsUtf8Message(path));
    }
    if (!outcome.markerLineKeys.empty()) {
        MessageBox::exclamation(view_.viewWindow(),
                                markerLinesMessage(path, titlesOf(outcome.markerLineKeys)));
    }
    return outcome.status;
}

QStringList FileCommands::titlesOf(const std::vector<std::string>& keys) const {
    QStringList titles;
    for (const std::string& key : keys) {
        if (const mossleaf::Node* node = doc_.Nodes.find(key)) {
            titles << QtText::toQString(node->title());
        }
    }
    return titles;
}
