#pragma once
#include <QString>

class QApplication;

struct StartupOptions
{
    QString root;          // data root; empty keeps the one in force
    QString refused;       // why the data root named cannot be used; the program then does not start
    bool wait = true;      // the four-second wait before the home screen
    bool threads = true;   // the managers' threads (the bench and tests drive passes themselves)
};

// Takes this program's own options (--root DIR or --root=DIR, --no-wait) out of argv, leaving Qt's
// options for QApplication; the last --root counts, and one with no name after it refuses the
// start. A relative root, and on a PC the default run-data when no --root is given, is taken in
// the current folder, by that folder's own name. ZEM_NO_WAIT=1 in the environment also skips the
// wait.
StartupOptions parse_startup_args(int &argc, char **argv);

// Everything start-up does before the Qt application exists: on a PC the environment that keeps
// Qt off the host's session bus, then the key panel, the configuration, the parameter store and
// the change refresh. False, with one line on the error output and nothing made, when the data
// root named is one the program could never use.
bool startup_core(const StartupOptions &options);

// The rest, in order: main window and tick, managers and their threads, the wait, the home screen
// on page 0, the numeric keyboard beside the main window, the key panel's lights, the USB listener
// and the WiFi manager.
void startup_gui(const StartupOptions &options);
