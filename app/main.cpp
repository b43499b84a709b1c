#include <QApplication>

#include "startup.h"

int main(int argc, char *argv[])
{
    const StartupOptions options = parse_startup_args(argc, argv);
    startup_core(options);
    QApplication app(argc, argv);
    startup_gui(options);
    return app.exec();
}
