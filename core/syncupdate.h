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

    // Steps (5) and (6) of para_sync: the pending user-mode save, the language fix and the
    // parameter file. Done only while the chip mutex is free at once, else tried again later.
    void write_back();
    // Has write_back() tried again from the GUI thread's event loop shortly.
    static void write_back_later();

signals:
    // A pending user-mode save was carried out: `saved` false when its file could not be written.
    void sig_mode_saved(int slot, bool saved);

public slots:
    void para_sync(int code);

private:
    SyncUpdate() = default;
    bool m_write_back_queued = false;
};
