#include <QtTest>

#include <QThread>
#include <cstring>

#include "corefixture.h"
#include "syncupdate.h"
#include "utils.h"

using namespace Ram;

namespace {
QStringList g_calls;
int g_refresh_code = -1;

void record_refresh(int code)
{
    g_refresh_code = code;
    g_calls << QStringLiteral("refresh");
}
void record_leds() { g_calls << QStringLiteral("leds"); }
void record_after(int code) { g_calls << QStringLiteral("after %1").arg(code); }

bool image_file_exists()
{
    return QFile::exists(Paths::dev(QStringLiteral("/data/ram_device_info")));
}
}

class TestCoreSync : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        fresh_core(QTest::currentTestFunction());
        g_calls.clear();
        g_refresh_code = -1;
        UiHooks::refresh_screen = record_refresh;
        UiHooks::update_key_leds = record_leds;
        UiHooks::after_sync = record_after;
        SyncUpdate::pInstance();
    }

    void steps_in_order();
    void stop_codes_data();
    void stop_codes();
    void saves_only_when_saved_part_differs();
    void change_below_768_keeps_differing();
    void pending_mode_save_before_file_write();
    void current_image_falls_back_data();
    void current_image_falls_back();
    void pages_without_screen_take_language_only();
    void reentrant_save_from_refresh();
    void chip_thread_announcing_while_gui_refreshes();
    void announce_from_other_thread_is_queued();
};

void TestCoreSync::steps_in_order()
{
    g_zem_keys = 1;
    ZemRamPara::pInstance()->test_signal(7);
    QCOMPARE(g_calls, (QStringList{"leds", "refresh", "after 7"}));
    QCOMPARE(g_refresh_code, 7);
    g_calls.clear();
    g_zem_keys = 0;
    ZemRamPara::pInstance()->test_signal(1);
    QCOMPARE(g_calls, (QStringList{"refresh", "after 1"}));
}

void TestCoreSync::stop_codes_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("105") << 105;
    QTest::newRow("106") << 106;
}

void TestCoreSync::stop_codes()
{
    QFETCH(int, code);
    ZemRamPara *r = ZemRamPara::pInstance();
    g_zem_keys = 1;
    r->wr16(kLedWidth, 1024);
    r->wr16(kModeSaveRequest, 2);
    r->test_signal(code);
    QCOMPARE(g_calls, QStringList{"leds"});
    QVERIFY(!image_file_exists());
    QCOMPARE(r->ZemUserModeSaved(1), 0);
    QCOMPARE(r->rd16(kModeSaveRequest), uint16_t(2));
}

void TestCoreSync::saves_only_when_saved_part_differs()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    r->ram_para_save();
    QVERIFY(!image_file_exists());
    QVERIFY(shell_log().isEmpty());

    r->RAM_PARA[4095] ^= 1;
    r->ram_para_save();
    QVERIFY(image_file_exists());
    QCOMPARE(read_dev_file(QStringLiteral("/data/ram_device_info")), image_file_bytes(r->RAM_PARA));
    QCOMPARE(std::memcmp(r->RAM_PARA, r->RAM_PARA_SHADOW, 4096), 0);
    QCOMPARE(shell_log(), QStringList{"sync"});

    QFile::remove(Paths::dev(QStringLiteral("/data/ram_device_info")));
    r->ram_para_save();
    QVERIFY(!image_file_exists());
}

void TestCoreSync::change_below_768_keeps_differing()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    Ram::wr16(r->RAM_PARA, source_timing(1), 1920);
    r->ram_para_save();
    QVERIFY(!image_file_exists());
    QVERIFY(r->differs16(source_timing(1)));

    // The next write renews the whole shadow, the part below 768 included.
    r->wr16(kKeyLock, 1);
    r->ram_para_save();
    QVERIFY(image_file_exists());
    QVERIFY(!r->differs16(source_timing(1)));
    QVERIFY(!r->differs16(kKeyLock));
}

void TestCoreSync::pending_mode_save_before_file_write()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    r->wr16(kModeSaveRequest, 16);
    // A refresh that runs before the save still sees the request and the mode unchanged.
    UiHooks::refresh_screen = [](int) {
        ZemRamPara *p = ZemRamPara::p_zemrampara_config;
        g_calls << QStringLiteral("refresh %1 %2").arg(p->rd16(kModeSaveRequest)).arg(p->rd16(kCurrentMode));
    };
    r->ram_para_save();
    QCOMPARE(g_calls, (QStringList{"refresh 16 0", "after 1"}));
    QCOMPARE(r->ZemUserModeSaved(15), 1);
    QCOMPARE(r->rd16(kCurrentMode), uint16_t(16));
    QVERIFY(QFile::exists(Paths::dev(QStringLiteral("/data/modes/custom_mode16"))));
    const QByteArray image = read_dev_file(QStringLiteral("/data/ram_device_info"));
    QCOMPARE(file16(image, kCurrentMode), uint16_t(16));

    // A request equal to its shadow is no new request.
    r->wr16(kModeSaveRequest, 3);
    std::memcpy(r->RAM_PARA_SHADOW, r->RAM_PARA, 4096);
    r->ram_para_save();
    QCOMPARE(r->ZemUserModeSaved(2), 0);
    QCOMPARE(r->rd16(kModeSaveRequest), uint16_t(3));
}

void TestCoreSync::current_image_falls_back_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("enable");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("expected");
    QTest::newRow("disabled window") << 0 << 0 << 3 << 0;
    QTest::newRow("enabled window kept") << 0 << 1 << 3 << 3;
    QTest::newRow("enable word without bit 0") << 5 << 2 << 3 << 0;
    QTest::newRow("image layout page keeps it") << 9 << 0 << 3 << 3;
    QTest::newRow("no such window") << 0 << 1 << 6 << 0;
}

void TestCoreSync::current_image_falls_back()
{
    QFETCH(int, page);
    QFETCH(int, enable);
    QFETCH(int, current);
    QFETCH(int, expected);
    ZemRamPara *r = ZemRamPara::pInstance();
    r->wr16(layer(3) + kLayerEnable, uint16_t(enable));
    std::memcpy(r->RAM_PARA_SHADOW, r->RAM_PARA, 4096);
    g_page_focus = uint8_t(page);
    g_image_current = uint8_t(current);
    r->test_signal(106);
    QCOMPARE(int(g_image_current), expected);
}

void TestCoreSync::pages_without_screen_take_language_only()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    g_page_focus = 27;
    g_lcd_lang_valid = 0x02;
    r->RAM_PARA[kLanguage] = 3;
    r->ram_para_save();
    QCOMPARE(g_calls, QStringList{"after 1"});
    QCOMPARE(int(g_language), 1);
    // The corrected language is what reaches the file.
    QCOMPARE(uint8_t(read_dev_file(QStringLiteral("/data/ram_device_info"))[2]), uint8_t(1));
}

void TestCoreSync::reentrant_save_from_refresh()
{
    // A screen's refresh that saves again (test_signal inside para_sync) must neither deadlock
    // nor lose the change it made.
    static int depth;
    depth = 0;
    UiHooks::refresh_screen = [](int) {
        if (depth++ == 0) {
            ZemRamPara *p = ZemRamPara::p_zemrampara_config;
            ChipWrite chip;
            p->wr16(kQBrightness, 42);
            QCOMPARE(p->ram_para_save(), 1);
        }
    };
    ZemRamPara::pInstance()->ram_para_save();
    QCOMPARE(depth, 2);
    QCOMPARE(file16(read_dev_file(QStringLiteral("/data/ram_device_info")), kQBrightness), uint16_t(42));
    QVERIFY(ChipRequest::mutex().tryLock());
    ChipRequest::mutex().unlock();
}

namespace {
// The chip thread's announcement: under the chip mutex it hands its request to test_signal.
class Announcer : public QThread
{
public:
    void run() override
    {
        QMutexLocker lock(&ChipRequest::mutex());
        ZemRamPara::p_zemrampara_config->test_signal(1);
        ChipRequest::request() = 0;
    }
};
}

void TestCoreSync::chip_thread_announcing_while_gui_refreshes()
{
    static Announcer *announcer;
    static bool finished;
    Announcer a;
    announcer = &a;
    finished = false;
    UiHooks::refresh_screen = [](int code) {
        if (code != 5)
            return;
        // The GUI is inside para_sync when the chip thread announces; the announcement must get
        // through, and the GUI must then get the chip mutex the chip thread gave back.
        announcer->start();
        finished = announcer->wait(5000);
        if (finished)
            ChipWrite chip;
    };
    ZemRamPara::pInstance()->test_signal(5);
    a.wait();
    QVERIFY(finished);
    QCOMPARE(g_calls.count(QStringLiteral("after 1")), 0);
    QCoreApplication::processEvents();
    QCOMPARE(g_calls.count(QStringLiteral("after 1")), 1);
}

void TestCoreSync::announce_from_other_thread_is_queued()
{
    ZemRamPara *r = ZemRamPara::pInstance();
    r->wr16(kLedHeight, 600);
    QThread *t = QThread::create([] { ZemRamPara::p_zemrampara_config->test_signal(1); });
    t->start();
    QVERIFY(t->wait(5000));
    delete t;
    // Nothing runs on the announcing thread: the file appears only once the GUI loop turns.
    QVERIFY(g_calls.isEmpty());
    QVERIFY(!image_file_exists());
    QCoreApplication::processEvents();
    QVERIFY(image_file_exists());
    QCOMPARE(g_calls, (QStringList{"refresh", "after 1"}));
}

QTEST_GUILESS_MAIN(TestCoreSync)
#include "tst_core_sync.moc"
