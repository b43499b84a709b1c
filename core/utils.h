#pragma once
#include <QMutex>
#include <QString>
#include <QStringList>
#include <cstdint>

class Utils
{
public:
    static QMutex _system_mutex;        // one shell command at a time; also held while reading the clock
    static QMutex _file_deal_mutex;     // parameter, mode and upgrade files
    static QMutex _test_signal_mutex;   // around ZemRamPara::test_signal's emit
    static QMutex _led_para_init_mutex; // g_set_led_para / g_set_led_setup; taken inside the chip mutex

    // Ticks of 10 ms since the stamp; one less when the counter wrapped below the stamp.
    static uint32_t getTimeSpace(uint32_t stamp);

    // Runs one shell command: on the device through the shell, elsewhere it only appends the
    // command to <data root>/shell.log and reports success. Returns 0 on success, 255 otherwise.
    static int system_mutex(const QString &cmd, int *status = nullptr);

    // Copies the configuration into the globals and sets up eth0. Returns 0 or 255.
    static int initIPAddress();

    // True for four dotted decimal parts 0..255, the only form an address may take on its way to a shell.
    static bool is_dotted_ipv4(const QString &text);

    // Writes a whole file so that a power cut leaves the old or the new content, never a torn one.
    static bool write_file_atomic(const QString &path, const QByteArray &data);
};
