#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace mossleaf {

// dlgCommonDialog: the window's one file dialog control. The caller sets the title and the
// filter ("description|pattern|description|pattern...") and shows the open or save dialog,
// which starts from FileName.
//
// FileName holds a path in LocalPath's lossless form (widgets/local_path.h); a path that
// ends with "/" starts the dialog in that folder with no file name offered.
//
// Cancelling leaves FileName as it was, so the next dialog still starts from the last path
// used; Show* then returns false and the caller changes nothing.
class CommonDialog {
public:
    enum class Kind { Open, Save };

    // What a dialog was asked to show; a test handler answers it instead of the user.
    struct Request {
        Kind kind;
        QString title;
        QString qtFilter;   // the filter as the Qt dialog gets it
        QString startPath;  // FileName at the time of showing
    };
    // The chosen path, or an empty text for cancel.
    using Answer = std::function<QString(const Request&)>;

    explicit CommonDialog(QWidget* owner);

    QString FileName;
    QString DialogTitle;
    QString Filter;
    bool CancelError = false;  // kept for its name's sake: cancelling never raises an error

    // True when the user chose a file; FileName then holds it.
    bool ShowOpen();
    bool ShowSave();

    // While set, dialogs are answered by the handler and not shown. Pass {} to restore.
    static void setTestHandler(Answer handler);

    // "desc|pattern|desc|pattern" as Qt's "desc (pattern);;desc (pattern)"; a description
    // that already ends with its pattern in parentheses is used as it is.
    static QString toQtFilter(const QString& filter);

private:
    bool show(Kind kind);
    QString showQtDialog(const Request& request);
    static bool confirmReplace(QWidget* parent, const QString& path);

    QWidget* owner_;
};

}  // namespace mossleaf
