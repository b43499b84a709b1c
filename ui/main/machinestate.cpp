#include "machinestate.h"

#include <QFrame>
#include <QLabel>

#include "fpga_regs.h"
#include "fpga_view.h"
#include "global.h"
#include "ram_layout.h"
#include "sourceinfo.h"
#include "portlamp.h"
#include "zemrampara.h"

MachineState *g_machinestate = nullptr;

namespace {
constexpr int kPorts = 6;
constexpr int kFirstPortX = 92;
constexpr int kPortPitch = 18;
constexpr int kPortY = 13;

QString two_digits(unsigned value, int base)
{
    return QStringLiteral("%1").arg(value, 2, base, QLatin1Char('0'));
}
}

MachineState::MachineState() : ScreenOf(PAGE_MACHINESTATE)
{
    ui.setupUi(this);
    ui.label_FPGA1->setGeometry(150, 15, 140, 15);

    // Left to right in list order; DVI (id 0) comes last.
    ColouredLine *const names[4] = {ui.sourceid4name, ui.sourceid1name, ui.sourceid2name, ui.sourceid3name};
    for (unsigned char id = 0; id < 4; ++id)
        names[id]->set_runs(sourceinfo::name_runs(id, sourceinfo::get_source_name_by_sourceid(id)));

    // The pictures themselves are the language's: language_changed() sets them.
    ui.label_state1->setScaledContents(true);
    ui.label_state2->setScaledContents(true);
    ui.label_state3->setScaledContents(true);

    initWlan();
    language_changed();
    version_changed();
    source_check();

    // The configuration's default bar code is a single blank: the layout's sample stays then.
    if (g_str_barcode != QLatin1String(" "))
        set_plain_text(ui.label_2, QStringLiteral("SN:") + g_str_barcode);
}

void MachineState::initWlan()
{
    delete m_port_frame;
    m_port_frame = new QFrame(ui.frame);
    m_port_frame->setGeometry(20, 20, 288, 65);
    set_look(m_port_frame, Look::Panel);

    const uint16_t ports = FpgaView::port_links();
    for (int n = 0; n < kPorts; ++n)
        (new PortLamp(n, (ports >> n) & 1, m_port_frame))->move(kFirstPortX + kPortPitch * n, kPortY);
    m_port_frame->show();
}

void MachineState::source_check()
{
    QLabel *const pixmaps[4] = {ui.sourceid4pixmap, ui.sourceid1pixmap, ui.sourceid2pixmap, ui.sourceid3pixmap};
    const ZemRamPara *para = Screen::para();
    for (unsigned char id = 0; id < 4; ++id) {
        bool online = false;
        if (para) {
            const ZemRamPara::TimingRow row = para->timing_row(id);
            online = row.width != 0 && row.height != 0 && row.rate != 0;
        }
        pixmaps[id]->setScaledContents(true);
        sourceinfo::set_sourceonline_pixmap(pixmaps[id], id, online ? 1 : 0);
    }
}

void MachineState::version_changed()
{
    const QString program = QStringLiteral("V") + two_digits(11, 10) + QLatin1Char('.') + two_digits(2, 10) +
                            QLatin1Char('.') + two_digits(0, 10) + QLatin1Char(' ') + two_digits(0x2025, 16) +
                            QLatin1Char('-') + two_digits(9, 16) + QLatin1Char('-') + two_digits(0x26, 16);
    ui.label_MCU->setText(QStringLiteral("MCU:") + program);

    uint8_t reg[256] = {};
    for (int r : {FpgaReg::kVersion, FpgaReg::kDay, FpgaReg::kMonth, FpgaReg::kYear})
        reg[r] = FpgaView::reg(r);
    const QString fpga = QStringLiteral("V") + two_digits(0x11, 16) + QLatin1Char('.') + two_digits(0, 16) +
                         QLatin1Char('.') + two_digits(reg[FpgaReg::kVersion], 16) + QLatin1Char(' ') +
                         QString::number(reg[FpgaReg::kYear] + 0x2000, 16) + QLatin1Char('-') +
                         two_digits(reg[FpgaReg::kMonth], 16) + QLatin1Char('-') + two_digits(reg[FpgaReg::kDay], 16);
    ui.label_FPGA1->setText(QStringLiteral("FPGA:") + fpga);
}

void MachineState::language_changed()
{
    ui.label_title->setText(tr5("设备信息", "Devices", "Устройство", "Thiết bị", "設備信息"));
    const int lang = ui_language();
    const bool russian = lang == LANG_RU;
    const bool chinese = lang == LANG_ZH_HANS || lang == LANG_ZH_HANT;
    const char *version = chinese   ? ":/png/version_state.png"
                          : russian ? ":/png/ru_version_state.png"
                                    : ":/png/en_version_state.png";
    ui.label_state3->setPixmap(png(QString::fromLatin1(version)));
    ui.label_state1->setPixmap(png(russian ? QStringLiteral(":/png/ru_output_state.png")
                                           : QStringLiteral(":/png/output_state.png")));
    ui.label_state2->setPixmap(png(russian ? QStringLiteral(":/png/ru_input_state.png")
                                           : QStringLiteral(":/png/input_state.png")));
}

void MachineState::syncUpdate(int code)
{
    sync_language();
    source_check();
    if (FpgaView::present() && code == CHANGE_PORT_LINKS)
        initWlan();
}
