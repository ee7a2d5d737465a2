#pragma once

#include <QList>
#include <QStringList>

#include "widgets/message_box.h"

namespace mossleaf {

// Captures the message boxes shown while it lives.
class MessageLog {
public:
    MessageLog() {
        MessageBox::setTestHandler([this](const MessageBox::Shown& shown) { shown_ << shown; });
    }
    ~MessageLog() { MessageBox::setTestHandler({}); }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    const QList<MessageBox::Shown>& shown() const { return shown_; }
    QStringList texts() const {
        QStringList list;
        for (const auto& s : shown_) {
            list << s.text;
        }
        return list;
    }

private:
    QList<MessageBox::Shown> shown_;
};

}  // namespace mossleaf
