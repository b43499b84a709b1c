#pragma once
#include <QByteArray>
#include <QMutex>
#include <QString>
#include <cstdint>

// The small services every layer shares. Files are read and written through safe_file.h.
namespace Utils
{
extern QMutex _system_mutex;        // one shell command at a time; also held while reading the clock
extern QMutex _file_deal_mutex;     // parameter, mode and upgrade files
extern QMutex _test_signal_mutex;   // around ZemRamPara::test_signal's emit
extern QMutex _led_para_init_mutex; // g_set_led_para / g_set_led_setup; taken inside the chip mutex

// Ticks of 10 ms since the stamp; one less when the counter wrapped below the stamp.
uint32_t getTimeSpace(uint32_t stamp);

// Runs one shell command: on the device through the shell, elsewhere it only appends the
// command to <data root>/shell.log (a regular file there, or the line is lost and that said once)
// and reports success. Returns 0 on success, 255 otherwise.
int system_mutex(const QString &cmd, int *status = nullptr);

// Copies the configuration into the globals and sets up eth0. Returns 0 or 255.
int initIPAddress();

// An address octet read the one way the file, the commands and the screen share: one to three
// decimal digits, taken as the decimal number they show ("010" is ten, "00" is zero), 0..255.
// -1 for anything else.
int octet_value(const QString &text);
// The address as four octets in their plain form ("192.168.1.01" -> "192.168.1.1"), the only
// form that goes to a shell: inet_aton and the tools built on it read "010" as eight. Empty when
// the text is not four octets.
QString plain_ipv4(const QString &text);
bool is_dotted_ipv4(const QString &text);

// True when the text is well-formed UTF-8.
bool is_utf8(const QByteArray &text);
// Objects and arrays nested at most `limit` deep; the JSON reader recurses once per level, so
// this is checked before it sees the text.
bool json_depth_within(const QByteArray &text, int limit);
}
