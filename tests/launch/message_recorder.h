#pragma once

#include <QList>

#include "mainwindow/message_box.h"

// Captures the message boxes shown while it lives.
class MessageRecorder {
public:
    MessageRecorder() {
        MessageBox::setTestHandler([this](const MessageBox::Shown& shown) { shown_ << shown; });
    }
    ~MessageRecorder() { MessageBox::setTestHandler({}); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const QList<MessageBox::Shown>& shown() const { return shown_; }

private:
    QList<MessageBox::Shown> shown_;
};
