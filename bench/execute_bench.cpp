// Times Execute on the real window for a body whose first line is short or long: from the
// command until the message that the link did not open is on screen, and until the command
// has returned once that box is closed. The desktop's own opener runs (gio), or with --fake an
// opener that fails at once, so that only the program's own work is timed. The box's width is
// shown beside the screen's; with EXECUTE_BENCH_SHOTS=DIR a picture of each box is saved there.
// Usage: execute_bench [--fake] [RUNS] [SIZE_KIB...]   (default 5 runs of 1024 KiB)
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench_bodies.h"
#include "bench_window.h"
#include "editing/body_edit.h"
#include "launch/shell_opener.h"
#include "mainwindow/frm_main.h"
#include "no_settings.h"

using namespace mossleaf;

namespace {

class FailingOpener : public ShellOpener {
public:
    bool open(QWidget*, const QString&) override { return false; }
};

struct Cost {
    double boxShown = -1;  // milliseconds
    double done = 0;
    int boxWidth = 0;  // pixels
};

// Runs Execute; the box it shows is closed as soon as it is on screen, after a picture of it
// is saved in `shot` when one is named.
Cost timeExecute(frmMain& form, const QString& shot) {
    Cost cost;
    QElapsedTimer clock;
    QTimer closer;
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr && box->windowHandle() != nullptr && box->windowHandle()->isExposed()) {
            cost.boxShown = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            cost.boxWidth = box->frameGeometry().width();
            if (!shot.isEmpty()) {
                box->grab().save(shot);
            }
            box->done(0);
        }
    });
    closer.start();
    clock.start();
    form.mnuExe_Click();
    cost.done = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    return cost;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int arg = 1;
    const bool fake = argc > arg && std::strcmp(argv[arg], "--fake") == 0;
    arg += fake ? 1 : 0;
    const auto [runs, sizesKib] = readBenchArgs(argc, argv, arg, 5, {1024});
    NoSettings settings;
    frmMain form(settings);
    FailingOpener failing;
    if (fake) {
        form.setShellOpener(&failing);
    }
    showForBench(form);
    std::printf("platform %s, %s opener, %d runs, median ms: box on screen, command done\n",
                qPrintable(QGuiApplication::platformName()), fake ? "failing" : "desktop", runs);
    std::vector<qsizetype> chars{10};
    for (const qsizetype kib : sizesKib) {
        chars.push_back(kib * 1024);
    }
    for (const qsizetype count : chars) {
        for (const QString& kind :
             {QStringLiteral("latin"), QStringLiteral("blanks"), QStringLiteral("japanese")}) {
            form.Text2->showBody(benchLine(kind, count) + QStringLiteral("\nsecond line"));
            std::vector<double> shown, done;
            int boxWidth = 0;
            for (int run = 0; run < runs; ++run) {
                const QString shots = qEnvironmentVariable("EXECUTE_BENCH_SHOTS");
                const Cost cost = timeExecute(
                    form, shots.isEmpty() ? QString()
                                          : QStringLiteral("%1/box_%2_%3.png")
                                                .arg(shots, QString::number(count), kind));
                shown.push_back(cost.boxShown);
                done.push_back(cost.done);
                boxWidth = std::max(boxWidth, cost.boxWidth);
            }
            std::printf("%8lld chars %-9s box %8.1f  done %8.1f  box %5d of %5d px wide\n",
                        static_cast<long long>(count), qPrintable(kind), median(shown),
                        median(done), boxWidth, form.screen()->availableGeometry().width());
            std::fflush(stdout);
        }
    }
    return 0;
}
