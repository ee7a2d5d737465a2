// Times showing one body in Text2 of the real window: from showBody, the call the window makes
// for a clicked node, to the window painted and its event loop idle; for a body shown in parts
// then the time until all of it is in, the longest that an input would have waited meanwhile,
// and what showing it adds to the peak memory of the process; then one key typed into the
// middle of the body, again to idle.
// The bodies are single lines, and short lines. Wall-clock and process CPU time; last the CPU
// time of taking the body's text back out, as storing it does.
// Usage: [BODY_KINDS=latin,blanks,japanese,lines] body_show_bench [RUNS] [SIZE_KIB...]
// (default 5 runs of 1024 and 16384 KiB)
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench_bodies.h"
#include "bench_window.h"
#include "editing/body_edit.h"
#include "mainwindow/frm_main.h"
#include "no_settings.h"

using namespace mossleaf;

namespace {

struct Cost {
    double wall = 0;  // milliseconds
    double cpu = 0;
    double addedPeak = 0;    // MiB over the resident size before; the most of all runs
    double filled = 0;       // ms until a body shown in parts is all in
    double longestWait = 0;  // ms between two turns of the event loop meanwhile
};

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM").
double statusKib(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stod(line.substr(field.size() + 1));
        }
    }
    return 0;
}

// Makes the peak resident size start again from the present one.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double cpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// From the start of `step` until the window has painted and nothing is pending.
template <typename Step>
Cost timeToIdle(QWidget& window, Step step) {
    resetPeak();
    const double rssStart = statusKib("VmRSS");
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = cpuMs();
    step();
    paintAndSettle(window);
    return {static_cast<double>(clock.nsecsElapsed()) / 1e6, cpuMs() - cpuStart,
            (statusKib("VmHWM") - rssStart) / 1024};
}

// Shows `shown` as a click does; then waits for the rest of a body shown in parts, with a timer
// that fires at every turn of the event loop, as an input would be served.
Cost timeShow(QWidget& window, BodyEdit& text2, const QString& shown) {
    resetPeak();
    const double rssStart = statusKib("VmRSS");
    QElapsedTimer clock;
    clock.start();
    const auto ms = [&clock] { return static_cast<double>(clock.nsecsElapsed()) / 1e6; };
    const double cpuStart = cpuMs();
    text2.showBody(shown);
    paintAndSettle(window);
    Cost cost{ms(), cpuMs() - cpuStart};
    double lastTurn = cost.wall;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        cost.longestWait = std::max(cost.longestWait, ms() - lastTurn);
        lastTurn = ms();
    });
    turn.start(0);
    while (text2.isFilling()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    cost.filled = ms();
    cost.addedPeak = (statusKib("VmHWM") - rssStart) / 1024;
    return cost;
}

Cost median(std::vector<Cost> values) {
    const auto middle = [&values](double Cost::*part) {
        std::vector<double> parts;
        parts.reserve(values.size());
        for (const Cost& value : values) {
            parts.push_back(value.*part);
        }
        std::sort(parts.begin(), parts.end());
        return parts[parts.size() / 2];
    };
    // The first show takes fresh memory, later ones partly reuse what the one before freed.
    const auto most = std::max_element(values.begin(), values.end(),
                                       [](auto& a, auto& b) { return a.addedPeak < b.addedPeak; });
    return {middle(&Cost::wall), middle(&Cost::cpu), most->addedPeak, middle(&Cost::filled),
            middle(&Cost::longestWait)};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const auto [runs, sizesKib] = readBenchArgs(argc, argv, 1, 5, {1024, 16384});
    NoSettings settings;
    frmMain form(settings);
    showForBench(form);
    BodyEdit* text2 = form.Text2;
    text2->setReadOnly(false);
    const QString normal = QStringLiteral("an ordinary body\nof two lines");
    std::printf(
        "platform %s, %d runs, median ms to idle, wall (cpu), MiB added to the peak; "
        "filled: ms until all of a body shown in parts is in; wait: the longest turn of the "
        "event loop meanwhile\n",
        qPrintable(QGuiApplication::platformName()), runs);
    const QStringList kinds =
        qEnvironmentVariable("BODY_KINDS", QStringLiteral("latin,blanks,japanese,lines"))
            .split(QLatin1Char(','));
    for (const qsizetype kib : sizesKib) {
        for (const QString& kind : kinds) {
            const QString shown = benchBody(kind, kib * 1024);
            std::vector<Cost> show, key, store;
            for (int run = 0; run < runs; ++run) {
                timeToIdle(form, [&] { text2->showBody(normal); });
                show.push_back(timeShow(form, *text2, shown));
                QTextCursor cursor = text2->textCursor();
                cursor.setPosition(text2->document()->characterCount() / 2);
                text2->setTextCursor(cursor);
                key.push_back(timeToIdle(form, [&] {
                    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier,
                                    QStringLiteral("x"));
                    QCoreApplication::sendEvent(text2, &press);
                }));
                qsizetype stored = 0;
                store.push_back(timeToIdle(form, [&] { stored = text2->bodyText().size(); }));
                if (stored != shown.size() + 1) {
                    std::fprintf(stderr, "the typed key did not reach Text2\n");
                    return 1;
                }
            }
            const Cost shownCost = median(show);
            const Cost keyCost = median(key);
            const Cost storeCost = median(store);
            std::printf(
                "%6lld KiB %-9s show %8.1f (%8.1f) +%5.0f MiB  filled %7.1f wait %6.1f  "
                "key %6.1f (%6.1f)  text %6.1f\n",
                static_cast<long long>(kib), qPrintable(kind), shownCost.wall, shownCost.cpu,
                shownCost.addedPeak, shownCost.filled, shownCost.longestWait, keyCost.wall,
                keyCost.cpu, storeCost.cpu);
        }
    }
    return 0;
}
