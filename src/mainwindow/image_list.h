#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QMap>
#include <QString>

// imlToolbarIcons: pictures kept by key. Each picture is drawn on the mask colour, which
// becomes transparent when the picture is added.
class ImageList {
public:
    static inline const QColor kMaskColour{192, 192, 192};

    void add(const QString& key, const QImage& picture);
    QImage picture(const QString& key) const { return pictures_.value(key); }
    QIcon icon(const QString& key) const;
    QStringList keys() const { return pictures_.keys(); }

private:
    QMap<QString, QImage> pictures_;
};

// The six 16 by 16 toolbar pictures, keyed "New", "Open", "Save", "Copy", "Update", "Exe".
ImageList drawToolbarIcons();
