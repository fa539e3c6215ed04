#include "platform/oemtextarea.h"
#include "platform/qtservices.h"

#include <QApplication>
#include <QFile>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    platform::QtServices services(argc, argv);
    platform::OemTextArea area;
    QFile file(services.argumentString());
    if (file.open(QIODevice::ReadOnly))
        area.setText(file.readAll());
    area.resize(640, 400);
    area.show();
    return app.exec();
}
