#include "netset.h"

#include "fpga_view.h"
#include "zemrampara.h"

netset *g_netset = nullptr;

namespace {
// The orange tab over the selected slot.
constexpr int kTabX = 24;
constexpr int kTabY = 40;
constexpr int kTabW = 58;
constexpr int kTabH = 41;
constexpr int kSlotPitch = 68;
}

netset::netset() : ScreenOf(PAGE_NETSET)
{
    ui.setupUi(this);
    ui.l_p->setPixmap(png(QStringLiteral(":/png/ltri.png")));
    ui.r_p->setPixmap(png(QStringLiteral(":/png/rtri.png")));
    wlan_para_get(0);
    initWlan();
    language_changed();
    menulist_init();
}

QPushButton *netset::slot_button(int k) const
{
    QPushButton *const buttons[kSlots] = {ui.LED1Button, ui.LED2Button, ui.LED3Button, ui.LED4Button};
    return buttons[k];
}

void netset::menulist_init()
{
    m_select = m_sel = m_min_select = 0;
    ui.net_frame->setGeometry(kTabX, kTabY, kTabW, kTabH);
    set_look(slot_button(0), Look::PortSlot, LookState::Focus);
}

void netset::language_changed()
{
    ui.label_netset->setText(tr5("网口输出", "Port output", "Настройка LAN", "Cài đặt cổng MẠNG", "網口輸出"));
    ui.w_label->setText(tr5("宽", "W", "Ширина", "Rộng", "寬"));
    ui.h_label->setText(tr5("高", "H", "Высота", "Cao", "高"));
}

void netset::syncUpdate(int)
{
    ZemRamPara *para = Screen::para();
    if (para && para->ZemLanguageChanged()) {
        language_changed();
        wlan_para_get(m_select);
    }
}

void netset::wlan_para_get(int index)
{
    if (index >= kPorts)
        index = 0;
    const std::array<uint16_t, 4> area = FpgaView::port_area(index);
    QLineEdit *const fields[4] = {ui.x_lineEdit, ui.y_lineEdit, ui.w_lineEdit, ui.h_lineEdit};
    for (int i = 0; i < 4; ++i)
        fields[i]->setText(QString::number(area[i]));

    const QString name = tr5("网口LED%d", "LED%d", "LED%d", "LED%d", "網口LED%d");
    QLabel *const labels[kSlots] = {ui.LED1label, ui.LED2label, ui.LED3label, ui.LED4label};
    for (int k = 0; k < kSlots; ++k)
        labels[k]->setText(QString::asprintf(name.toUtf8().constData(), m_min_select + k + 1));
}

void netset::initWlan()
{
    const uint16_t links = FpgaView::port_links();
    QLabel *const icons[kSlots] = {ui.L1label, ui.L2label, ui.L3label, ui.L4label};
    for (int k = 0; k < kSlots; ++k) {
        const bool up = (links >> (m_min_select + k)) & 1;
        icons[k]->setPixmap(png(up ? QStringLiteral(":/png/online_up.png") : QStringLiteral(":/png/offline_up.png")));
    }
}

void netset::select_slot(int k)
{
    set_look(slot_button(m_sel), Look::PortSlot, LookState::Normal);
    m_select += k - m_sel;
    m_sel = k;
    set_look(slot_button(m_sel), Look::PortSlot, LookState::Focus);
}

void netset::after_move()
{
    ui.net_frame->setGeometry(kTabX + kSlotPitch * m_sel, kTabY, kTabW, kTabH);
    wlan_para_get(m_select);
    initWlan();
}

void netset::key_right()
{
    if (m_sel < kSlots - 1) {
        select_slot(m_sel + 1);
    } else {
        // The last slot: the strip scrolls, up to the last port.
        if (m_select < kPorts - 1)
            ++m_select;
        m_min_select = m_select - (kSlots - 1);
    }
    after_move();
}

void netset::key_left()
{
    if (m_sel > 0) {
        select_slot(m_sel - 1);
    } else if (m_min_select > 0) {
        --m_min_select;
        --m_select;
    }
    after_move();
}
