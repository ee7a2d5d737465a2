#include "mainwindow/window_settings.h"

#include <cmath>

#include "mainwindow/settings_store.h"

namespace mossleaf::WindowSettings {

double read(SettingsStore& store, const Key& key) {
    const QString text = store.value(kAppName, kSection, key.name, toText(key.defaultValue));
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : key.defaultValue;
}

void write(SettingsStore& store, const Key& key, double twips) {
    store.setValue(kAppName, kSection, key.name, toText(twips));
}

QString toText(double twips) {
    // Beyond 2^53 every double is whole, and beyond long long it could not be cast.
    const double whole = std::round(twips);
    if (std::abs(whole) < 0x1p53 && std::abs(twips - whole) < 1e-6) {
        return QString::number(static_cast<long long>(whole));
    }
    return QString::number(twips, 'g', 7);
}

}  // namespace mossleaf::WindowSettings
