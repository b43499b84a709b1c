#include "lcdshow.h"

#include "global.h"
#include "zemrampara.h"

lcdshow *g_lcdshow = nullptr;

namespace {

// The delays in ticks, by entry. "Never" is the longest delay offered, the same for both, not a
// code of its own.
constexpr int kBackTicks[] = {3000, 6000, 120000};
constexpr int kLockTicks[] = {30000, 60000, 120000};

// The entry of a stored delay; none (-1) for a value no entry has.
template <size_t N>
int entry_of(const int (&ticks)[N], int value)
{
    for (size_t i = 0; i < N; ++i) {
        if (ticks[i] == value)
            return int(i);
    }
    return -1;
}

template <size_t N>
int ticks_of(const int (&ticks)[N], int entry)
{
    return ticks[entry >= 0 && entry < int(N) ? entry : 0];
}

QString never()
{
    return tr5("从不", "Never", "Отключить", "Không bao giờ khoá", "從不");
}

}

lcdshow::lcdshow() : ScreenOf(PAGE_LCDSHOW)
{
    ui.setupUi(this);
    m_back = ChoiceField(ui.comboBox_back);
    m_lock = ChoiceField(ui.comboBox_lock);
    m_focus.add(ui.comboBox_back, Look::Combo);
    m_focus.add(ui.comboBox_lock, Look::Combo);
    m_focus.set_editor(kBackRow, m_back.editor([this](int) { store_back_delay(); }));
    m_focus.set_editor(kLockRow, m_lock.editor([this](int) { store_lock_delay(); }));
    para_init();
    menulist_init();
    language_changed();
}

void lcdshow::para_init()
{
    m_back.set_entries({tr5("30", "30", "30", "30", "30"), tr5("60", "60", "60", "60", "60"), never()},
                       entry_of(kBackTicks, g_back_to_mainwindow_time));
    m_lock.set_entries({tr5("5分钟", "5min", "5 мин", "5 phút", "5分鐘"), tr5("10分钟", "10min", "10 мин", "10 phút", "10分鐘"),
                        never()},
                       entry_of(kLockTicks, g_auto_lock_time));
}

void lcdshow::menulist_init()
{
    m_focus.set_index(kBackRow);
}

void lcdshow::language_changed()
{
    ui.label_LCDshow->setText(tr5("液晶显示", "LCD display", "ЖК дисплей", "Màn hình LCD", "液晶顯示"));
    ui.label_backmainwindow->setText(
        tr5("返回主界面时长", "To main interface", "Возврат к главному", "Quay lại màn hình chính", "返回主界麵時長"));
    ui.label_autolock->setText(tr5("自动锁屏", "Auto-screen lock", "Автоблокировка", "Tự đọng khoá màn hình", "自動鎖屏"));
}

void lcdshow::syncUpdate(int)
{
    ZemRamPara *para = Screen::para();
    if (!para || !para->ZemLanguageChanged())
        return;
    language_changed();
    para_init();
    m_focus.drop_edit();
}

void lcdshow::store_back_delay()
{
    g_back_to_mainwindow_time = ticks_of(kBackTicks, m_back.current());
}

void lcdshow::store_lock_delay()
{
    g_auto_lock_time = ticks_of(kLockTicks, m_lock.current());
}
