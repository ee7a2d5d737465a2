#pragma once

#include <QStringView>

// Qt wraps a line by looking, for every line it fills, for the next place where the text may
// break; inside a stretch that offers none the search runs to the stretch's end each time, so
// wrapping costs grow with the square of the stretch (a base64 blob, a long URL, "aaaa...").
namespace UnbreakableStretch {

// Length of the longest stretch of `text` inside which a line may not break, by the same
// line-break rules Qt's text layout follows. Both ends of `text` count as break places.
qsizetype longest(QStringView text);

}  // namespace UnbreakableStretch
