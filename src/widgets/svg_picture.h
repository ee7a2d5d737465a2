#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace mossleaf {

// Draws an SVG picture (a file or a resource) into a transparent ARGB image of exactly
// `pixels`. The picture is stretched to fill it; each size is drawn afresh from the vector
// source, never scaled from another size. A null image when the source cannot be read as SVG.
QImage renderSvg(const QString& path, const QSize& pixels);

}  // namespace mossleaf
