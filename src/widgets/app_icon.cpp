#include "widgets/app_icon.h"

#include "widgets/svg_icon_engine.h"

namespace mossleaf {

QString mossleafIconPath() {
    return QStringLiteral(":/icons/mossleaf.svg");
}

QIcon mossleafIcon() {
    return QIcon(new SvgIconEngine(mossleafIconPath()));
}

}  // namespace mossleaf
