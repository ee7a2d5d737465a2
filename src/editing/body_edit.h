#pragma once

#include <QPlainTextEdit>

// Text2: the body of the current node. It leaves the window's Ctrl+C and Ctrl+N to the
// window, so that they run their commands while the text has the focus. A body with a long
// stretch that cannot break is wrapped anywhere (see BodyLayout), so that it shows at once.
class BodyEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit BodyEdit(QWidget* parent);

signals:
    void LostFocus();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QTextOption::WrapMode normalWrap_;
};
