#include "custommode.h"

#include <QComboBox>
#include <QDebug>
#include <QKeyEvent>
#include <QPushButton>
#include <cstring>

#include "chip_request.h"
#include "global.h"
#include "lockwindow.h"
#include "ram_layout.h"
#include "syncupdate.h"
#include "zemcontrol.h"
#include "zemrampara.h"

CustomMode *g_custommode = nullptr;

void open_custommode()
{
    open_screen(g_custommode, new CustomMode, false);
}

CustomMode::CustomMode() : ScreenOf(PAGE_CUSTOMMODE)
{
    ui.setupUi(this);
    m_summary_font.setPixelSize(10);
    ui.lineEdit->setReadOnly(true);
    ui.label_blank->hide();

    const ZemRamPara *p = para();
    const int current = p ? p->ZemGetCurrentModeIndex() : 0;
    g_mode_select = static_cast<uint8_t>(current > 0 ? current - 1 : 0);
    qDebug().noquote() << QStringLiteral("custom mode = %1 current = %2").arg(g_mode_select).arg(current);

    m_selector = new zemcontrol(QRect(19, 0, 100, 22), QRect(0, 0, 20, 22), QRect(118, 0, 20, 22), this);
    m_selector->setGeometry(3, 28, 320, 24);

    set_look(ui.Button_use, Look::Thin, LookState::Normal);
    init();
    lcd_para_init();
    image_para_init();
    menulist_init();
    ui.label_ID->setText(QStringLiteral("ID:%1").arg(g_mode_select + 1));
    language_changed();
    // A deletion the disk refused brings the mode back, and its retry takes it away again: the
    // summary follows the slot, as the store holds it.
    if (SyncUpdate::p_syncupdate)
        connect(SyncUpdate::p_syncupdate, &SyncUpdate::sig_mode_removed, this, [this](int slot, bool) {
            if (slot == selected_slot())
                slot_changed();
        });
}

void CustomMode::init()
{
    for (int n = 1; n <= 16; ++n)
        m_selector->combobox->addItem(tr5("用户模式%1", "MODE %1", "Слот %1", "Chế độ %1", "用戶模式%1").arg(n));
    m_selector->setFocusPolicy(Qt::NoFocus);
    m_selector->combobox->setFocusPolicy(Qt::NoFocus);
    m_selector->combobox->setCurrentIndex(g_mode_select);
}

void CustomMode::menulist_init()
{
    m_slot = g_mode_select;
    m_key_state = 0;
    m_button = 0;
    m_selector->set_box_default();
    m_focus.clear();
    m_focus.add(m_selector);
}

void CustomMode::language_changed()
{
    ui.label_title->setText(tr5("用户模式", "User mode", "Слот", "Chế độ người dùng", "用戶模式"));
    ui.Button_delete->setText(tr5("删除", "Delete", "Удалить", "Xoá bỏ", "删除"));
    ui.Button_use->setText(tr5("调用", "Invoke", "Вызвать", "Dùng", "調用"));
    ui.label_using->setText(tr5("使用中\xC2\xAD", "Using", "Использовать", "sử dụng", "使用中\xC2\xAD"));
    ui.label_blank->setText(tr5("未保存用户模式数据", "Usermode does not exist", "Данные не сохранены",
                                 "Chế độ không được lưu", "未保存用戶模式數據"));
}

int CustomMode::selected_slot()
{
    return g_mode_select < 16 ? g_mode_select : 0;
}

int CustomMode::get_mode_status() const
{
    const ZemRamPara *p = para();
    return p && p->ZemUserModeSaved(selected_slot()) == 1 ? 1 : 0;
}

QPushButton *CustomMode::button_at(int i) const
{
    switch (i) {
    case 0: return ui.Button_use;
    case 1: return ui.Button_delete;
    case 2: return ui.Button_more;
    default: return nullptr;
    }
}

void CustomMode::zem_button_selinfo(char mode, char button)
{
    switch (mode) {
    case 0:
        set_look(button_at(button), Look::Thin, LookState::Focus);
        zem_button_mode_clicked();
        break;
    case 1:
        set_look(button_at(button), Look::Thin, LookState::Normal);
        break;
    case 2:
        for (int i = 0; i < 3; ++i)
            set_look(button_at(i), Look::Thin, LookState::Normal);
        break;
    default:
        break;
    }
}

void CustomMode::zem_button_mode_clicked()
{
    g_mode_select = m_slot;
    ui.label_ID->setText(QStringLiteral("ID:%1").arg(g_mode_select + 1));
    lcd_para_init();
    image_para_init();
}

// ---- actions ----------------------------------------------------------------------------------

void CustomMode::on_Button_use_clicked()
{
    ZemRamPara *p = para();
    const int s = selected_slot();
    if (!p || p->ZemUserModeSaved(s) != 1)
        return;
    ChipWrite write;
    p->wr16(Ram::kCurrentMode, static_cast<uint16_t>(s + 1));
    std::memcpy(p->RAM_PARA + Ram::kModeFrom, p->user_mode[s].data, Ram::kModeSize);
}

void CustomMode::slot_changed()
{
    // The buttons of an empty slot are hidden: none keeps the key focus.
    if (m_key_state == 1 && get_mode_status() == 0) {
        m_key_state = 0;
        m_selector->set_box_default();
        zem_button_selinfo(2, 0);
    }
    lcd_para_init();
    image_para_init();
}

void CustomMode::on_Button_delete_clicked()
{
    ZemRamPara *p = para();
    const int s = selected_slot();
    if (!p || p->ZemUserModeSaved(s) != 1)
        return;
    p->mode_file_deal(s, 1);
    lcd_para_init();
    image_para_init();
}

void CustomMode::key_back()
{
    if (m_key_state == 1) {
        m_key_state = 0;
        m_selector->set_box_default();
        zem_button_selinfo(2, 0);
        zem_button_mode_clicked();
        return;
    }
    if (g_mode_shortcut_key) {
        g_mode_shortcut_key = 0;
        close_screen();
        open_screen(g_lockwindow, new LockWindow, false);
        return;
    }
    leave();
}

// ---- keys -------------------------------------------------------------------------------------

QString CustomMode::key_line(PanelKey key, bool released) const
{
    return key == PanelKey::Mode ? QString() : Screen::key_line(key, released);
}

void CustomMode::key_left()
{
    step(-1);
}

void CustomMode::key_right()
{
    step(+1);
}

// Selector state: the next slot, selected and summarised at once. Button state: the next button.
void CustomMode::step(int delta)
{
    if (m_key_state == 0) {
        m_slot = static_cast<uint8_t>((m_slot + 16 + delta) % 16);
        m_selector->set_box_default();
        m_selector->set_boxindexsel(static_cast<char>(m_slot));
        zem_button_mode_clicked();
        return;
    }
    const int buttons = 3 - m_more_hidden;
    zem_button_selinfo(1, static_cast<char>(m_button));
    m_button = static_cast<uint8_t>((m_button + buttons + delta) % buttons);
    zem_button_selinfo(0, static_cast<char>(m_button));
}

void CustomMode::key_ok()
{
    if (m_key_state == 0) {
        if (get_mode_status() == 0)
            return;
        m_key_state = 1;
        m_selector->set_box_modify();
        m_button = 0;
        zem_button_selinfo(0, 0);
        return;
    }
    m_key_state = 0;
    m_selector->set_box_default();
    if (m_button == 0)
        on_Button_use_clicked();
    else if (m_button == 1)
        on_Button_delete_clicked();
    zem_button_selinfo(2, 0);
}

