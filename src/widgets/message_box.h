#pragma once

#include <QString>
#include <functional>

class QWidget;

// Every message the program shows goes through here, so tests can record them instead of
// blocking on a modal box. Texts are kept exactly as given (CR, CR LF or LF between lines);
// only the box on screen shows each of them as a line break.
namespace mossleaf::MessageBox {

enum class Icon { None, Exclamation };

struct Shown {
    Icon icon;
    QString title;
    QString text;
    bool question = false;  // asked with Yes and No
};

// Shows a modal box titled "Mossleaf" with one OK button.
void show(QWidget* parent, Icon icon, const QString& text);
inline void exclamation(QWidget* parent, const QString& text) {
    show(parent, Icon::Exclamation, text);
}

// Asks a question that may cost the user's work: a modal box titled "Mossleaf" with the
// exclamation icon, Yes and No, and No as the answer Enter gives. True for Yes.
bool askYesNo(QWidget* parent, const QString& text);

// While set, boxes are handed to the handler and not shown, and questions get No. Pass {}
// to restore.
void setTestHandler(std::function<void(const Shown&)> handler);

// Line breaks as the box shows them: CR LF, lone CR and lone LF each become one LF.
QString displayText(const QString& text);

}  // namespace mossleaf::MessageBox
