#include "mainwindow/module1.h"

#include <memory>

#include "core/outline_read_ahead.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/qsettings_store.h"
#include "mainwindow/startup_trace.h"
#include "widgets/caret_rest.h"
#include "widgets/local_path.h"

namespace mossleaf::Module1 {
namespace {
std::unique_ptr<QSettingsStore> settingsStore;
std::unique_ptr<frmMain> form;
std::unique_ptr<CaretRest> caretRest;
}  // namespace

std::unique_ptr<OutlineReadAhead> readAhead(const QString& commandLine) {
    if (commandLine.isEmpty()) {
        return nullptr;
    }
    return std::make_unique<OutlineReadAhead>(LocalPath::toBytes(commandLine));
}

void Main(const QString& commandLine, std::unique_ptr<OutlineReadAhead> ahead) {
    settingsStore = std::make_unique<QSettingsStore>();
    caretRest = std::make_unique<CaretRest>();
    form = std::make_unique<frmMain>(*settingsStore);
    form->commandLine = commandLine;
    form->readAhead(std::move(ahead));
    StartupTrace::installIfRequested(*form);
    form->show();
}

frmMain* mainForm() {
    return form.get();
}

void finish() {
    form.reset();
    settingsStore.reset();
    caretRest.reset();
}

QString commandLineFrom(const std::vector<std::string>& arguments) {
    std::string line;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (i > 1) {
            line += ' ';
        }
        line += arguments[i];
    }
    return LocalPath::fromBytes(line);
}

}  // namespace mossleaf::Module1
