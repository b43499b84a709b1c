// A power cut at any moment leaves every file of the parameter store whole, the old content or
// the new, and loses no save the writer reported done: a copy of this test, started as the
// program's store and writer, saves the image and user modes in a loop, tells each save it saw
// reach the disk, and is killed (SIGKILL) after a random number of those; each file is then read
// whole and must hold that save or a later one.
// A program that ends normally ends only once what it handed to the writer is on the disk.
#include <QProcess>
#include <QtTest>
#include <csignal>
#include <random>
#include <set>

#include "chip_request.h"
#include "file_writer.h"
#include "global.h"
#include "marked_file.h"
#include "paths.h"
#include "safe_file.h"
#include "syncupdate.h"
#include "testroot.h"
#include "zemrampara.h"

using namespace Ram;

namespace {

const char kChildRoot[] = "ZEM_POWER_CUT_ROOT";
const char kEndingRoot[] = "ZEM_ENDING_ROOT";
// The bytes that only the loop writes: save n's image holds (seed + i) at offset i, seed the low
// byte of 7n, so that a file that mixes two saves shows it, and n itself in its last four bytes.
constexpr int kFrom = 870;
constexpr int kCount = kSize - 4;

void fill(ZemRamPara *r, uint32_t n)
{
    ChipLock lock;
    const uint8_t seed = uint8_t(n * 7);
    for (int i = kFrom; i < kCount; ++i)
        r->RAM_PARA[i] = uint8_t(seed + i);
    for (int i = 0; i < 4; ++i)
        r->RAM_PARA[kCount + i] = uint8_t(n >> (8 * i));
}

// The child: the store with its change refresh and writer, saving for ever; every other save is
// waited for and told ("saved n").
int save_for_ever()
{
    Paths::set_data_root(qEnvironmentVariable(kChildRoot));
    ZemRamPara *r = ZemRamPara::pInstance();
    SyncUpdate::pInstance();
    for (uint32_t n = 1;; ++n) {
        fill(r, n);
        if (n % 3 == 0)
            r->wr16(kModeSaveRequest, uint16_t(1 + n % 4));
        r->ram_para_save();
        // Otherwise newer copies replace older ones on their way.
        if (n % 2) {
            SyncUpdate::finish_writes();
            std::printf("saved %u\n", n);
            std::fflush(stdout);
        }
        QCoreApplication::processEvents();
    }
}

// The child that ends: one change handed to a writer behind a slow disk, and main returns. The
// writer is there before the data root is named, as a test's fresh root has it: what it writes
// while the program ends still finds its root (the sanitizer build tells a root gone before).
int save_and_end()
{
    FileWriter::finish();
    Paths::set_data_root(qEnvironmentVariable(kEndingRoot));
    ZemRamPara *r = ZemRamPara::pInstance();
    SyncUpdate::pInstance();
    FileWriter::before_file_hook = [](const QString &) { QThread::msleep(300); };
    fill(r, 77);
    r->ram_para_save();
    return 0;
}

// The save a whole file of `size` data bytes that lies at image offset `at` holds, or -1 when the
// file is not one the loop wrote whole; -2 when there is none (no save has reached it yet).
qint64 save_in(const QString &device_path, int at, int size)
{
    if (!QFileInfo::exists(Paths::dev(device_path)))
        return -2;
    const QByteArray f = read_dev_file(device_path);
    if (f.size() != 4096 || uint8_t(f[0]) != MarkedFile::kMarker || uint8_t(f[1]) != MarkedFile::kMarker
        || at + size != kSize)
        return -1;
    uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= uint32_t(uint8_t(f[2 + kCount + i - at])) << (8 * i);
    const uint8_t seed = uint8_t(n * 7);
    for (int i = std::max(kFrom, at); i < kCount; ++i)
        if (uint8_t(f[2 + i - at]) != uint8_t(seed + i))
            return -1;
    for (int i = 2 + size; i < f.size(); ++i)
        if (f[i] != 0)
            return -1;
    return n;
}

}

class TestPowerCut : public QObject
{
    Q_OBJECT
private slots:
    void kill_at_any_moment()
    {
        const QString root = fresh_test_root(QStringLiteral("power-cut"));
        ZemRamPara::destroy_for_test();
        std::mt19937 rng(20260115);
        std::set<qint64> images_seen;
        int kills_mid_write = 0;
        for (int round = 0; round < 12; ++round) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QLatin1String(kChildRoot), root);
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), QStringList());
            QVERIFY(child.waitForStarted(zemtest::kCeilingMs));
            // Cut after the child has told `told` saves on the disk; it goes on saving meanwhile.
            const int told = 1 + int(rng() % 6);
            qint64 last_told = 0;
            for (int seen = 0; seen < told;) {
                if (!child.canReadLine()) {
                    QVERIFY2(child.waitForReadyRead(zemtest::kCeilingMs), "the child tells no save");
                    continue;
                }
                const QByteArray line = child.readLine().trimmed();
                if (line.startsWith("saved ")) {
                    last_told = line.mid(6).toLongLong();
                    ++seen;
                }
            }
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(zemtest::kCeilingMs));

            const qint64 image = save_in(ZemRamPara::image_file_path(), kSavedFrom, kSize - kSavedFrom);
            QVERIFY2(image != -1, qPrintable(QStringLiteral("round %1: the parameter file is torn").arg(round)));
            QVERIFY2(image >= last_told, qPrintable(QStringLiteral("round %1: save %2 was told on the disk, the file holds %3")
                                                        .arg(round).arg(last_told).arg(image)));
            images_seen.insert(image);
            for (int slot = 0; slot < 4; ++slot)
                QVERIFY2(save_in(mode_file_path(slot), kModeFrom, kModeSize) != -1,
                         qPrintable(QStringLiteral("round %1: mode %2 is torn").arg(round).arg(slot + 1)));
            const QStringList left = QDir(Paths::dev(QStringLiteral("/data"))).entryList(QDir::Files | QDir::Hidden)
                                     + QDir(Paths::dev(QStringLiteral("/data/modes"))).entryList(QDir::Files | QDir::Hidden);
            for (const QString &name : left)
                kills_mid_write += Utils::is_temporary_name(name);
            // What the next start does with the leftovers of a write cut short.
            Utils::prepare_data_root();
        }
        qInfo("%d different parameter files, %d temporary files cut short", int(images_seen.size()), kills_mid_write);
        // The program starts on the last whole file, not on the factory table.
        const qint64 last = save_in(ZemRamPara::image_file_path(), kSavedFrom, kSize - kSavedFrom);
        const uint8_t *image = ZemRamPara::pInstance()->RAM_PARA;
        QCOMPARE(qint64(image[kCount] | image[kCount + 1] << 8 | image[kCount + 2] << 16 | uint32_t(image[kCount + 3]) << 24), last);
    }
    void ends_with_the_file_written()
    {
        const QString root = fresh_test_root(QStringLiteral("ending"));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QLatin1String(kEndingRoot), root);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForFinished(zemtest::kCeilingMs));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(save_in(ZemRamPara::image_file_path(), kSavedFrom, kSize - kSavedFrom), qint64(77));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildRoot))
        return save_for_ever();
    if (qEnvironmentVariableIsSet(kEndingRoot))
        return save_and_end();
    TestPowerCut test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_power_cut.moc"
