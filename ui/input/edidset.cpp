#include "edidset.h"

#include <QFrame>
#include <QPushButton>

#include "fields.h"
#include "ram_layout.h"
#include "sourcecard.h"
#include "sourceinfo.h"
#include "zemrampara.h"

EDIDset *g_edidset = nullptr;

namespace {
constexpr int kInputs = 4;
constexpr int kHighlightPitch = 52;
constexpr QPoint kHighlight(4, 38);
constexpr QPoint kCard(10, 10);   // in its frame

// A field's text as the store takes it: a signed 16-bit decimal number, 0 for anything else.
int16_t field_value(const QString &text)
{
    bool ok = false;
    const short v = text.toShort(&ok, 10);
    return ok ? v : 0;
}

QString source_prefix()
{
    return tr5("EDID信源:", "EDID source:", "Источник EDID:", "Tín hiệu EDID:", "EDID信源:");
}
}

EDIDset::EDIDset() : ScreenOf(PAGE_EDIDSET)
{
    ui.setupUi(this);
    m_row = SourceRow(this);
    m_row.show_names();
    m_row.show_icons();

    set_look(ui.input_highlight, Look::EdidTab, LookState::Focus);
    m_input_name = sourceinfo::get_source_name_by_listseq(0);
    ui.frame_add->hide();

    QFont button_font = font();
    button_font.setPixelSize(9);
    for (QPushButton *b : {ui.Button_cancel, ui.Button_save, ui.Button_delete}) {
        b->setFont(button_font);
        set_look(b, Look::Outline, LookState::Normal);
        b->hide();
    }

    const auto width_title = [] { return tr5("宽", "W", "W", "W", "寬"); };
    const auto height_title = [] { return tr5("高", "H", "H", "H", "高"); };
    new NumberField(ui.lineEdit_W, width_title);
    new NumberField(ui.lineEdit_H, height_title);

    m_focus.set({ui.lineEdit_W, ui.lineEdit_H, ui.label_rate, ui.Button_delete, ui.Button_cancel, ui.Button_save},
                Look::Thin);
    FocusList::Editor rate;
    rate.begin = [this] {
        m_saved_rate = m_rate;
        return true;
    };
    rate.step = [this](int) {
        m_rate = m_rate ? 0 : 1;
        show_rate();
    };
    rate.commit = [this] { show_rate(); };
    rate.revert = [this] {
        m_rate = m_saved_rate;
        show_rate();
    };
    m_focus.set_editor(RowRate, rate);
    // The buttons answer the keys only, not a touch; Delete does what Cancel does.
    m_focus.set_action(RowDelete, [this] { zem_button_cancel_clicked(); });
    m_focus.set_action(RowCancel, [this] { zem_button_cancel_clicked(); });
    m_focus.set_action(RowSave, [this] { zem_button_ok_clicked(); });

    QFont card_font = font();
    card_font.setPixelSize(10);
    m_card = new SourceCard(SourceCard::Kind::EdidInput, card_font, ui.frame_source);
    m_card->move(kCard);

    menulist_init();
    source_init();
    language_changed();
}

void EDIDset::menulist_init()
{
    m_levels.back_to(Level::Inputs);
    m_levels.set_index(0);
    m_rate = 0;
    m_saved_rate = 0;
    m_focus.set_index(RowWidth);
    m_focus.unfocus_current();
    set_look(ui.Button_delete, Look::Thin, LookState::Normal);
}

// ---- the input and its card -------------------------------------------------------------------

void EDIDset::show_input()
{
    const auto input = static_cast<unsigned char>(m_levels.index_of(Level::Inputs));
    ui.input_highlight->move(kHighlight + QPoint(kHighlightPitch * input, 0));
    m_input = sourceinfo::get_source_id_by_listseq(input);
    m_input_name = sourceinfo::get_source_name_by_listseq(input);
    source_init();
}

void EDIDset::source_init()
{
    set_look(ui.frame_source, Look::ListFrame, m_levels.at(Level::Frame) ? LookState::Normal : LookState::Focus);
    const ZemRamPara *p = para();
    const int at = Ram::edid(m_input);
    m_card->set_entry(m_input, m_input_name,
                      p ? QStringLiteral("%1x%2@%3Hz")
                              .arg(Ram::rds16(p->RAM_PARA, at))
                              .arg(Ram::rds16(p->RAM_PARA, at + 2))
                              .arg(Ram::rds16(p->RAM_PARA, at + 4))
                        : QString());
}

QString EDIDset::card_text() const
{
    return m_card->info();
}

// ---- the edit frame ---------------------------------------------------------------------------

void EDIDset::zem_button_source_clicked()
{
    set_look(ui.input_highlight, Look::EdidTab, LookState::Normal);
    set_look(ui.frame_source, Look::ListFrame, LookState::Normal);
    ui.label_edid_source->setText(source_prefix() + m_input_name);
    const ZemRamPara *p = para();
    const int at = Ram::edid(m_input);
    const int rate = p ? p->rd16(at + 4) : 0;
    ui.lineEdit_W->setText(QString::number(p ? p->rd16(at) : 0));
    ui.lineEdit_H->setText(QString::number(p ? p->rd16(at + 2) : 0));
    ui.label_rate->setText(QString::number(rate));
    m_rate = rate == 60 ? 1 : 0;
    ui.frame_add->show();
    ui.Button_delete->show();
    ui.Button_cancel->show();
    ui.Button_save->show();
}

void EDIDset::show_rate()
{
    ui.label_rate->setText(m_rate ? QStringLiteral("60") : QStringLiteral("30"));
}

void EDIDset::close_frame()
{
    set_look(ui.input_highlight, Look::EdidTab, LookState::Focus);
    m_levels.back_to(Level::Inputs);
    ui.frame_add->hide();
    ui.Button_delete->hide();
    ui.Button_cancel->hide();
    ui.Button_save->hide();
}

void EDIDset::zem_button_ok_clicked()
{
    close_frame();
    const int16_t width = field_value(ui.lineEdit_W->text());
    const int16_t height = field_value(ui.lineEdit_H->text());
    const int16_t rate = field_value(ui.label_rate->text());
    if (ZemRamPara *p = para())
        p->ZemSetEDIDPara(m_input, static_cast<uint16_t>(width), static_cast<uint16_t>(height), static_cast<uint16_t>(rate));
    m_rate = rate == 60 ? 1 : 0;
    source_init();
}

void EDIDset::zem_button_cancel_clicked()
{
    close_frame();
    // A change that came while the frame was open was not drawn: the card shows the image again.
    source_init();
}

void EDIDset::slot_Button_back_clicked()
{
    leave();
}

void EDIDset::language_changed()
{
    ui.label_title->setText(tr5("设置EDID", "EDID Settings", "Настройка EDID", "Cài đặt EDID", "設置EDID"));
    ui.label_edid_source->setText(source_prefix() + m_input_name);
    ui.label_W->setText(tr5("宽", "W", "Ширина", "Rộng", "寬"));
    ui.label_H->setText(tr5("高", "H", "Высота", "Cao", "高"));
    ui.label_freq->setText(tr5("刷新率", "Refresh rate", "Частота", "Tần số", "刷新率"));
    ui.Button_cancel->setText(tr5("取消", "Cancle", "Отмена", "Hủy bỏ", "取消"));
    ui.Button_save->setText(tr5("保存", "SAVE", "Сохранить", "lưu", "保存"));
    ui.Button_delete->setText(tr5("删除", "Delete", "Удалить", "Xoá bỏ", "删除"));
}

void EDIDset::syncUpdate(int)
{
    sync_language();
    const ZemRamPara *p = para();
    // The rate alone does not redraw the card; an open frame keeps what is being typed.
    if (p && m_levels.at(Level::Inputs) && (p->differs16(Ram::edid(m_input)) || p->differs16(Ram::edid(m_input) + 2)))
        source_init();
}

// ---- keys -------------------------------------------------------------------------------------

void EDIDset::key_left()
{
    if (m_levels.at(Level::Frame)) {
        m_focus.left();
        return;
    }
    m_levels.set_index(m_levels.index() == 0 ? kInputs - 1 : m_levels.index() - 1);
    show_input();
}

void EDIDset::key_right()
{
    if (m_levels.at(Level::Frame)) {
        m_focus.right();
        return;
    }
    m_levels.set_index(m_levels.index() + 1 >= kInputs ? 0 : m_levels.index() + 1);
    show_input();
}

void EDIDset::key_ok()
{
    if (m_levels.at(Level::Inputs)) {
        zem_button_source_clicked();
        m_levels.enter(Level::Frame, RowWidth, &m_focus);
        return;
    }
    // A field opens the keyboard as a touch would, the rate its value, a button its action.
    m_focus.ok();
}

void EDIDset::key_back()
{
    if (m_levels.at(Level::Inputs)) {
        slot_Button_back_clicked();
        return;
    }
    if (!m_focus.back())
        zem_button_cancel_clicked();
}
