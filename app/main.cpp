#include <QApplication>

#include "startup.h"
#include "syncupdate.h"

int main(int argc, char *argv[])
{
    const StartupOptions options = parse_startup_args(argc, argv);
    if (!startup_core(options))
        return 2;
    // Nothing here draws with GL, yet on X Qt would load the GL driver at start (tens of MB, tens
    // of ms); an explicit choice in the environment still wins.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    startup_gui(options);
    const int status = app.exec();
    // Whatever was changed last is on the disk before the program ends.
    SyncUpdate::finish_writes();
    return status;
}
