// Times Qt laying out one block of N characters as Text2 of the real window does it: its font,
// its width, its wrap mode, every row created. Typing into a piece lays out its block again,
// and showing a body lays out the pieces in sight, so this is what the piece length costs.
// Usage: piece_layout_bench [RUNS] [N...]   (default 9 runs of 1,000 to 64,000 characters)
#include <QApplication>
#include <QElapsedTimer>
#include <QTextLayout>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "bench_bodies.h"
#include "bench_window.h"
#include "editing/body_edit.h"
#include "mainwindow/frm_main.h"
#include "no_settings.h"

using namespace mossleaf;

namespace {

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Milliseconds of CPU time to lay out `text` in rows of `width` pixels.
double layoutCost(const QString& text, const QFont& font, qreal width) {
    const double start = threadCpuMs();
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);  // QPlainTextEdit's
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return threadCpuMs() - start;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const auto [runs, lengths] =
        readBenchArgs(argc, argv, 1, 9, {1000, 2000, 4000, 8000, 16000, 32000, 64000});
    NoSettings settings;
    frmMain form(settings);
    showForBench(form);
    const QFont font = form.Text2->font();
    std::printf("platform %s, font %s %g pt, median ms of CPU over %d runs\n",
                qPrintable(QGuiApplication::platformName()), qPrintable(font.family()),
                font.pointSizeF(), runs);
    // Rows as wide as Text2 in this window, and as in a window across a large screen: the
    // width decides how many rows a piece has.
    for (const qreal width : {qreal(form.Text2->viewport()->width()), qreal(1600)}) {
        std::printf("rows of %g px\n%8s %9s %9s %9s\n", width, "N", "latin", "blanks", "japanese");
        for (const qsizetype n : lengths) {
            std::printf("%8lld", static_cast<long long>(n));
            for (const QString& kind :
                 {QStringLiteral("latin"), QStringLiteral("blanks"), QStringLiteral("japanese")}) {
                // Japanese is 3 bytes a character in UTF-8.
                const QString text = benchBody(kind, kind == QLatin1String("japanese") ? 3 * n : n);
                std::vector<double> costs;
                costs.reserve(runs);
                for (int run = 0; run < runs; ++run) {
                    costs.push_back(layoutCost(text, font, width));
                }
                std::sort(costs.begin(), costs.end());
                std::printf(" %9.2f", costs[costs.size() / 2]);
            }
            std::printf("\n");
        }
    }
    return 0;
}
