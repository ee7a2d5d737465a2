#pragma once

#include <QString>

namespace mossleaf {

class SettingsStore;

// The main window's outer bounds in twips, as kept in the settings store between runs.
namespace WindowSettings {

inline const QString kAppName = QStringLiteral("Mossleaf");
inline const QString kSection = QStringLiteral("Settings");

struct Key {
    QString name;
    double defaultValue;
};

inline const Key kLeft{QStringLiteral("MainLeft"), 1000};
inline const Key kTop{QStringLiteral("MainTop"), 1000};
inline const Key kWidth{QStringLiteral("MainWidth"), 6500};
inline const Key kHeight{QStringLiteral("MainHeight"), 6500};

// The stored value, or the key's default when it is absent or does not read as a number.
double read(SettingsStore& store, const Key& key);

// Stores the value as decimal text.
void write(SettingsStore& store, const Key& key, double twips);

// Decimal text of a twips value: whole numbers without a fraction ("6500", "-60").
QString toText(double twips);

}  // namespace WindowSettings

}  // namespace mossleaf
