#include "about/app_icon.h"

#include "about/svg_icon_engine.h"

QString mossleafIconPath() {
    return QStringLiteral(":/icons/mossleaf.svg");
}

QIcon mossleafIcon() {
    return QIcon(new SvgIconEngine(mossleafIconPath()));
}
