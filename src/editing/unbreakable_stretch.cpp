#include "editing/unbreakable_stretch.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace UnbreakableStretch {

qsizetype longest(QStringView text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
    qsizetype longestSoFar = 0;
    qsizetype previous = 0;
    for (qsizetype next = finder.toNextBoundary(); next != -1; next = finder.toNextBoundary()) {
        longestSoFar = std::max(longestSoFar, next - previous);
        previous = next;
    }
    return std::max(longestSoFar, text.size() - previous);
}

}  // namespace UnbreakableStretch
