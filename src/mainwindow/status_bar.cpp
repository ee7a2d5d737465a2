#include "mainwindow/status_bar.h"

#include <QDateTime>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QTimer>

#include "widgets/long_line.h"

namespace mossleaf {

StatusBar::StatusBar(QWidget* parent)
    : QStatusBar(parent),
      text_(new QLabel(this)),
      date_(new QLabel(this)),
      time_(new QLabel(this)),
      timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("sbStatusBar"));
    text_->setObjectName(QStringLiteral("sbStatusBar_Panel1"));
    date_->setObjectName(QStringLiteral("sbStatusBar_Panel2"));
    time_->setObjectName(QStringLiteral("sbStatusBar_Panel3"));
    text_->setTextFormat(Qt::PlainText);
    // The panel's width comes from the bar, never from the text: a long title neither pushes
    // the date aside nor keeps the window from narrowing.
    text_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    text_->installEventFilter(this);
    addWidget(text_, 1);
    addPermanentWidget(date_);
    addPermanentWidget(time_);
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::CoarseTimer);
    connect(timer_, &QTimer::timeout, this, &StatusBar::refreshClock);
    refreshClock();
}

QLabel* StatusBar::panelLabel(int panel) const {
    switch (panel) {
        case 1:
            return text_;
        case 2:
            return date_;
        case 3:
            return time_;
        default:
            return nullptr;
    }
}

QString StatusBar::panelText(int panel) const {
    if (panel == 1) {
        return fullText_;
    }
    const QLabel* label = panelLabel(panel);
    return label ? label->text() : QString();
}

void StatusBar::setPanelText(int panel, const QString& text) {
    if (panel == 1) {
        fullText_ = text;
        elideText();
    } else if (QLabel* label = panelLabel(panel)) {
        label->setText(text);
    }
}

bool StatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::Resize) {
        elideText();
    }
    return QStatusBar::eventFilter(watched, event);
}

void StatusBar::elideText() {
    text_->setText(
        LongLine::elidedAtEnd(fullText_, text_->fontMetrics(), text_->contentsRect().width()));
}

void StatusBar::refreshClock() {
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    date_->setText(locale.toString(now.date(), QLocale::ShortFormat));
    time_->setText(locale.toString(now.time(), QLocale::ShortFormat));
    // Wake only when the shown text can change: at the next second when the format shows
    // seconds, else at the next minute (the date turns over with a minute too).
    const bool showsSeconds = locale.timeFormat(QLocale::ShortFormat).contains(QLatin1Char('s'));
    const int period = showsSeconds ? 1000 : 60000;
    const qint64 msOfDay = now.time().msecsSinceStartOfDay();
    const int untilNext = period - static_cast<int>(msOfDay % period);
    timer_->start(untilNext + 20);
}

}  // namespace mossleaf
