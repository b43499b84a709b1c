#pragma once
#include <QObject>

// The parameter-change slot on the GUI thread: refreshes the key panel's lights and the screen on
// display, carries out a pending user-mode save and writes the image back to its file.
class SyncUpdate : public QObject
{
    Q_OBJECT
public:
    static SyncUpdate *p_syncupdate;
    static SyncUpdate *pInstance();

    // Hooks set by the user interface; core knows no screen.
    // refresh_screen: step (4), the dispatch to the screen whose page is in g_page_focus (tips included).
    // update_key_leds: step (2), while g_zem_keys is set.
    // after_save: the final step (page 10 shows tip 1 again).
    static void (*refresh_screen)(int code);
    static void (*update_key_leds)();
    static void (*after_save)();

public slots:
    void para_sync(int code);

private:
    SyncUpdate() = default;
};
