#include "editing/body_layout.h"

#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

#include "editing/unbreakable_stretch.h"

namespace {

// Blocks up to this length keep their shaped glyphs between layout, painting and cursor moves
// (about 40 bytes a character); without them each of these shapes the whole line again.
constexpr int kCachedBlockLimit = 2 * 1024 * 1024;

bool wrapsAnywhere(const QTextDocument* document) {
    return document->defaultTextOption().wrapMode() == QTextOption::WrapAnywhere;
}

}  // namespace

BodyLayout::BodyLayout(QTextDocument* document) : QPlainTextDocumentLayout(document) {}

void BodyLayout::documentChanged(int from, int charsRemoved, int charsAdded) {
    if (!relayingOut_) {
        keepShapedGlyphs(from, charsAdded);
        // A new body decides afresh; an edit can only call for wrapping anywhere, so that
        // typing never makes the text jump between wrap modes.
        const bool whole = wholeDocument(from, charsAdded);
        if (whole || !wrapsAnywhere(document())) {
            const bool anywhere = holdsLongStretch(whole ? 0 : from, whole ? -1 : charsAdded);
            if (anywhere != wrapsAnywhere(document())) {
                QScopedValueRollback<bool> guard(relayingOut_, true);
                emit wrapAnywhereWanted(anywhere);
                if (anywhere == wrapsAnywhere(document())) {
                    return;  // the new mode laid out the whole document, this change included
                }
            }
        }
    }
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
}

bool BodyLayout::wholeDocument(int from, int charsAdded) const {
    return from == 0 && charsAdded >= document()->characterCount() - 1;
}

// Whether the text around a change (charsAdded -1: the whole document) holds a stretch
// longer than kStretchLimit. Before an edit no stretch was that long, so a new one must
// reach into the changed text: looking kStretchLimit characters to each side is enough.
bool BodyLayout::holdsLongStretch(int from, int charsAdded) const {
    const bool whole = charsAdded < 0;
    const int reach = static_cast<int>(kStretchLimit) + 1;
    const int first = whole ? 0 : std::max(0, from - reach);
    const int last = whole ? document()->characterCount() : from + charsAdded + reach;
    for (QTextBlock block = document()->findBlock(first);
         block.isValid() && block.position() <= last; block = block.next()) {
        const int length = block.length() - 1;  // without the paragraph separator
        if (length <= kStretchLimit) {
            continue;
        }
        const QString text = block.text();
        const int start = std::max(0, first - block.position());
        const int end = std::min(length, last - block.position());
        if (UnbreakableStretch::longest(QStringView(text).sliced(start, end - start)) >
            kStretchLimit) {
            return true;
        }
    }
    return false;
}

void BodyLayout::keepShapedGlyphs(int from, int charsAdded) const {
    for (QTextBlock block = document()->findBlock(from);
         block.isValid() && block.position() <= from + charsAdded; block = block.next()) {
        const int length = block.length();
        if (length > kStretchLimit) {  // a layout for every short block would cost memory
            block.layout()->setCacheEnabled(length <= kCachedBlockLimit);
        }
    }
}
