#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <vector>

// What the window benchmarks share: "[RUNS] [SIZE...]" from the command line (from argument
// `first` on), and a window of one size shown and exposed before anything is timed, so that
// runs compare alike.
struct BenchArgs {
    int runs;
    std::vector<qsizetype> sizes;
};

inline BenchArgs readBenchArgs(int argc, char** argv, int first, int defaultRuns,
                               std::vector<qsizetype> defaultSizes) {
    BenchArgs args{argc > first ? std::max(1, std::atoi(argv[first])) : defaultRuns, {}};
    for (int i = first + 1; i < argc; ++i) {
        args.sizes.push_back(std::atoll(argv[i]));
    }
    if (args.sizes.empty()) {
        args.sizes = std::move(defaultSizes);
    }
    return args;
}

inline void showForBench(QWidget& window) {
    window.resize(1000, 700);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

// Paints `window` and returns once every event already pending has been handled.
inline void paintAndSettle(QWidget& window) {
    window.repaint();
    bool idle = false;
    QTimer::singleShot(0, [&idle] { idle = true; });
    while (!idle) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
