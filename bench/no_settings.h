#pragma once

#include "mainwindow/settings_store.h"

namespace mossleaf {

// A settings store that always gives the defaults and keeps nothing, so that a benchmark's
// window starts the same every run and leaves the user's settings alone.
class NoSettings : public SettingsStore {
public:
    QString value(const QString&, const QString&, const QString&,
                  const QString& defaultValue) override {
        return defaultValue;
    }
    void setValue(const QString&, const QString&, const QString&, const QString&) override {}
};

}  // namespace mossleaf
