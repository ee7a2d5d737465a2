#pragma once

#include <QPlainTextDocumentLayout>
#include <QTextOption>

// Lays out the body text. A body that holds a long stretch without a break place (a base64
// blob, a long URL) would take minutes to word-wrap, so such a body is wrapped anywhere
// instead; every other body keeps the word wrap it is read with. The text itself is never
// touched.
class BodyLayout : public QPlainTextDocumentLayout {
    Q_OBJECT

public:
    // Longer stretches without a break place switch the body to wrapping anywhere: below it,
    // word wrap costs about what wrapping anywhere does.
    static constexpr qsizetype kStretchLimit = 1000;

    explicit BodyLayout(QTextDocument* document);

    void documentChanged(int from, int charsRemoved, int charsAdded) override;

signals:
    // The edit that shows the document applies the mode; it lays the document out again at
    // once, through documentChanged.
    void wrapAnywhereWanted(bool anywhere);

private:
    bool wholeDocument(int from, int charsAdded) const;
    bool holdsLongStretch(int from, int charsAdded) const;
    void keepShapedGlyphs(int from, int charsAdded) const;

    bool relayingOut_ = false;
};
