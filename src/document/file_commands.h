#pragma once

#include <QString>

#include "document/document.h"

class frmMain;

// New, Open, Save, Save As and Close, and the window's side of loading, saving and clearing
// the Document: the widgets to refresh and the messages to show.
class FileCommands {
public:
    explicit FileCommands(frmMain& form);

    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileNameSave_Click();
    void mnuFileClose_Click();

    void ClearDocument();
    mossleaf::LoadOutcome::Status LoadDocument(const QString& path);
    mossleaf::SaveOutcome::Status SaveDocument(const QString& path);

    // The texts of the messages, path first.
    static QString cannotOpenMessage(const QString& path);
    static QString notOutlineMessage(const QString& path);
    static QString tooManyRecordsMessage(const QString& path);
    static QString savedAsUtf8Message(const QString& path);
    static QString cannotSaveMessage(const QString& path, const QString& reason);

private:
    void prepareDialog(const QString& title);

    frmMain& form_;
};
