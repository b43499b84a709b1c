#pragma once
#include <QObject>
#include <atomic>
#include <cstdint>
#include <thread>

// The USB storage listener: codes 100 stick inserted, 101 removed, 102 mounted. On the device it
// reads kernel uevents; elsewhere a folder "<data root>/mnt/usb1" appearing stands for a stick
// put in and mounted, and vanishing for one pulled out.
class UsbServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kInserted = 100;
    static constexpr int kRemoved = 101;
    static constexpr int kMounted = 102;
    static constexpr uint32_t kMountHoldTicks = 300;

    explicit UsbServer(QObject *parent = nullptr);
    ~UsbServer() override;

    // Starts the listener's thread.
    void start();
    // One look at the stick (PC build); the thread calls it every 500 ms.
    void poll();

signals:
    void sig_usb_update(int code);

private:
    void mounted();
#ifdef ZEM_DEVICE_BUILD
    void recvData();
    int m_socket = -1;
#endif

    bool m_present = false;
    bool m_mounted = false;
    uint32_t m_insert_stamp = 0;

    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};
