#include <QCoreApplication>
#include <QKeyEvent>
#include <cstring>
#include <vector>

#include "c331_manage.h"
#include "clock.h"
#include "factory.h"
#include "factoryage.h"
#include "global.h"
#include "lcdshow.h"
#include "othersetup.h"
#include "ram_layout.h"
#include "shots.h"
#include "simdevice.h"
#include "zemrampara.h"

// othersetup, factoryage, lcdshow and factory. Each shot stages what it shows and puts the image, the ageing log
// and its counters back once its screen is built, so the shots after it see what they saw before.
namespace {

void keys(QWidget *w, std::initializer_list<int> codes)
{
    for (int code : codes) {
        QKeyEvent e(QEvent::KeyRelease, code, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
}

class Restore
{
public:
    Restore() : m_log(factoryage_log)
    {
        std::memcpy(m_image, ZemRamPara::p_zemrampara_config->RAM_PARA, sizeof m_image);
        for (int i = 0; i < 5; ++i)
            m_counters[i] = *counter(i);
    }
    ~Restore()
    {
        std::memcpy(ZemRamPara::p_zemrampara_config->RAM_PARA, m_image, sizeof m_image);
        factoryage_log = m_log;
        for (int i = 0; i < 5; ++i)
            *counter(i) = m_counters[i];
        set_clock_for_test({});
    }

private:
    static uint32_t *counter(int i)
    {
        uint32_t *const counters[] = {&factoryage_log_diff3, &factoryage_log_diff5, &factoryage_log_diff10,
                                      &factoryage_log_diff20, &factoryage_log_diffmore};
        return counters[i];
    }
    uint8_t m_image[Ram::kSize];
    std::vector<QString> m_log;
    uint32_t m_counters[5];
};

// Images 1 and 3 on (windows 0 and 2), the sound of image 3 shown and on, fade, WiFi on, pixel to
// pixel off.
QWidget *other(std::initializer_list<int> moves)
{
    Restore restore;
    ZemRamPara *p = ZemRamPara::p_zemrampara_config;
    for (int w = 0; w < Ram::kLayerSlots; ++w) {
        p->wr16(Ram::layer(w) + Ram::kLayerEnable, w == 0 || w == 2 ? 1 : 0);
        p->RAM_PARA[Ram::layer(w) + Ram::kLayerPointToPoint] = 0;
    }
    p->wr16(Ram::kAudioWindow, 2);
    p->wr16(Ram::layer(2) + Ram::kLayerAudio, Ram::kSoundOnWord);
    p->wr16(Ram::kSwitchEffect, 1);
    p->RAM_PARA[Ram::kWifiOff] = 0;
    p->wr16(Ram::kPixelToPixel, 0);
    open_screen(g_othersetup, new othersetup);
    keys(g_othersetup, moves);
    return g_othersetup;
}

// Samples a minute apart, the counter rising by 2, now and then a status bit down.
QWidget *ageing(int entries, std::initializer_list<int> moves)
{
    static const int kStatus[] = {31, 31, 29, 31, 15, 31, 27};
    Restore restore;
    set_clock_for_test([] { return QDateTime(QDate(2024, 9, 26), QTime(14, 3)); });
    factoryage_log.clear();
    for (int i = 0; i < entries; ++i)
        factoryage_log.push_back(QStringLiteral("09-26 %1:%2 %3 %4 %5")
                                     .arg(12 + i / 60, 2, 10, QLatin1Char('0'))
                                     .arg(i % 60, 2, 10, QLatin1Char('0'))
                                     .arg((250 + 2 * i) % 256)
                                     .arg(kStatus[i % 7])
                                     .arg(i % 11));
    factoryage_log_diff3 = entries ? uint32_t(entries - 1) : 0;
    factoryage_log_diff20 = entries ? 1 : 0;
    open_screen(g_factoryage, new factoryage);
    keys(g_factoryage, moves);
    return g_factoryage;
}

// The delays as a user left them: back to the main interface after 60 s, no screen lock.
QWidget *lcd(std::initializer_list<int> moves)
{
    const int back = g_back_to_mainwindow_time, lock = g_auto_lock_time;
    g_back_to_mainwindow_time = 6000;
    g_auto_lock_time = 120000;
    open_screen(g_lcdshow, new lcdshow);
    keys(g_lcdshow, moves);
    g_back_to_mainwindow_time = back;
    g_auto_lock_time = lock;
    return g_lcdshow;
}

// Over a chip whose flash lacks the 64-pixel Chinese font: its two sizes red, the rest green.
QWidget *factory_screen(std::initializer_list<int> moves)
{
    SimState before = *SimLock();
    SimLock()->fonts = 0x0B;
    c331_manage::create_for_test();
    open_screen(g_factory, new factory);
    keys(g_factory, moves);
    c331_manage::destroy_for_test();
    *SimLock() = before;
    return g_factory;
}

}

void add_setup_shots(ShotList &shots)
{
    shots.push_back({QStringLiteral("othersetup"), [] { return other({}); }});
    shots.push_back({QStringLiteral("othersetup_edit"),
                     [] { return other({Qt::Key_F5, Qt::Key_F5, Qt::Key_F6, Qt::Key_F5}); }});
    shots.push_back({QStringLiteral("factoryage_empty"), [] { return ageing(0, {}); }});
    shots.push_back({QStringLiteral("factoryage"), [] { return ageing(40, {}); }});
    shots.push_back({QStringLiteral("factoryage_last_page"), [] { return ageing(40, {Qt::Key_F5, Qt::Key_F6}); }});
    shots.push_back({QStringLiteral("lcdshow"), [] { return lcd({}); }});
    shots.push_back({QStringLiteral("lcdshow_edit"), [] { return lcd({Qt::Key_F5, Qt::Key_F6, Qt::Key_F4}); }});
    shots.push_back({QStringLiteral("factory"), [] { return factory_screen({}); }});
    shots.push_back({QStringLiteral("factory_language_edit"), [] { return factory_screen({Qt::Key_F6, Qt::Key_F5}); }});
    shots.push_back({QStringLiteral("factory_reset_row"), [] { return factory_screen({Qt::Key_F4}); }});
}
