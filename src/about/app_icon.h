#pragma once

#include <QIcon>
#include <QPixmap>

// Mossleaf's own icon: a moss-green leaf lying on a small ring-bound notebook.
QIcon mossleafIcon();

// The icon drawn at `size` × `size` pixels.
QPixmap mossleafPixmap(int size);
