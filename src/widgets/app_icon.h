#pragma once

#include <QIcon>
#include <QString>

namespace mossleaf {

// Mossleaf's own icon, drawn from its SVG picture at whatever size a screen asks for.
QIcon mossleafIcon();

// Where the picture lives among the program's resources.
QString mossleafIconPath();

}  // namespace mossleaf
