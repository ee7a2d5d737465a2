#pragma once

#include <QStatusBar>

class QLabel;
class QTimer;

namespace mossleaf {

// sbStatusBar: panel 1 is free text (the title of the node last clicked), panel 2 the date
// and panel 3 the time in the system's short formats. The date and time keep themselves
// current; nobody else needs to tick them. Panel 1 takes the width the others leave; a text
// wider than that ends in "…" there, and shows more of itself as the panel widens.
class StatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit StatusBar(QWidget* parent);

    // Panels are numbered from 1, as the user counts them left to right.
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);

    // Redraws the date and time now and schedules the next change.
    void refreshClock();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void elideText();

    QLabel* panelLabel(int panel) const;

    QString fullText_;  // panel 1's, as set
    QLabel* text_ = nullptr;
    QLabel* date_ = nullptr;
    QLabel* time_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace mossleaf
