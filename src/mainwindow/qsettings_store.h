#pragma once

#include "mainwindow/settings_store.h"

namespace mossleaf {

// The settings store on this desktop: QSettings of the organization "Mossleaf" and the given
// application name, one group per section (~/.config/Mossleaf/Mossleaf.conf on Linux).
class QSettingsStore : public SettingsStore {
public:
    QString value(const QString& appName, const QString& section, const QString& key,
                  const QString& defaultValue) override;
    void setValue(const QString& appName, const QString& section, const QString& key,
                  const QString& value) override;
};

}  // namespace mossleaf
