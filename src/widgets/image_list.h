#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>

namespace mossleaf {

// imlToolbarIcons: pictures kept by key, each an SVG drawn on the mask colour, which becomes
// transparent whenever the picture is drawn.
class ImageList {
public:
    static inline const QColor kMaskColour{192, 192, 192};

    void add(const QString& key, const QString& svgPath);
    // The picture `key` drawn at `pixels` × `pixels`, mask cleared; null for an unknown key.
    QImage picture(const QString& key, int pixels) const;
    // Drawn afresh at each size asked for, so it stays sharp at any device pixel ratio.
    QIcon icon(const QString& key) const;
    QStringList keys() const { return sources_.keys(); }

    static void clearMask(QImage& picture);

private:
    QMap<QString, QString> sources_;
};

// The six toolbar pictures, keyed "New", "Open", "Save", "Copy", "Update", "Exe", designed
// at 16 by 16 pixels.
ImageList toolbarIcons();

}  // namespace mossleaf
