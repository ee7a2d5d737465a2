#include "mainwindow/qsettings_store.h"

#include <QSettings>

namespace mossleaf {

namespace {
const QString kOrganization = QStringLiteral("Mossleaf");

QString path(const QString& section, const QString& key) {
    return section + u'/' + key;
}
}  // namespace

QString QSettingsStore::value(const QString& appName, const QString& section, const QString& key,
                              const QString& defaultValue) {
    const QSettings settings(kOrganization, appName);
    return settings.value(path(section, key), defaultValue).toString();
}

void QSettingsStore::setValue(const QString& appName, const QString& section, const QString& key,
                              const QString& value) {
    QSettings settings(kOrganization, appName);
    settings.setValue(path(section, key), value);
}

}  // namespace mossleaf
