#pragma once

#include <QString>

namespace mossleaf {

// The per-user settings store: values grouped by application, section and key, read back as
// written. Stands in for the Windows registry's per-application settings.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString value(const QString& appName, const QString& section, const QString& key,
                          const QString& defaultValue) = 0;
    virtual void setValue(const QString& appName, const QString& section, const QString& key,
                          const QString& value) = 0;
};

}  // namespace mossleaf
