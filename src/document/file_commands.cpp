#include "document/file_commands.h"

#include <QFileInfo>
#include <exception>
#include <new>
#include <optional>
#include <utility>

#include "document/common_dialog.h"
#include "document/document_view.h"
#include "widgets/local_path.h"
#include "widgets/long_line.h"
#include "widgets/message_box.h"
#include "widgets/qt_text.h"

namespace mossleaf {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
const QString kFilter = QStringLiteral("モスリーフデータ(*.txt)|*.txt");
constexpr int kMarkerTitlesListed = 3;

// The folder of `path` with a closing "/", so that the dialog offers no file name in it.
QString folderOf(const QString& path) {
    QString folder = QFileInfo(path).absolutePath();
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return folder;
}
}  // namespace

// The file a command works on. Its path heads each message about it, in the form shownPath
// gives, which is worked out once, and only when a message needs it.
class FileCommands::File {
public:
    File() = default;
    explicit File(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }
    const QString& shown() const {
        if (!shown_) {
            shown_ = shownPath(path_);
        }
        return *shown_;
    }

private:
    QString path_;
    mutable std::optional<QString> shown_;
};

const QString FileCommands::kMarkerLineHelpSection =
    QStringLiteral("9. アウトラインファイルの形式");

FileCommands::FileCommands(Document& doc, CommonDialog& dialog, DocumentView& view)
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
QString reasonOf(const LoadOutcome& outcome) {
    return outcome.specialFile
               ? QStringLiteral("パイプや装置などの特殊なファイルは読みこめません。")
               : systemReason(outcome.reason);
}
}  // namespace

// A very long path is shortened in the middle.
QString FileCommands::shownPath(const QString& path) {
    return LongLine::forMessage(LocalPath::forDisplay(path));
}

QString FileCommands::cannotOpenMessage(const QString& shown, const QString& reason) {
    return withReason(shown + kCrLf + QStringLiteral("ファイルが開けません。"), reason);
}

QString FileCommands::notOutlineMessage(const QString& shown) {
    return shown + kCrLf + QStringLiteral("ファイルの形式はツリー形式ではありません。") + kCrLf +
           QStringLiteral("読みこみを中止します。");
}

QString FileCommands::tooManyRecordsMessage(const QString& shown) {
    return shown + kCrLf +
           QStringLiteral("データが%1件を超えているため、最初の%1件だけを読みこみました。")
               .arg(Document::kMaxRecords) +
           kCrLf + QStringLiteral("元のファイルを守るため、名前を付けて保存してください。");
}

QString FileCommands::savedAsUtf8Message(const QString& shown) {
    return shown + kCrLf +
           QStringLiteral(
               "シフトJISでは同じ文字として読み戻せないため、UTF-8 形式で保存しました。");
}

QString FileCommands::cannotSaveMessage(const QString& shown, const QString& reason) {
    return withReason(shown + kCrLf + QStringLiteral("ファイルに保存できません。"), reason);
}

QString FileCommands::changedOnDiskQuestion(const QString& shown) {
    return shown + kCrLf +
           QStringLiteral(
               "このファイルは、開いたあとか前回保存したあとに、ほかのプログラムで"
               "変更されています。") +
           kCrLf + QStringLiteral("その変更を捨てて、置き換えますか？");
}

QString FileCommands::markerLinesMessage(const QString& shown, const QStringList& titles) {
    QStringList named;
    for (const QString& title : titles.mid(0, kMarkerTitlesListed)) {
        named << u'「' + LongLine::forMessage(title) + u'」';
    }
    QString list = named.join(QString());
    if (titles.size() > kMarkerTitlesListed) {
        list += QStringLiteral("ほか %1 件").arg(titles.size() - kMarkerTitlesListed);
    }
    return shown + kCrLf +
           QStringLiteral("本文に見出し行（<**********>）で始まる行があるノードがあります：") +
           list + kCrLf +
           QStringLiteral("保存はしましたが、開き直すとその行から別のノードに分かれます。") +
           kCrLf + QStringLiteral("操作説明の「%1」をご覧ください。").arg(kMarkerLineHelpSection);
}

QString FileCommands::noMemoryForBodyMessage(const QString& shown) {
    return shown + kCrLf + QStringLiteral("メモリが足りないため、本文を表示できません。");
}

QString FileCommands::commandFailedMessage(const QString& shown, bool outOfMemory) {
    const QString reason = outOfMemory ? QStringLiteral("メモリが足りないため、")
                                       : QStringLiteral("予期しないエラーのため、");
    const QString text = reason + QStringLiteral("操作を最後まで行えませんでした。");
    return shown.isEmpty() ? text : shown + kCrLf + text;
}

template <typename Command, typename PutBack>
void FileCommands::guarded(const File& file, Command command, PutBack putBack) {
    // Qt aborts when an exception leaves a slot: whatever went wrong, the window stays and
    // the user is told, once `putBack` has made it safe to go on. `file` is read only then: a
    // command names its file once the user has chosen it.
    try {
        command();
    } catch (const std::exception& error) {
        putBack();
        MessageBox::exclamation(
            view_.viewWindow(),
            commandFailedMessage(file.shown(), dynamic_cast<const std::bad_alloc*>(&error)));
    }
}

template <typename Command>
void FileCommands::guarded(const File& file, Command command) {
    guarded(file, command, [] {});
}

void FileCommands::prepareDialog(const QString& title) {
    dialog_.DialogTitle = title;
    dialog_.Filter = kFilter;
    dialog_.CancelError = false;
}

void FileCommands::mnuFileNew_Click() {
    guarded(File(), [this] { ClearDocument(); });
}

void FileCommands::mnuFileOpen_Click() {
    File file;
    guarded(file, [this, &file] {
        prepareDialog(QStringLiteral("開く"));
        if (!dialog_.ShowOpen()) {
            return;
        }
        file = File(dialog_.FileName);
        // A file that cannot be opened leaves the Document on screen as it was, and with it
        // its own name, so that a later Save cannot write it over the file the user tried to
        // open.
        const std::string previousName = doc_.CurrentFileName;
        doc_.CurrentFileName = LocalPath::toBytes(file.path());
        if (load(file) == LoadOutcome::Status::CannotOpen) {
            doc_.CurrentFileName = previousName;
        }
    });
}

void FileCommands::mnuFileSave_Click() {
    if (doc_.CurrentFileName.empty()) {
        mnuFileNameSave_Click();
        return;
    }
    File file;
    guarded(file, [this, &file] {
        file = File(LocalPath::fromBytes(doc_.CurrentFileName));
        // The toolbar never takes the focus from the body, so store what is typed there first.
        view_.storeShownBody();
        save(file);
    });
}

void FileCommands::mnuFileNameSave_Click() {
    File file;
    guarded(file, [this, &file] {
        prepareDialog(QStringLiteral("名前を付けて保存"));
        if (!dialog_.ShowSave()) {
            return;
        }
        file = File(dialog_.FileName);
        const std::string previousName = doc_.CurrentFileName;
        doc_.CurrentFileName = LocalPath::toBytes(file.path());
        view_.storeShownBody();
        if (save(file) == SaveOutcome::Status::ChangedOnDisk) {
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

void FileCommands::readAhead(std::unique_ptr<OutlineReadAhead> ahead) {
    readAhead_ = std::move(ahead);
}

LoadOutcome::Status FileCommands::LoadDocument(QString path) {
    return load(File(std::move(path)));
}

LoadOutcome::Status FileCommands::load(const File& file) {
    auto status = LoadOutcome::Status::NotOutline;
    guarded(
        file, [&] { status = loadAndShow(file); },
        [&] {
            // What was read may be only part of the file: it must not be saved under its name.
            doc_.CurrentFileName.clear();
            dialog_.FileName = folderOf(file.path());
            view_.clearBody();
        });
    return status;
}

LoadOutcome::Status FileCommands::loadAndShow(const File& file) {
    using Status = LoadOutcome::Status;
    const std::string path = LocalPath::toBytes(file.path());
    const std::unique_ptr<OutlineReadAhead> ahead = std::move(readAhead_);
    const LoadOutcome outcome =
        ahead ? ahead->load(doc_, path) : mossleaf::LoadDocument(doc_, path);
    if (outcome.status == Status::CannotOpen) {
        MessageBox::exclamation(view_.viewWindow(),
                                cannotOpenMessage(file.shown(), reasonOf(outcome)));
        return outcome.status;
    }
    if (outcome.status == Status::NotOutline || outcome.status == Status::TooManyRecords) {
        // The file was refused or cut: the save dialog must not offer its name, where Enter
        // would replace it with what is left on screen.
        dialog_.FileName = folderOf(file.path());
    }
    if (doc_.Nodes.Count() >= 1) {
        showFirstBody(file);
    } else {
        view_.clearBody();
    }
    if (doc_.Nodes.Count() >= 2) {
        view_.ensureNodeVisible(doc_.Nodes(2)->Key);
    }
    if (outcome.status == Status::NotOutline) {
        MessageBox::exclamation(view_.viewWindow(), notOutlineMessage(file.shown()));
    } else if (outcome.status == Status::TooManyRecords) {
        MessageBox::exclamation(view_.viewWindow(), tooManyRecordsMessage(file.shown()));
    }
    return outcome.status;
}

void FileCommands::showFirstBody(const File& file) {
    try {
        view_.showBody(QtText::bodyForDisplay(doc_.bodyOf(doc_.Nodes(1)->Key)));
    } catch (const std::bad_alloc&) {
        // The notebook itself is read; only its first body is too large to show.
        view_.clearBody();
        MessageBox::exclamation(view_.viewWindow(), noMemoryForBodyMessage(file.shown()));
    }
}

SaveOutcome::Status FileCommands::SaveDocument(QString path) {
    return save(File(std::move(path)));
}

SaveOutcome::Status FileCommands::save(const File& file) {
    auto status = SaveOutcome::Status::Failed;
    guarded(file, [&] { status = saveAndReport(file); });
    return status;
}

SaveOutcome::Status FileCommands::saveAndReport(const File& file) {
    using Status = SaveOutcome::Status;
    const std::string bytes = LocalPath::toBytes(file.path());
    SaveOutcome outcome = mossleaf::SaveDocument(doc_, bytes);
    if (outcome.status == Status::ChangedOnDisk) {
        if (!MessageBox::askYesNo(view_.viewWindow(), changedOnDiskQuestion(file.shown()))) {
            return outcome.status;
        }
        outcome = mossleaf::SaveDocument(doc_, bytes, true);
    }
    if (outcome.status == Status::Failed) {
        MessageBox::exclamation(view_.viewWindow(),
                                cannotSaveMessage(file.shown(), systemReason(outcome.reason)));
        return outcome.status;
    }
    if (outcome.status == Status::SavedAsUtf8) {
        MessageBox::exclamation(view_.viewWindow(), savedAsUtf8Message(file.shown()));
    }
    if (!outcome.markerLineKeys.empty()) {
        MessageBox::exclamation(view_.viewWindow(),
                                markerLinesMessage(file.shown(), titlesOf(outcome.markerLineKeys)));
    }
    return outcome.status;
}

QStringList FileCommands::titlesOf(const std::vector<std::string>& keys) const {
    QStringList titles;
    for (const std::string& key : keys) {
        if (const Node* node = doc_.Nodes.find(key)) {
            titles << QtText::toQString(node->title());
        }
    }
    return titles;
}

}  // namespace mossleaf
