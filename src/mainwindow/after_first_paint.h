#pragma once

#include <functional>

class QWidget;

namespace mossleaf {

// Runs `action` once, as soon as `widget` has been painted for the first time: the window is
// on screen by then, so slow work (reading a large notebook) no longer keeps the user looking
// at nothing.
void runAfterFirstPaint(QWidget& widget, std::function<void()> action);

}  // namespace mossleaf
