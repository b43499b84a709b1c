#include "mappingflow.h"

#include "fpga_view.h"
#include "smartmapping.h"
#include "wizard_texts.h"

namespace {
// The mapping state job 4 carries to the receiving cards.
constexpr uint32_t kMappingStateOn = 9, kMappingStateOff = 0;
}

MappingFlow::MappingFlow(SmartMapping &frame, Ui::SmartMapping &form)
    : ButtonFlow(frame, form, form.Button_mapping_state, kMappingPage)
{
    connect(ui.Button_mapping_state, &QPushButton::clicked, this, &MappingFlow::turn_over);
    // As the FPGA was last read; the page reads it afresh whenever it is shown.
    show_state(FpgaView::mapping_on(false));
}

void MappingFlow::texts()
{
    ui.label_step1_7->setText(
        tr5("Mapping开关", "Mapping switch", "Переключатель сопоставления", "Bật mapping", "Mapping開關"));
    set_point_size(ui.label_step1_7, ui_language() == LANG_RU ? 7 : 9);
}

void MappingFlow::show_first_page()
{
    show_state(FpgaView::mapping_on(true));
    ButtonFlow::show_first_page();
}

void MappingFlow::show_state(bool on)
{
    ui.Button_mapping_state->setIcon(cached_icon(on ? QStringLiteral(":/png/button_on.png")
                                                    : QStringLiteral(":/png/button_off.png")));
    ui.Button_mapping_state->setIconSize(QSize(40, 20));
}

void MappingFlow::turn_over()
{
    if (busy())
        return;
    m_frame.start_job(JOB_MAPPING_ENABLE, [this] {
        // The FPGA switches at once; the job carries the same choice to the receiving cards.
        const bool on = !FpgaView::mapping_on(true);
        FpgaView::set_mapping(on);
        show_state(on);
        g_send_para.mapping_state = on ? kMappingStateOn : kMappingStateOff;
    });
}
