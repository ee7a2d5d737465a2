#include "widgets/long_line.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QTextLayout>
#include <QWidget>

namespace mossleaf::LongLine {

namespace {

const QChar kEllipsis(0x2026);

// Hardly a character is narrower than half a pixel, so no more than this many can show in
// `width` pixels; the rest need not be measured.
qsizetype visibleChars(int width) {
    return 2 * static_cast<qsizetype>(qMax(width, 0)) + 2;
}

// The first `count` characters, without the first half of a surrogate pair at the end.
QString head(const QString& line, qsizetype count) {
    if (count > 0 && count < line.size() && line.at(count - 1).isHighSurrogate()) {
        --count;
    }
    return line.left(count);
}

// The last `count` characters, without the second half of a surrogate pair at the start.
QString tail(const QString& line, qsizetype count) {
    qsizetype start = line.size() - count;
    if (start > 0 && start < line.size() && line.at(start).isLowSurrogate()) {
        ++start;
    }
    return line.mid(start);
}

}  // namespace

QString middleCut(const QString& line, qsizetype maxChars) {
    if (line.size() <= maxChars) {
        return line;
    }
    const qsizetype kept = qMax<qsizetype>(maxChars - 1, 0);
    return head(line, kept - kept / 2) + kEllipsis + tail(line, kept / 2);
}

QString elidedAtEnd(const QString& line, const QFontMetrics& metrics, int width) {
    // The "…" after the measured part stays when all of that part fits.
    const qsizetype bound = visibleChars(width);
    const QString measured = line.size() > bound ? head(line, bound) + kEllipsis : line;
    return metrics.elidedText(measured, Qt::ElideRight, width);
}

bool widerThan(const QString& line, const QFontMetrics& metrics, int width) {
    return line.size() > visibleChars(width) || metrics.horizontalAdvance(line) > width;
}

QString wrapped(const QString& text, const QFont& font, int width) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return lines.join(QLatin1Char('\n'));
}

int comfortableWidth(const QWidget* near) {
    const QScreen* screen = near != nullptr ? near->screen() : QGuiApplication::primaryScreen();
    // Without a screen nothing shows; a width of the smallest screen in use keeps texts short.
    return screen != nullptr ? screen->availableGeometry().width() / 2 : 400;
}

QString forMessage(const QString& line, const QWidget* near) {
    // The font a message box and the text in it take, where the platform has one of its own.
    const QFontMetrics metrics(QApplication::font("QMessageBox"));
    const int width = comfortableWidth(near);
    return metrics.elidedText(middleCut(line, visibleChars(width)), Qt::ElideMiddle, width);
}

}  // namespace mossleaf::LongLine
