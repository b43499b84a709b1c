#pragma once
#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <cstdint>

class QFile;

// What reading one file gave: its bytes, or why there are none.
struct FileRead
{
    enum Status { Ok, Missing, Refused };
    Status status = Missing;
    QByteArray bytes;
    QString reason;
    bool ok() const { return status == Ok; }
};

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
    // The file's folder must lie inside the data root once links are followed; a link in the
    // file's own place is replaced, never written through. A failure is reported (once for the
    // same path and reason) and false returned.
    static bool write_file_atomic(const QString &path, const QByteArray &data);

    // The path with every link followed, also when its last parts do not exist yet; empty when a
    // link on the way leads nowhere.
    static QString resolved_path(const QString &path);

    // Opens a file for reading only when it is a regular file in its folder: a link, a FIFO or a
    // device in its place is refused (a FIFO would block the caller, a device could be read for
    // ever).
    static FileRead::Status open_regular_file(const QString &path, QFile *file, QString *reason = nullptr);
    // The whole of a regular file of at most `cap` bytes. A refused file is reported; a missing
    // one is not (most files are optional).
    static FileRead read_file_capped(const QString &path, qint64 cap);

    // True when the text is well-formed UTF-8.
    static bool is_utf8(const QByteArray &text);
    // Objects and arrays nested at most `limit` deep; the JSON reader recurses once per level, so
    // this is checked before it sees the text.
    static bool json_depth_within(const QByteArray &text, int limit);

    // Names a folder listing counts: neither hidden nor a temporary file of the safe writer.
    static bool is_listed_name(const QString &name);
    // The regular files of a folder that is_listed_name() admits; links are not listed.
    static QStringList listed_files(const QString &dir);

    // Says on the error output and in the log that a file could not be read or written, once:
    // the same path with the same reason stays quiet until file_ok() for that path. A failure
    // retried on every announcement is thus said once, and again once it has worked in between.
    static void report_file_problem(const QString &path, const QString &reason);
    static void file_ok(const QString &path);

    // Start-up: creates the folders the program writes, removes the temporary files that a power
    // cut left behind the safe writer, and reports a data root that cannot be written. Returns
    // false then.
    static bool prepare_data_root();
};
