#pragma once
#include <QObject>

// The screens are reached through UiHooks (uihooks.h); core includes no screen.
// The parameter-change slot on the GUI thread: refreshes the key panel's lights and the screen on
// display, carries out a pending user-mode save and writes the image back to its file.
class SyncUpdate : public QObject
{
    Q_OBJECT
public:
    static SyncUpdate *p_syncupdate;
    static SyncUpdate *pInstance();

signals:
    // A pending user-mode save was carried out: `saved` false when its file could not be written.
    void sig_mode_saved(int slot, bool saved);

public slots:
    void para_sync(int code);

private:
    SyncUpdate() = default;
};
