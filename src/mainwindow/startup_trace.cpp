#include "mainwindow/startup_trace.h"

#include <QAbstractEventDispatcher>
#include <QDateTime>
#include <QEvent>
#include <QWidget>
#include <cstdio>

#include "mainwindow/frm_main.h"

namespace mossleaf::StartupTrace {
namespace {

bool painted = false;

void print(const char* what) {
    std::fprintf(stderr, "mossleaf-startup %s %lld\n", what,
                 static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
    std::fflush(stderr);
}

// Prints "visible" when the client area paints for the first time (not deferred, so that the
// reading of the file, which is queued after that paint, cannot come before it).
class FirstPaintPrinter : public QObject {
public:
    explicit FirstPaintPrinter(QWidget& widget) : QObject(&widget) {
        widget.installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            print("visible");
            painted = true;
            watched->removeEventFilter(this);
        }
        return false;
    }
};

}  // namespace

void installIfRequested(frmMain& form) {
    if (qEnvironmentVariableIsEmpty("MOSSLEAF_STARTUP_TRACE")) {
        return;
    }
    new FirstPaintPrinter(*form.centralWidget());
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    auto connection = std::make_shared<QMetaObject::Connection>();
    // Start-up is over once NodeLimit is set, the last thing Form_Load does, and the loop
    // is about to sleep: everything the load queued (the repaint included) has run.
    *connection = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &form,
                                   [&form, connection] {
                                       if (painted && form.doc.NodeLimit == 256) {
                                           print("idle");
                                           QObject::disconnect(*connection);
                                       }
                                   });
}

}  // namespace mossleaf::StartupTrace
