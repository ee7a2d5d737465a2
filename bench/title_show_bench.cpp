// Times showing one title of N characters where the window shows titles: in the title box Text1
// (put in as a paste puts it, then one repaint, which a blinking caret costs twice a second),
// on the tree's row (set, then one repaint of the tree) and in the status bar's first panel
// (set, then one repaint of the bar, which its clock costs every second). Each time runs from
// the call to the window painted and its event loop idle. Under xcb it also times fetching a
// text of the same size from the X clipboard owned by another client (xclip), as Ctrl+V does.
// Usage: title_show_bench [RUNS] [CHARS...]   (default 3 runs, 4,096 to 1,048,576 characters)
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <QTreeWidgetItem>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_bodies.h"
#include "bench_window.h"
#include "editing/outline_tree.h"
#include "editing/title_box.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/status_bar.h"
#include "no_settings.h"

using namespace mossleaf;

namespace {

// What the box holds after a paste of each kind: line breaks show as blanks.
QString title(const QString& kind, qsizetype chars) {
    const QString piece = kind == QLatin1String("latin") ? QStringLiteral("x")
                          : kind == QLatin1String("lines")
                              ? QString(98, QLatin1Char('x')) + QStringLiteral("\r\n")
                          : kind == QLatin1String("japanese")
                              ? QStringLiteral("日本語の題名です。")
                              : QStringLiteral("aあ1漢 عb");  // scripts and directions mixed
    return repeatedTo(piece, chars);
}

// Wall-clock milliseconds from the start of `step` until the window has painted and nothing
// is pending.
template <typename Step>
double timeToIdle(QWidget& window, Step step) {
    QElapsedTimer clock;
    clock.start();
    step();
    paintAndSettle(window);
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

template <typename Step>
double timed(Step step) {
    QElapsedTimer clock;
    clock.start();
    step();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Puts `text` on the X clipboard from another client and times reading it back.
double clipboardFetch(const QString& text, bool* ok) {
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-i"),
                 QStringLiteral("-loops"), QStringLiteral("1")});
    if (!xclip.waitForStarted()) {
        *ok = false;
        return 0;
    }
    xclip.write(text.toUtf8());
    xclip.closeWriteChannel();
    // xclip takes the selection once it has read its input.
    const QString before = QGuiApplication::clipboard()->text();
    QElapsedTimer wait;
    wait.start();
    while (QGuiApplication::clipboard()->ownsClipboard() || wait.elapsed() < 300) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    QString got;
    const double ms = timed([&] { got = QGuiApplication::clipboard()->text(); });
    xclip.waitForFinished(2000);
    *ok = got == text;
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const auto [runs, sizes] =
        readBenchArgs(argc, argv, 1, 3, {4096, 10000, 16384, 32768, 65536, 262144, 1048576});
    NoSettings settings;
    frmMain form(settings);
    showForBench(form);
    form.activateWindow();
    form.mnuFileNew->trigger();
    form.Text1->setText(QStringLiteral("node"));
    form.doc.EntryMode = mossleaf::TitleEntry::AddChild;
    form.AddNode();
    QTreeWidgetItem* item = form.TreeView1->topLevelItem(0);
    const bool xcb = QGuiApplication::platformName() == QLatin1String("xcb");
    std::printf(
        "platform %s, %d runs, median ms: box = insert into Text1 to idle, blink = one "
        "repaint of Text1; tree = set the row's text to idle, repaint = one repaint of "
        "the tree; bar = set panel 1 to idle, tick = one repaint of the status bar%s\n",
        qPrintable(QGuiApplication::platformName()), runs,
        xcb ? "; clip = QClipboard::text() of the same text owned by xclip" : "");
    for (const qsizetype chars : sizes) {
        for (const QString& kind : {QStringLiteral("latin"), QStringLiteral("lines"),
                                    QStringLiteral("japanese"), QStringLiteral("mixed")}) {
            const QString text = title(kind, chars);
            // As committed: each line break one blank.
            const QString committed =
                QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
            std::vector<double> box, blink, tree, treePaint, bar, tick, clip;
            bool clipOk = true;
            for (int run = 0; run < runs; ++run) {
                form.Text1->show();
                form.Text1->setFocus();
                form.Text1->clear();
                timeToIdle(form, [] {});
                box.push_back(timeToIdle(form, [&] { form.Text1->insert(text); }));
                blink.push_back(timed([&] { form.Text1->repaint(); }));
                form.Text1->clear();
                form.Text1->hide();
                timeToIdle(form, [] {});
                tree.push_back(timeToIdle(form, [&] { item->setText(0, committed); }));
                treePaint.push_back(timed([&] { form.TreeView1->viewport()->repaint(); }));
                item->setText(0, QStringLiteral("node"));
                bar.push_back(
                    timeToIdle(form, [&] { form.sbStatusBar->setPanelText(1, committed); }));
                tick.push_back(timed([&] { form.sbStatusBar->repaint(); }));
                form.sbStatusBar->setPanelText(1, QString());
                if (xcb) {
                    bool ok = false;
                    clip.push_back(clipboardFetch(text, &ok));
                    clipOk = clipOk && ok;
                }
                timeToIdle(form, [] {});
            }
            std::printf(
                "%8lld %-8s box %8.1f blink %7.1f  tree %8.1f repaint %7.1f  bar %8.1f "
                "tick %7.1f",
                static_cast<long long>(chars), qPrintable(kind), median(box), median(blink),
                median(tree), median(treePaint), median(bar), median(tick));
            if (xcb) {
                std::printf("  clip %7.1f%s", median(clip), clipOk ? "" : " (text differed)");
            }
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    return 0;
}
