#include <QApplication>
#include <QLocale>
#include <string>
#include <utility>
#include <vector>

#include "core/atomic_file.h"
#include "core/outline_read_ahead.h"
#include "mainwindow/module1.h"
#include "mainwindow/qt_translations.h"

int main(int argc, char** argv) {
    // Before anything is written (a font cache, the settings): past a file-size limit the
    // program lives on and says why a save failed.
    mossleaf::ignoreFileSizeSignal();
    // The arguments are file names, kept as the bytes the user typed. QApplication would
    // take away any that look like its own options (a file named "-reverse"), so it sees
    // only the program's name; its settings still come from the environment.
    const std::vector<std::string> arguments(argv, argv + argc);
    const QString commandLine = mossleaf::Module1::commandLineFrom(arguments);
    // The notebook is read on another thread while Qt starts and the window is built.
    auto ahead = mossleaf::Module1::readAhead(commandLine);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setOrganizationName(QStringLiteral("Mossleaf"));
    QApplication::setApplicationName(QStringLiteral("Mossleaf"));
    mossleaf::QtTranslations::install(app, QLocale::system());
    // Ties the windows to the installed menu entry (Wayland app id, startup notification).
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.mossleaf.Mossleaf"));
    mossleaf::Module1::Main(commandLine, std::move(ahead));
    const int status = QApplication::exec();
    mossleaf::Module1::finish();
    return status;
}
