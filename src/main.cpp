#include "platform/programstyle.h"
#include "platform/qtservices.h"
#include "viewer/program.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(new platform::ProgramStyle);
    QApplication::setApplicationName(QStringLiteral("Quorvin"));
    platform::QtServices services(argc, argv);
    viewer::Program program(services);
    program.start();
    return QApplication::exec();
}
