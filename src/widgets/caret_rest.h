#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

namespace mossleaf {

// Stops every caret of the program blinking once nobody has pressed a key or a mouse button
// for a while, and lets it blink again at the next one, as GTK does. A blinking caret wakes the
// program and the X server twice a second for as long as the window stays open, which is
// most of the day for a notebook; a resting one shows steadily and costs nothing.
//
// It sets the application's cursor flash time, which every text box follows at once, and puts
// back the value it found (the desktop's), so it takes no part in how a box draws its caret.
class CaretRest : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kDefaultRest{10'000};

    explicit CaretRest(std::chrono::milliseconds rest = kDefaultRest, QObject* parent = nullptr);
    ~CaretRest() override;

    bool resting() const { return restingFlashTime_ > 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rest();
    void wake();

    QTimer timer_;
    // The flash time to put back; 0 while the carets blink (or the desktop never blinks them).
    int restingFlashTime_ = 0;
};

}  // namespace mossleaf
