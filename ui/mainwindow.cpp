#include "mainwindow.h"

#include <QDateTime>
#include <QDebug>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstring>

#include "chip_request.h"
#include "custommode.h"
#include "firmwareupdate.h"
#include "fpga_manage.h"
#include "global.h"
#include "lockwindow.h"
#include "machinestate.h"
#include "numberkeyboard.h"
#include "option.h"
#include "ram_layout.h"
#include "tip.h"
#include "ui_hooks.h"
#include "ui_mainwindow.h"
#include "utils.h"
#include "zemrampara.h"

MainWindow *g_mainwindow = nullptr;
QTimer *g_timer = nullptr;
QFrame *g_mode[16] = {};
uint8_t g_mode_select = 0;

namespace {

ZemRamPara *para()
{
    return ZemRamPara::p_zemrampara_config;
}

// The window whose sound the main menu and the home screen show; out-of-range values mean 0.
int audio_window(const uint8_t *img)
{
    const int w = img[Ram::kAudioWindow];
    return w > 5 ? 0 : w;
}

bool sound_on(const uint8_t *img, int window)
{
    return (img[Ram::layer(window) + Ram::kLayerAudio + 1] & 0x80) != 0;
}

void set_icon(QPushButton *button, const QString &path, int w, int h)
{
    button->setIcon(QIcon(path));
    button->setIconSize(QSize(w, h));
}

const char kSlotSaved[] = "background-color: #212435;border-radius:5px;";
const char kSlotEmpty[] = "background-color: #B2B2B2;border-radius:5px;";
const char kSlotChosen[] = "background-color: #00D65B;border-radius:5px;";

constexpr int kAgeLogMax = 3360;

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

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), Screen(this, PAGE_MAINWINDOW, "MainWindow"), ui(new Ui_MainWindow)
{
    ui->setupUi(this);
    ui->widget->hide();

    m_popup_font.setPointSize(9);
    mode_init();

    m_pointer = new QLabel(this);
    m_pointer->setPixmap(QPixmap(QStringLiteral(":/png/pointer.png")));
    m_pointer->setScaledContents(true);
    m_pointer->hide();
    ui->label_IP->setPixmap(QPixmap(QStringLiteral(":/png/ip.png")));
    ui->label_IP->setScaledContents(true);

    set_icon(ui->Button_lock, QStringLiteral(":/png/unlock.png"), 16, 16);
    set_icon(ui->tools, QStringLiteral(":/png/tools.png"), 16, 16);
    set_icon(ui->toolButton3, QStringLiteral(":/png/uncall.png"), 24, 36);
    set_icon(ui->toolButton4, QStringLiteral(":/png/unsave.png"), 24, 36);

    NumberKeyboard::create_shared();
    TIP::create_shared();

    UiHooks::firmware_update_start = overlay_start;
    UiHooks::firmware_update_over = overlay_over;

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
    delete ui;
}

// ---- focus ------------------------------------------------------------------------------------

QWidget *MainWindow::menu_at(int i) const
{
    return (i >= 0 && i < 6) ? m_menu[i] : nullptr;
}

void MainWindow::drop_focus_look()
{
    if (m_focused)
        m_focused->setStyleSheet(m_focused_kind == Kind::Large ? Style::kLarge : Style::kSmall);
}

void MainWindow::set_focus_to(QWidget *w, Kind kind)
{
    drop_focus_look();
    m_focused = w;
    m_focused_kind = kind;
    if (w)
        w->setStyleSheet(kind == Kind::Large ? Style::kLargeFocus : Style::kSmallFocus);
}

void MainWindow::menulist_init()
{
    m_menu[0] = ui->machinestate;
    m_menu[1] = ui->inputchoose;
    m_menu[2] = ui->custommode;
    m_menu[3] = ui->option;
    m_menu[4] = ui->Button_lock;
    m_menu[5] = ui->tools;
    m_tool[0] = ui->toolButton1;
    m_tool[1] = ui->toolButton2;
    m_tool[2] = ui->toolButton3;
    m_tool[3] = ui->toolButton4;
    m_ui_select = 0;
    m_popup_select = 0;
    m_focused = nullptr;
    set_focus_to(ui->machinestate, Kind::Large);
}

// ---- texts and icons --------------------------------------------------------------------------

void MainWindow::language_changed()
{
    set_icon(ui->machinestate, lang_png(QStringLiteral("machinestate.png")), 64, 64);
    const int lang = ui_language();
    if (lang == 1)
        set_icon(ui->inputchoose, lang_png(QStringLiteral("inputchoose.png")), 90, 64);
    else if (lang == 2 || lang == 3)
        set_icon(ui->inputchoose, lang_png(QStringLiteral("inputchoose.png")), 96, 76);
    else
        set_icon(ui->inputchoose, lang_png(QStringLiteral("inputchoose.png")), 64, 64);
    set_icon(ui->custommode, lang_png(QStringLiteral("custommode.png")), 64, 64);
    set_icon(ui->option, lang_png(QStringLiteral("option.png")), 64, 64);
    set_icon(ui->toolButton3, lang_png(l_call_state ? QStringLiteral("call.png") : QStringLiteral("uncall.png")), 24, 36);
    set_icon(ui->toolButton4, lang_png(m_save_state ? QStringLiteral("save.png") : QStringLiteral("unsave.png")), 24, 36);
    para_init();
    ip_changed();
}

void MainWindow::para_init()
{
    const ZemRamPara *p = para();
    if (!p)
        return;
    const uint8_t *img = p->RAM_PARA;
    set_icon(ui->toolButton1,
             lang_png(p->rd16(Ram::kLedOff) == 1 ? QStringLiteral("closeled.png") : QStringLiteral("uncloseled.png")),
             24, 36);
    set_icon(ui->toolButton2,
             lang_png(sound_on(img, audio_window(img)) ? QStringLiteral("unslience.png") : QStringLiteral("slience.png")),
             24, 36);
    if (p->rd16(Ram::kKeyLock) == 1) {
        l_lock_state = 1;
        set_icon(ui->Button_lock, QStringLiteral(":/png/lock.png"), 16, 16);
    } else {
        l_lock_state = 0;
        set_icon(ui->Button_lock, QStringLiteral(":/png/unlock.png"), 16, 16);
    }
}

void MainWindow::ip_changed()
{
    ui->label_IPaddr->setText(g_str_ip);
}

void MainWindow::syncUpdate(int)
{
    ZemRamPara *p = para();
    if (!p)
        return;
    if (p->ZemLanguageChanged())
        language_changed();
    const int L = audio_window(p->RAM_PARA);
    if (p->differs16(Ram::kLedOff) || p->differs16(Ram::layer(L) + Ram::kLayerAudio) || p->differs16(Ram::kKeyLock))
        para_init();
    ip_changed();
    if (m_mode_done) {
        m_mode_done = 0;
        if (g_tip)
            g_tip->tip_create(1);
    }
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
}

void MainWindow::on_custommode_clicked()
{
    mode_window_close();
    open_screen(g_custommode, new CustomMode(nullptr), false);
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
    if (l_lock_state == 0) {
        l_lock_state = 1;
        set_icon(ui->Button_lock, QStringLiteral(":/png/lock.png"), 16, 16);
    } else {
        l_lock_state = 0;
        set_icon(ui->Button_lock, QStringLiteral(":/png/unlock.png"), 16, 16);
    }
    p->RAM_PARA[Ram::kKeyLock] = static_cast<uint8_t>(value);
    p->RAM_PARA[Ram::kKeyLock + 1] = 0;
    // Only the panel reads the lock, so the chip is not asked; but it must reach the file now,
    // not with the next unrelated change, or a power cut forgets it.
    p->ram_para_save();
}

bool MainWindow::tool_row_shown() const
{
    return ui->widget->isVisibleTo(const_cast<MainWindow *>(this));
}

bool MainWindow::popup_shown() const
{
    return m_popup && m_popup->isVisibleTo(const_cast<MainWindow *>(this));
}

void MainWindow::on_tools_clicked()
{
    if (!tool_row_shown()) {
        ui->widget->show();
        drop_focus_look();
        m_ui_select = 0;
        m_popup_select = 0;
        set_focus_to(ui->toolButton1, Kind::Small);
        return;
    }
    if (m_popup) {
        m_popup->hide();
        // Deferred: this may run inside a handler of one of the popup's own buttons.
        m_popup->deleteLater();
        m_popup = nullptr;
        std::fill(std::begin(g_mode), std::end(g_mode), nullptr);
        std::fill(std::begin(m_slot_button), std::end(m_slot_button), nullptr);
        m_popup_title = nullptr;
    }
    m_pointer->hide();
    l_call_state = 0;
    m_save_state = 0;
    m_popup_select = 0;
    set_icon(ui->toolButton3, lang_png(QStringLiteral("uncall.png")), 24, 36);
    set_icon(ui->toolButton4, lang_png(QStringLiteral("unsave.png")), 24, 36);
    ui->widget->hide();
    // The touched tools entry takes the focus, so the next key starts from a visible control.
    drop_focus_look();
    m_ui_select = 5;
    set_focus_to(ui->tools, Kind::Small);
}

void MainWindow::on_toolButton1_clicked()
{
    ZemRamPara *p = para();
    if (!p)
        return;
    const uint16_t value = static_cast<uint16_t>((p->rd16(Ram::kLedOff) + 1) & 1);
    set_icon(ui->toolButton1, lang_png(value == 1 ? QStringLiteral("closeled.png") : QStringLiteral("uncloseled.png")),
             24, 36);
    ChipWrite write;
    p->RAM_PARA[Ram::kLedOff] = static_cast<uint8_t>(value);
    p->RAM_PARA[Ram::kLedOff + 1] = 0;
}

void MainWindow::on_toolButton2_clicked()
{
    ZemRamPara *p = para();
    if (!p)
        return;
    ChipWrite write;
    uint8_t *img = p->RAM_PARA;
    int L = img[Ram::kAudioWindow];
    if (L > 5 || p->rd16(Ram::layer(L) + Ram::kLayerEnable) == 0) {
        L = 0;
        p->wr16(Ram::kAudioWindow, 0);
    }
    const int audio = Ram::layer(L) + Ram::kLayerAudio;
    if (sound_on(img, L)) {
        set_icon(ui->toolButton2, lang_png(QStringLiteral("slience.png")), 24, 36);
        img[audio] = 0x00;
        img[audio + 1] = 0x00;
    } else {
        set_icon(ui->toolButton2, lang_png(QStringLiteral("unslience.png")), 24, 36);
        img[audio] = 0xFF;
        img[audio + 1] = 0x80;
    }
}

void MainWindow::show_popup()
{
    mode_init();
    m_popup->setGeometry(11, 6, 270, 230);
    m_popup_title->setText(m_save_state ? tr5("用户模式保存", "User mode save", "Сохранение настроек", "Chế độ lưu",
                                              "用戶模式保存")
                                        : tr5("用户模式调用", "User mode invocation", "Загрузка настроек",
                                              "Điều chỉnh chế độ", "用戶模式調用"));
    m_popup->show();
    m_popup->raise();
}

void MainWindow::arm_popup(bool save)
{
    ZemRamPara *p = para();
    if (save) {
        m_save_state = 1;
        if (l_call_state) {
            l_call_state = 0;
            set_icon(ui->toolButton3, lang_png(QStringLiteral("uncall.png")), 24, 36);
        }
    } else {
        l_call_state = 1;
        if (m_save_state) {
            m_save_state = 0;
            set_icon(ui->toolButton4, lang_png(QStringLiteral("unsave.png")), 24, 36);
        }
    }
    const int first = p ? p->ZemUserModeIndex(m_popup_select, 2) : 256;
    m_popup_select = first > 15 ? 0 : static_cast<uint8_t>(first);
    if (save)
        set_icon(ui->toolButton4, lang_png(QStringLiteral("save.png")), 24, 36);
    else
        set_icon(ui->toolButton3, lang_png(QStringLiteral("call.png")), 24, 36);
    show_popup();
    m_pointer->setGeometry(281, save ? 188 : 148, 9, 12);
    m_pointer->show();
    m_pointer->raise();
}

void MainWindow::on_toolButton3_clicked()
{
    if (!l_call_state) {
        arm_popup(false);
        return;
    }
    l_call_state = 0;
    set_icon(ui->toolButton3, lang_png(QStringLiteral("uncall.png")), 24, 36);
    if (m_popup)
        m_popup->hide();
    m_pointer->hide();
}

void MainWindow::on_toolButton4_clicked()
{
    if (!m_save_state) {
        arm_popup(true);
        return;
    }
    m_save_state = 0;
    set_icon(ui->toolButton4, lang_png(QStringLiteral("unsave.png")), 24, 36);
    if (m_popup)
        m_popup->hide();
    m_pointer->hide();
}

// ---- the user-mode popup ----------------------------------------------------------------------

void MainWindow::mode_init()
{
    if (m_popup) {
        m_popup->hide();
        // Deferred: a slot button's click handler rebuilds the popup that holds the button.
        m_popup->deleteLater();
    }
    const ZemRamPara *p = para();
    auto *popup = new QWidget(this);
    popup->setObjectName(QStringLiteral("widget_mode"));
    popup->setGeometry(11, 6, 270, 230);
    popup->setStyleSheet(QStringLiteral(
        "#widget_mode{background-color: rgb(255, 255, 255);border:1px groove gray;border-radius:1px;}"));
    popup->setAttribute(Qt::WA_StyledBackground, true);
    m_popup = popup;

    m_popup_title = new QLabel(popup);
    m_popup_title->setGeometry(10, 5, 210, 28);
    m_popup_title->setStyleSheet(QStringLiteral("background-color: rgb(255, 255, 255);"));
    m_popup_title->setFont(m_popup_font);

    const int current = p ? p->rd16(Ram::kCurrentMode) : 0;
    const QString using_text = tr5("使用中\xC2\xAD", "Using", "Использовать", "sử dụng", "使用中\xC2\xAD");
    for (int s = 0; s < 16; ++s) {
        const bool saved = p && p->ZemUserModeSaved(s) == 1;
        const int x = 15 + 63 * (s % 4);
        const int y = 33 + 45 * (s / 4);

        auto *frame = new QFrame(popup);
        frame->setGeometry(x, y, 50, 40);
        frame->setStyleSheet(QLatin1String(saved ? kSlotSaved : kSlotEmpty));
        g_mode[s] = frame;

        auto *number = new QLabel(popup);
        number->setGeometry(x, y, 12, 12);
        number->setStyleSheet(
            QStringLiteral("background-color: #4777FF;color: #FFFFFF;border-radius:3px;font: 7px;"));
        number->setAlignment(Qt::AlignCenter);
        number->setText(QString::number(s + 1));

        auto *image = new QLabel(frame);
        image->setGeometry(17, 12, 16, 16);
        image->setPixmap(QPixmap(saved ? QStringLiteral(":/png/mode_exist.png") : QStringLiteral(":/png/mode_blank.png")));
        image->setScaledContents(true);
        if (current == s + 1) {
            auto *tag = new QLabel(frame);
            tag->setGeometry(7, 23, 36, 17);
            tag->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255); font: 7px;"));
            tag->setAlignment(Qt::AlignCenter);
            tag->setText(using_text);
            image->move(17, 7);
        }

        auto *button = new QPushButton(popup);
        button->setObjectName(QString::number(s));
        button->setGeometry(x, y, 50, 40);
        button->setFocusPolicy(Qt::NoFocus);
        // Flat, or the style draws a solid bevel under the transparent background.
        button->setFlat(true);
        const bool ringed = s == m_popup_select && (m_save_state || (l_call_state && saved));
        button->setStyleSheet(ringed ? QStringLiteral(
                                           "background-color:transparent;border-radius:5px;border:2px solid rgb(255,171,84);")
                                     : QStringLiteral("background-color:transparent;"));
        connect(button, &QPushButton::clicked, this, &MainWindow::zem_button_mode_clicked);
        m_slot_button[s] = button;
    }
    popup->hide();
}

void MainWindow::mode_window_close()
{
    if (!m_popup)
        return;
    l_call_state = 0;
    m_save_state = 0;
    m_popup->hide();
    m_pointer->hide();
}

void MainWindow::zem_button_mode_clicked()
{
    ZemRamPara *p = para();
    const QObject *from = sender();
    if (!p || !from)
        return;
    bool ok = false;
    const int s = from->objectName().toInt(&ok);
    if (!ok || s < 0 || s > 15)
        return;

    if (g_mode_select < 16 && g_mode[g_mode_select])
        g_mode[g_mode_select]->setStyleSheet(
            QLatin1String(p->ZemUserModeSaved(g_mode_select) == 1 ? kSlotSaved : kSlotEmpty));
    g_mode_select = static_cast<uint8_t>(s);

    if (m_save_state) {
        if (s + 1 != p->rd16(Ram::kModeSaveRequest)) {
            ChipWrite write;
            p->RAM_PARA[Ram::kModeSaveRequest] = static_cast<uint8_t>(s + 1);
            p->RAM_PARA[Ram::kModeSaveRequest + 1] = 0;
        }
        m_save_state = 0;
        on_toolButton4_clicked();
        m_mode_done = 1;
    } else if (l_call_state) {
        if (p->ZemUserModeSaved(s) == 1) {
            {
                ChipWrite write;
                std::memcpy(p->RAM_PARA + Ram::kModeFrom, p->user_mode[s].data, Ram::kModeSize);
                p->RAM_PARA[Ram::kCurrentMode] = static_cast<uint8_t>(s + 1);
                // Also drops a save request still pending.
                p->RAM_PARA[Ram::kCurrentMode + 1] = 0;
                p->RAM_PARA[Ram::kModeSaveRequest] = 0;
                p->RAM_PARA[Ram::kModeSaveRequest + 1] = 0;
            }
            l_call_state = 0;
            m_popup_select = static_cast<uint8_t>(s);
            on_toolButton3_clicked();
            m_mode_done = 1;
        }
    }
    if (g_mode[s])
        g_mode[s]->setStyleSheet(QLatin1String(kSlotChosen));
}

void MainWindow::on_usermodesel_clicked(char direction)
{
    ZemRamPara *p = para();
    if (m_save_state) {
        m_popup_select = static_cast<uint8_t>(direction == 1 ? (m_popup_select + 1) % 16 : (m_popup_select + 15) % 16);
    } else if (l_call_state) {
        const int next = p ? p->ZemUserModeIndex(m_popup_select, direction == 1 ? 1 : 0) : 256;
        m_popup_select = next > 15 ? 0 : static_cast<uint8_t>(next);
    }
    show_popup();
}

void MainWindow::on_deletewidgetmode_clicked()
{
    if (m_save_state) {
        m_save_state = 0;
        set_icon(ui->toolButton4, lang_png(QStringLiteral("unsave.png")), 24, 36);
    }
    if (l_call_state) {
        l_call_state = 0;
        set_icon(ui->toolButton3, lang_png(QStringLiteral("uncall.png")), 24, 36);
    }
    if (m_popup)
        m_popup->hide();
    m_pointer->hide();
}

void MainWindow::on_toolusermode_clicked()
{
    if (armed())
        on_deletewidgetmode_clicked();
}

void MainWindow::click_selected_slot()
{
    if (m_popup_select < 16 && m_slot_button[m_popup_select])
        m_slot_button[m_popup_select]->click();
}

// ---- keys -------------------------------------------------------------------------------------

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    screen_key_press(event);
}

void MainWindow::key_back()
{
    if (!tool_row_shown()) {
        mode_window_close();
        open_screen(g_lockwindow, new LockWindow(nullptr), false);
    } else if (!armed()) {
        ui->widget->hide();
        if (m_ui_select <= 3)
            m_tool[m_ui_select]->setStyleSheet(Style::kSmall);
        else
            m_tool[0]->setStyleSheet(Style::kSmall);
        m_ui_select = 5;
        m_focused = nullptr;
        set_focus_to(ui->tools, Kind::Small);
    } else {
        on_deletewidgetmode_clicked();
        set_focus_to(m_tool[m_ui_select <= 3 ? m_ui_select : 0], Kind::Small);
    }
}

void MainWindow::keyReleaseEvent(QKeyEvent *event)
{
    const int code = event->key();
    const PanelKey key = panel_key(code);
    qDebug().noquote() << QStringLiteral("key 0x%1 [MainWindow][Release] ui_select=%2")
                              .arg(QString::number(code, 16))
                              .arg(m_ui_select);
    const bool row = tool_row_shown();
    switch (key) {
    case PanelKey::Left:
    case PanelKey::Right: {
        const int step = key == PanelKey::Right ? 1 : -1;
        if (armed()) {
            on_usermodesel_clicked(key == PanelKey::Right ? 1 : 0);
        } else if (row) {
            m_ui_select = static_cast<uint8_t>((m_ui_select + step + 4) % 4);
            set_focus_to(m_tool[m_ui_select], Kind::Small);
        } else {
            m_ui_select = static_cast<uint8_t>((m_ui_select + step + 6) % 6);
            set_focus_to(m_menu[m_ui_select], m_ui_select <= 3 ? Kind::Large : Kind::Small);
        }
        break;
    }
    case PanelKey::Ok:
        if (armed()) {
            click_selected_slot();
        } else if (row) {
            switch (m_ui_select) {
            case 0: on_toolButton1_clicked(); break;
            case 1: on_toolButton2_clicked(); break;
            case 2: on_toolButton3_clicked(); break;
            case 3: on_toolButton4_clicked(); break;
            default: break;
            }
        } else {
            switch (m_ui_select) {
            case 0: on_machinestate_clicked(); break;
            case 1: on_inputchoose_clicked(); break;
            case 2: on_custommode_clicked(); break;
            case 3: on_option_clicked(); break;
            case 4: on_Button_lock_clicked(); break;
            case 5: on_tools_clicked(); break;
            default: break;
            }
        }
        break;
    case PanelKey::Back:
        key_back();
        break;
    case PanelKey::Mode:
        if (key_lock_on())
            return;
        g_mode_shortcut_key = 1;
        on_custommode_clicked();
        break;
    case PanelKey::None:
        break;
    }
    m_zem_keyboard.update_usb_keyEvent(code);
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
    ++G_timeTicks;
    // The overlay is made by a queued call after the flag is raised: step it only once it exists.
    if (g_update_flag && g_move_update)
        g_move_update->update_time_deal();
    if (g_tip_flag && g_tip)
        g_tip->tip_outtime_deal();
    if (g_app_reset_flag && Utils::getTimeSpace(G_reboot_tickTicks) >= 300)
        Utils::system_mutex(QStringLiteral("reboot"));
    if (Utils::getTimeSpace(G_factoryage_ticks) > 17999) {
        G_factoryage_ticks = G_timeTicks;
        fpga_manage *fpga = fpga_manage::p_fpga_manage;
        if (fpga && pc_cmd_valid == 0 && fpga->get_fpga_status() == 1)
            getagelog();
        G_factoryage_ticks = G_timeTicks;
    }
    if (g_delay_usbserver == 0 && Utils::getTimeSpace(g_delay_usbserver_ticks) >= 1000)
        g_delay_usbserver = 1;
}

void MainWindow::getagelog()
{
    QDateTime now;
    {
        // Held so a clock being set by a shell command is not read half-way.
        QMutexLocker lock(&Utils::_system_mutex);
        now = QDateTime::currentDateTime();
    }
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (!fpga)
        return;
    fpga->read_from_register(40, 0);
    fpga->read_from_register(42, 0);
    fpga->read_from_register(43, 0);
    const QString line = now.toString(QStringLiteral("MM-dd hh:mm")) +
                         QStringLiteral(" %1 %2 %3")
                             .arg(fpga->MCU_REG_func[0][42])
                             .arg(fpga->MCU_REG_func[0][40])
                             .arg(fpga->MCU_REG_func[0][43]);
    factoryage_log.push_back(line);
    if (factoryage_log.size() > static_cast<size_t>(kAgeLogMax))
        factoryage_log.erase(factoryage_log.begin());
    if (factoryage_log.size() < 2)
        return;
    const QStringList newer = factoryage_log.back().split(QLatin1Char(' '));
    const QStringList older = factoryage_log[factoryage_log.size() - 2].split(QLatin1Char(' '));
    if (newer.size() < 3 || older.size() < 3)
        return;
    const int p = older.at(2).toInt();
    int n = newer.at(2).toInt();
    if (p > n)
        n += 256;
    const int d = n - p;
    if (d <= 0)
        return;
    if (d <= 2)
        ++factoryage_log_diff3;
    else if (d <= 4)
        ++factoryage_log_diff5;
    else if (d <= 9)
        ++factoryage_log_diff10;
    else if (d <= 19)
        ++factoryage_log_diff20;
    else
        ++factoryage_log_diffmore;
}
