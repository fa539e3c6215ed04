#include "platform/programstyle.h"
#include "platform/qtservices.h"
#include "viewer/program.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // Qt is given the program's name only: every word after it belongs to the argument string,
    // the name of the file to show, also a word that Qt would take for one of its own options
    // ("-reverse", "-style x.nfo"). The services read the argument string from the untouched
    // argv.
    int qtArgc = 1;
    char *qtArgv[] = { argv[0], nullptr };
    QApplication app(qtArgc, qtArgv);
    QApplication::setStyle(new platform::ProgramStyle);
    QApplication::setApplicationName(QStringLiteral("Quorvin"));
    platform::QtServices services(argc, argv);
    viewer::Program program(services);
    program.start();
    return QApplication::exec();
}
