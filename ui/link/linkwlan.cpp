#include "linkwlan.h"

#include "fields.h"
#include "global.h"
#include "my_lineedit.h"
#include "network.h"
#include "utils.h"
#include "zemrampara.h"

linkwlan *g_linkwlan = nullptr;

namespace {
constexpr int kPerRow = 4;
enum Address { kIp, kMask, kGateway };
// An octet as the edits hold it, or empty when the text is no octet.
QString plain_octet(const QString &text)
{
    const int value = Utils::octet_value(text);
    return value < 0 ? QString() : QString::number(value);
}
}

linkwlan::linkwlan() : ScreenOf(PAGE_LINKWLAN)
{
    ui.setupUi(this);
    My_lineEdit *const octets[kOctets] = {ui.lineEditIp1,   ui.lineEditIp2,   ui.lineEditIp3,   ui.lineEditIp4,
                                          ui.lineEditMask1, ui.lineEditMask2, ui.lineEditMask3, ui.lineEditMask4,
                                          ui.lineEditGate1, ui.lineEditGate2, ui.lineEditGate3, ui.lineEditGate4};
    for (int i = 0; i < kOctets; ++i) {
        My_lineEdit *edit = octets[i];
        m_octets[i] = edit;
        // Only the keyboard writes an octet: a key panel letter typed into a focused edit would
        // otherwise stand in the address.
        edit->setReadOnly(true);
        const bool mask = i / kPerRow == kMask;
        new NumberField(edit, [mask] { return mask ? QStringLiteral("Mask") : QStringLiteral("IP"); },
                        [this, edit](const QString &text) { confirmString(edit, text); });
    }
    show_stored();
    menulist_init();
    language_changed();
}

void linkwlan::show_stored()
{
    const QString *stored[] = {&g_str_ip, &g_srt_mask, &g_str_gateway};
    for (int row = kIp; row <= kGateway; ++row) {
        const QStringList parts = stored[row]->split(QLatin1Char('.'));
        // The octet the device puts in force, not a file's spelling of it: a stored "01" is 1.
        for (int k = 0; k < kPerRow; ++k) {
            const QString part = parts.value(k);
            const QString plain = plain_octet(part);
            m_octets[row * kPerRow + k]->setText(plain.isEmpty() ? part : plain);
        }
    }
}

void linkwlan::menulist_init()
{
    m_focus.clear();
    for (int i = 0; i < kOctets; ++i) {
        const int k = i % kPerRow;
        m_focus.add(m_octets[i], k == 0 ? Look::OctetFirst : k == kPerRow - 1 ? Look::OctetLast : Look::OctetMiddle);
    }
    m_focus.add(ui.Button_apply, Look::Outline);
    m_focus.add(ui.Button_cancle, Look::Outline);
    m_focus.set_action(kApplyRow, [this] { apply_network(); });
    m_focus.set_action(kCancelRow, [this] { back(); });
    m_focus.set_index(0);
}

void linkwlan::language_changed()
{
    ui.label_wlan->setText(tr5("网口设置", "Net connect", "Сетевое подключение", "Cài đặt cổng mạng", "網口設置"));
    ui.label_IpSet->setText(tr5("IP地址", "IP", "IP-адрес", "Địa chỉ IP", "IP地址"));
    ui.label_netmask->setText(tr5("子网掩码", "Mask", "Маска", "Cài đặt mặt lạ con", "子網掩碼"));
    ui.label_gateway->setText(tr5("默认网关", "Gate", "Шлюз", "Cổng vào", "默認網關"));
    ui.Button_apply->setText(tr5("应用", "Apply", "OK", "Đồng ý", "應用"));
    ui.Button_cancle->setText(tr5("取消", "Cancle", "Отмена", "Hủy bỏ", "取消"));
}

void linkwlan::confirmString(My_lineEdit *edit, const QString &text)
{
    // A refused entry empties the octet rather than leave the old one standing: the user sees the
    // refusal, and Apply, which takes no empty octet, cannot put in force an address with an
    // octet that was not typed.
    const QString plain = plain_octet(text);
    if (plain.isEmpty())
        zem_debug("linkwlan: \"%s\" is no octet, not taken\n", qPrintable(text));
    edit->setText(plain);
}

void linkwlan::apply_network()
{
    QStringList parts[3];
    for (int i = 0; i < kOctets; ++i) {
        const QString text = m_octets[i]->text();
        const QString plain = plain_octet(text);
        // An address with a gap or a stray number would go into the file and the shell as it is.
        if (plain.isEmpty()) {
            zem_debug("linkwlan: octet %d \"%s\" refused, nothing applied\n", i + 1, qPrintable(text));
            return;
        }
        parts[i / kPerRow] << plain;
    }
    const QString ip = parts[kIp].join(QLatin1Char('.'));
    const QString mask = parts[kMask].join(QLatin1Char('.'));
    const QString gateway = parts[kGateway].join(QLatin1Char('.'));
    if (ip == g_str_ip && mask == g_srt_mask && gateway == g_str_gateway)
        return;
    zem_debug("%s\n%s\n%s\n", qPrintable(ip), qPrintable(mask), qPrintable(gateway));
    if (!store_network(ip, mask, gateway))
        return;
    if (ZemRamPara *para = Screen::para())
        para->test_signal(CHANGE_PARA);
}

