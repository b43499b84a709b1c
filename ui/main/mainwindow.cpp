#include "mainwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "chip_request.h"
#include "custommode.h"
#include "firmwareupdate.h"
#include "inputchoose.h"
#include "global.h"
#include "lockwindow.h"
#include "machinestate.h"
#include "numberkeyboard.h"
#include "option.h"
#include "ram_layout.h"
#include "syncupdate.h"
#include "tick.h"
#include "tip.h"
#include "uihooks.h"
#include "zemrampara.h"

MainWindow *g_mainwindow = nullptr;
QTimer *g_timer = nullptr;

int audio_window(const uint8_t *img, int base)
{
    const int w = img[Ram::kAudioWindow - base];
    return w > 5 ? 0 : w;
}

bool sound_on(const uint8_t *img, int window, int base)
{
    return (Ram::rd16(img, Ram::layer(window) + Ram::kLayerAudio - base) & 0x8000) != 0;
}

namespace {

void set_icon(QPushButton *button, const QString &path, QSize size)
{
    button->setIcon(cached_icon(path));
    button->setIconSize(size);
}

// The tools' pictures, 24 x 36 in the language's form.
void set_tool_icon(QPushButton *button, const char *name)
{
    set_icon(button, lang_png(QLatin1String(name)), QSize(24, 36));
}

void overlay_start()
{
    if (g_mainwindow)
        g_mainwindow->update_start();
}

void overlay_over()
{
    if (g_mainwindow)
        g_mainwindow->update_over();
}

}

MainWindow::MainWindow() : ScreenOf(PAGE_MAINWINDOW)
{
    ui.setupUi(this);
    ui.widget->hide();

    m_popup_font.setPointSize(9);
    mode_init();

    m_pointer = new QLabel(this);
    m_pointer->setPixmap(png(QStringLiteral(":/png/pointer.png")));
    m_pointer->setScaledContents(true);
    m_pointer->hide();
    ui.label_IP->setPixmap(png(QStringLiteral(":/png/ip.png")));
    ui.label_IP->setScaledContents(true);
    set_icon(ui.tools, QStringLiteral(":/png/tools.png"), QSize(16, 16));

    NumberKeyboard::create_shared();
    TIP::create_shared();

    UiHooks::firmware_update_start = overlay_start;
    UiHooks::firmware_update_over = overlay_over;
    // A save is carried out after the refresh; its check mark waits for the outcome.
    if (SyncUpdate::p_syncupdate)
        connect(SyncUpdate::p_syncupdate, &SyncUpdate::sig_mode_saved, this, [this](int, bool saved) {
            if (!m_save_asked)
                return;
            m_save_asked = false;
            if (saved && g_tip)
                g_tip->tip_create(TIP_DONE);
        });

    menulist_init();
    language_changed();
}

MainWindow::~MainWindow()
{
    if (UiHooks::firmware_update_start == overlay_start)
        UiHooks::firmware_update_start = nullptr;
    if (UiHooks::firmware_update_over == overlay_over)
        UiHooks::firmware_update_over = nullptr;
    if (g_mainwindow == this)
        g_mainwindow = nullptr;
}

void MainWindow::menulist_init()
{
    m_focus.clear();
    for (QWidget *entry : {ui.machinestate, ui.inputchoose, ui.custommode, ui.option})
        m_focus.add(entry, Look::Large);
    m_focus.add(ui.Button_lock, Look::Small);
    m_focus.add(ui.tools, Look::Small);
    m_tools.clear();
    for (QWidget *tool : {ui.toolButton1, ui.toolButton2, ui.toolButton3, ui.toolButton4})
        m_tools.add(tool, Look::Small);
    m_popup_select = 0;
    m_focus.set_index(0);
}

QWidget *MainWindow::focused_control() const
{
    return tool_row_shown() ? m_tools.current() : m_focus.current();
}

// ---- texts and icons --------------------------------------------------------------------------

void MainWindow::language_changed()
{
    const int lang = ui_language();
    const QSize input = lang == LANG_EN                    ? QSize(90, 64)
                        : (lang == LANG_RU || lang == LANG_VI) ? QSize(96, 76)
                                                               : QSize(64, 64);
    set_icon(ui.machinestate, lang_png(QStringLiteral("machinestate.png")), QSize(64, 64));
    set_icon(ui.inputchoose, lang_png(QStringLiteral("inputchoose.png")), input);
    set_icon(ui.custommode, lang_png(QStringLiteral("custommode.png")), QSize(64, 64));
    set_icon(ui.option, lang_png(QStringLiteral("option.png")), QSize(64, 64));
    show_armed_icons();
    para_init();
    ip_changed();
}

void MainWindow::show_armed_icons()
{
    set_tool_icon(ui.toolButton3, l_call_state ? "call.png" : "uncall.png");
    set_tool_icon(ui.toolButton4, m_save_state ? "save.png" : "unsave.png");
}

void MainWindow::show_lock(bool locked)
{
    l_lock_state = locked ? 1 : 0;
    set_icon(ui.Button_lock, locked ? QStringLiteral(":/png/lock.png") : QStringLiteral(":/png/unlock.png"),
             QSize(16, 16));
}

void MainWindow::para_init()
{
    const ZemRamPara *p = para();
    if (!p)
        return;
    set_tool_icon(ui.toolButton1, p->rd16(Ram::kLedOff) == 1 ? "closeled.png" : "uncloseled.png");
    set_tool_icon(ui.toolButton2, sound_on(p->RAM_PARA, audio_window(p->RAM_PARA)) ? "unslience.png" : "slience.png");
    show_lock(p->rd16(Ram::kKeyLock) == 1);
}

void MainWindow::ip_changed()
{
    ui.label_IPaddr->setText(g_str_ip);
}

void MainWindow::syncUpdate(int)
{
    ZemRamPara *p = para();
    if (!p)
        return;
    sync_language();
    const int L = audio_window(p->RAM_PARA);
    if (p->differs16(Ram::kLedOff) || p->differs16(Ram::layer(L) + Ram::kLayerAudio) || p->differs16(Ram::kKeyLock))
        para_init();
    ip_changed();
}

// ---- entries ----------------------------------------------------------------------------------

void MainWindow::on_machinestate_clicked()
{
    mode_window_close();
    open_screen(g_machinestate, new MachineState);
}

void MainWindow::on_inputchoose_clicked()
{
    mode_window_close();
    open_screen(g_inputchoose, new InputChoose);
}

void MainWindow::on_custommode_clicked()
{
    mode_window_close();
    open_screen(g_custommode, new CustomMode, false);
}

void MainWindow::on_option_clicked()
{
    mode_window_close();
    open_screen(g_option, new Option);
}

// ---- lock and tools ---------------------------------------------------------------------------

void MainWindow::on_Button_lock_clicked()
{
    ZemRamPara *p = para();
    if (!p)
        return;
    const uint16_t value = static_cast<uint16_t>((p->rd16(Ram::kKeyLock) + 1) & 1);
    show_lock(l_lock_state == 0);
    {
        ChipLock lock;
        p->wr16(Ram::kKeyLock, value);
    }
    // Only the panel reads the lock, so the chip is not asked; but it must reach the file now,
    // not with the next unrelated change, or a power cut forgets it.
    p->ram_para_save();
}

bool MainWindow::tool_row_shown() const
{
    return ui.widget->isVisibleTo(const_cast<MainWindow *>(this));
}

bool MainWindow::popup_shown() const
{
    return m_popup && m_popup->isVisibleTo(const_cast<MainWindow *>(this));
}

void MainWindow::on_tools_clicked()
{
    if (!tool_row_shown()) {
        ui.widget->show();
        m_focus.unfocus_current();
        m_popup_select = 0;
        m_tools.set_index(0);
        return;
    }
    drop_popup();
    m_pointer->hide();
    l_call_state = 0;
    m_save_state = 0;
    m_popup_select = 0;
    show_armed_icons();
    ui.widget->hide();
    // The touched tools entry takes the focus, so the next key starts from a visible control.
    m_tools.unfocus_current();
    m_focus.set_index(5);
}

void MainWindow::on_toolButton1_clicked()
{
    ZemRamPara *p = para();
    if (!p)
        return;
    const uint16_t value = static_cast<uint16_t>((p->rd16(Ram::kLedOff) + 1) & 1);
    set_tool_icon(ui.toolButton1, value == 1 ? "closeled.png" : "uncloseled.png");
    ChipWrite write;
    p->wr16(Ram::kLedOff, value);
}

void MainWindow::on_toolButton2_clicked()
{
    ZemRamPara *p = para();
    if (!p)
        return;
    ChipWrite write;
    int L = p->RAM_PARA[Ram::kAudioWindow];
    if (L > 5 || p->rd16(Ram::layer(L) + Ram::kLayerEnable) == 0) {
        L = 0;
        p->wr16(Ram::kAudioWindow, 0);
    }
    const bool on = sound_on(p->RAM_PARA, L);
    set_tool_icon(ui.toolButton2, on ? "slience.png" : "unslience.png");
    p->wr16(Ram::layer(L) + Ram::kLayerAudio, on ? 0 : Ram::kSoundOnWord);
}

void MainWindow::on_toolButton3_clicked()
{
    if (l_call_state)
        close_mode_popup();
    else
        arm_popup(false);
}

void MainWindow::on_toolButton4_clicked()
{
    if (m_save_state)
        close_mode_popup();
    else
        arm_popup(true);
}

// ---- keys -------------------------------------------------------------------------------------

void MainWindow::key_left()
{
    if (armed())
        step_mode_popup(0);
    else
        active_list().move(-1);
}

void MainWindow::key_right()
{
    if (armed())
        step_mode_popup(1);
    else
        active_list().move(+1);
}

void MainWindow::key_ok()
{
    if (!armed()) {
        active_list().click_current();
        return;
    }
    if (m_popup) {
        if (auto *slot = m_popup->findChild<QPushButton *>(QString::number(m_popup_select)))
            slot->click();
    }
}

void MainWindow::key_back()
{
    if (!tool_row_shown()) {
        mode_window_close();
        open_screen(g_lockwindow, new LockWindow, false);
    } else if (!armed()) {
        ui.widget->hide();
        m_tools.unfocus_current();
        m_focus.set_index(5);
    } else {
        close_mode_popup();
        m_tools.set_index(m_tools.index());
    }
}

int MainWindow::key_select() const
{
    return tool_row_shown() ? m_tools.index() : m_focus.index();
}

// The main menu stays open underneath; the user-mode screen's back then leads home.
void MainWindow::key_mode()
{
    g_mode_shortcut_key = 1;
    on_custommode_clicked();
}

// ---- upgrade overlay --------------------------------------------------------------------------

void MainWindow::update_start()
{
    UiHooks::on_gui_thread([] { firmware_update_start(); });
}

void MainWindow::update_over()
{
    UiHooks::on_gui_thread([] { firmware_update_over(); });
}

// ---- tick -------------------------------------------------------------------------------------

void MainWindow::slot_update_timer_ticks()
{
    ui_tick();
}

void MainWindow::getagelog()
{
    sample_agelog();
}
