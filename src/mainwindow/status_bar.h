#pragma once

#include <QStatusBar>

class QLabel;
class QTimer;

// sbStatusBar: panel 1 is free text (the title of the node last clicked), panel 2 the date
// and panel 3 the time in the system's short formats. The date and time keep themselves
// current; nobody else needs to tick them.
class StatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit StatusBar(QWidget* parent);

    // Panels are numbered from 1, as the user counts them left to right.
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);

    // Redraws the date and time now and schedules the next change.
    void refreshClock();

private:
    QLabel* panelLabel(int panel) const;

    QLabel* text_ = nullptr;
    QLabel* date_ = nullptr;
    QLabel* time_ = nullptr;
    QTimer* timer_ = nullptr;
};
