// A power cut at any moment leaves every file of the parameter store whole, the old content or
// the new: a copy of this test, started as the program's store and writer, saves the image and
// user modes in a loop and is killed (SIGKILL) at random moments; each file is then read whole.
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
// The bytes that only the loop writes: each save's image holds (seed + i) at offset i, so a file
// that mixes two saves shows it.
constexpr int kFrom = 870;

void fill(ZemRamPara *r, uint8_t seed)
{
    ChipLock lock;
    for (int i = kFrom; i < kSize; ++i)
        r->RAM_PARA[i] = uint8_t(seed + i);
}

// The child: the store with its change refresh and writer, saving for ever.
int save_for_ever()
{
    Paths::set_data_root(qEnvironmentVariable(kChildRoot));
    ZemRamPara *r = ZemRamPara::pInstance();
    SyncUpdate::pInstance();
    std::puts("saving");
    std::fflush(stdout);
    for (uint32_t n = 1;; ++n) {
        fill(r, uint8_t(n * 7));
        if (n % 3 == 0)
            r->wr16(kModeSaveRequest, uint16_t(1 + n % 4));
        r->ram_para_save();
        // Now and then the writer is caught up with, otherwise newer copies replace older ones.
        if (n % 2)
            SyncUpdate::finish_writes();
        QCoreApplication::processEvents();
    }
}

// The child that ends: one change handed to a writer behind a slow disk, and main returns.
int save_and_end()
{
    Paths::set_data_root(qEnvironmentVariable(kEndingRoot));
    ZemRamPara *r = ZemRamPara::pInstance();
    SyncUpdate::pInstance();
    FileWriter::before_file_hook = [](const QString &) { QThread::msleep(300); };
    fill(r, 77);
    r->ram_para_save();
    return 0;
}

// The seed of a whole file of `size` data bytes that lies at image offset `at`, or -1 when the
// file is not one the loop wrote whole; -2 when there is none (no save has reached it yet).
int seed_of(const QString &device_path, int at, int size)
{
    if (!QFileInfo::exists(Paths::dev(device_path)))
        return -2;
    const QByteArray f = read_dev_file(device_path);
    if (f.size() != 4096 || uint8_t(f[0]) != MarkedFile::kMarker || uint8_t(f[1]) != MarkedFile::kMarker)
        return -1;
    const int first = kFrom > at ? kFrom : at;
    const uint8_t seed = uint8_t(uint8_t(f[2 + first - at]) - first);
    for (int i = first; i < at + size; ++i)
        if (uint8_t(f[2 + i - at]) != uint8_t(seed + i))
            return -1;
    for (int i = 2 + size; i < f.size(); ++i)
        if (f[i] != 0)
            return -1;
    return seed;
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
        std::set<int> images_seen;
        int kills_mid_write = 0;
        // Twelve cuts, and more while the loop has not got far enough (a slow machine) to leave
        // three different files.
        for (int round = 0; round < 40 && (round < 12 || images_seen.size() < 3); ++round) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QLatin1String(kChildRoot), root);
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), QStringList());
            QVERIFY(child.waitForStarted(10000) && child.waitForReadyRead(10000));
            QThread::msleep(rng() % 40);
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(10000));

            const int image = seed_of(ZemRamPara::image_file_path(), kSavedFrom, kSize - kSavedFrom);
            QVERIFY2(image != -1, qPrintable(QStringLiteral("round %1: the parameter file is torn").arg(round)));
            if (image >= 0)
                images_seen.insert(image);
            for (int slot = 0; slot < 4; ++slot)
                QVERIFY2(seed_of(mode_file_path(slot), kModeFrom, kModeSize) != -1,
                         qPrintable(QStringLiteral("round %1: mode %2 is torn").arg(round).arg(slot + 1)));
            const QStringList left = QDir(Paths::dev(QStringLiteral("/data"))).entryList(QDir::Files | QDir::Hidden)
                                     + QDir(Paths::dev(QStringLiteral("/data/modes"))).entryList(QDir::Files | QDir::Hidden);
            for (const QString &name : left)
                kills_mid_write += Utils::is_temporary_name(name);
            // What the next start does with the leftovers of a write cut short.
            Utils::prepare_data_root();
        }
        qInfo("%d different parameter files, %d temporary files cut short", int(images_seen.size()), kills_mid_write);
        QVERIFY(images_seen.size() >= 3);
        // The program starts on the last whole file, not on the factory table.
        const int last = seed_of(ZemRamPara::image_file_path(), kSavedFrom, kSize - kSavedFrom);
        QCOMPARE(int(uint8_t(ZemRamPara::pInstance()->RAM_PARA[kFrom] - kFrom)), last);
    }
    void ends_with_the_file_written()
    {
        const QString root = fresh_test_root(QStringLiteral("ending"));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QLatin1String(kEndingRoot), root);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(seed_of(ZemRamPara::image_file_path(), kSavedFrom, kSize - kSavedFrom), 77);
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
