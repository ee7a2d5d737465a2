#include <QApplication>

#include "mainwindow/module1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Mossleaf"));
    QApplication::setApplicationName(QStringLiteral("Mossleaf"));
    Module1::Main(Module1::commandLineFrom(QApplication::arguments()));
    const int status = QApplication::exec();
    Module1::Finish();
    return status;
}
