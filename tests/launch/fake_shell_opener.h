#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include "launch/shell_opener.h"

namespace mossleaf {

// Records every target handed to the shell; only the targets in `opens` open.
class FakeShellOpener : public ShellOpener {
public:
    QSet<QString> opens;
    QStringList calls;
    QList<QWidget*> owners;

    bool open(QWidget* owner, const QString& target) override {
        calls << target;
        owners << owner;
        return opens.contains(target);
    }
};

}  // namespace mossleaf
