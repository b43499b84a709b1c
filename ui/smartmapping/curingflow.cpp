#include "curingflow.h"

#include "smartmapping.h"
#include "wizard_texts.h"

CuringFlow::CuringFlow(SmartMapping &frame, Ui::SmartMapping &form)
    : ButtonFlow(frame, form, form.Button_confirm, kCuringPage)
{
    connect(ui.Button_confirm, &QPushButton::clicked, this, &CuringFlow::cure);
}

void CuringFlow::texts()
{
    ui.label_step1_6->setText(
        tr5("参数固化操作", "Parameter curing operation", "Полное сохранение всех настроек", "Lưu thông số", "參數固化操作"));
    set_point_size(ui.label_step1_6, ui_language() == LANG_RU ? 7 : 9);
    ui.Button_confirm->setText(tr5("确定", "OK", "OK", "Đồng ý", "確定"));
}

void CuringFlow::cure()
{
    if (!busy())
        m_frame.start_job(JOB_SAVE_PARA);
}
