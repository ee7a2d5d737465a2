#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/outline_read_ahead.h"
#include "core/outline_reader.h"
#include "core/outline_save.h"

namespace mossleaf {

class CommonDialog;
class DocumentView;

// New, Open, Save, Save As and Close, and the window's side of loading, saving and clearing
// the Document: what the view shows afterwards and the messages to show. Paths are QStrings in
// LocalPath's lossless form (widgets/local_path.h). No exception leaves a command: it ends
// in a message instead.
class FileCommands {
public:
    FileCommands(Document& doc, CommonDialog& dialog, DocumentView& view);

    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileNameSave_Click();
    void mnuFileClose_Click();

    void ClearDocument();
    // The path is taken by value: callers pass the dialog's FileName, which a load changes.
    LoadOutcome::Status LoadDocument(QString path);
    // The command line's notebook, being read already: the first load takes it.
    void readAhead(std::unique_ptr<OutlineReadAhead> ahead);
    SaveOutcome::Status SaveDocument(QString path);

    // The texts of the messages, headed by the file's path as `shownPath` gives it; the
    // system's reason, when known, on a line of its own.
    static QString shownPath(const QString& path);
    static QString cannotOpenMessage(const QString& shown, const QString& reason = {});
    static QString notOutlineMessage(const QString& shown);
    static QString tooManyRecordsMessage(const QString& shown);
    static QString savedAsUtf8Message(const QString& shown);
    static QString cannotSaveMessage(const QString& shown, const QString& reason);
    // Asks whether to write over a file that another program changed since it was read or
    // saved here.
    static QString changedOnDiskQuestion(const QString& shown);
    // The notes saved with a body line that reads back as a record header, named by title.
    static QString markerLinesMessage(const QString& shown, const QStringList& titles);
    static QString noMemoryForBodyMessage(const QString& shown);
    // A command stopped by an exception; `shown` is empty when no file was chosen yet.
    static QString commandFailedMessage(const QString& shown, bool outOfMemory);

    // The manual's section that explains body lines that look like record headers.
    static const QString kMarkerLineHelpSection;

private:
    class File;

    template <typename Command, typename PutBack>
    void guarded(const File& file, Command command, PutBack putBack);
    template <typename Command>
    void guarded(const File& file, Command command);
    void prepareDialog(const QString& title);
    LoadOutcome::Status load(const File& file);
    LoadOutcome::Status loadAndShow(const File& file);
    void showFirstBody(const File& file);
    SaveOutcome::Status save(const File& file);
    SaveOutcome::Status saveAndReport(const File& file);
    QStringList titlesOf(const std::vector<std::string>& keys) const;

    Document& doc_;
    CommonDialog& dialog_;
    DocumentView& view_;
    std::unique_ptr<OutlineReadAhead> readAhead_;
};

}  // namespace mossleaf
