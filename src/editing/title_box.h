#pragma once

#include <QLineEdit>

// Text1: the one-line title box of the popup's New node and Rename commands. Every key press
// that produces a character is offered to KeyPress first (Enter as 13); a handler that sets
// the code to 0 keeps the box from seeing the key.
class TitleBox : public QLineEdit {
    Q_OBJECT

public:
    explicit TitleBox(QWidget* parent);

signals:
    void KeyPress(int& keyAscii);
    void LostFocus();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
