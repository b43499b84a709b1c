#pragma once
#include <QObject>
#include <cstdint>

#include "pass_thread.h"
#include "safe_file.h"
#include "vocabulary.h"

// The USB storage listener: codes 100 stick inserted, 101 removed, 102 mounted. On the device it
// reads kernel uevents; elsewhere a folder "<data root>/mnt/usb1" appearing stands for a stick
// put in and mounted, vanishing for one pulled out, and another folder in its place for one pulled
// out and another put in.
class UsbServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kInserted = CHANGE_USB_INSERTED;
    static constexpr int kRemoved = CHANGE_USB_REMOVED;
    static constexpr int kMounted = CHANGE_USB_MOUNTED;
    static constexpr uint32_t kMountHoldTicks = 300;

    explicit UsbServer(QObject *parent = nullptr);
    ~UsbServer() override;

    // Starts the listener's thread.
    void start();
    // One look at the stick folder; on a PC the thread calls it every 500 ms.
    void poll();

signals:
    void sig_usb_update(int code);

private:
    void inserted();
    void removed();
    void mounted();
#ifdef ZEM_DEVICE_BUILD
    void recvData();
    int m_socket = -1;
    bool m_storage_seen = false;
#endif

    bool m_present = false;
    bool m_mounted = false;
    uint32_t m_stamp = 0;       // stick put in (PC) or USB storage driver up (device)
    FolderId m_stick;           // PC: the stick folder that came in
    PassThread m_thread;
};
