#include "edidset.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "fields.h"
#include "inputchoose.h"
#include "ram_layout.h"
#include "sourceinfo.h"
#include "zemrampara.h"

EDIDset *g_edidset = nullptr;

namespace {
constexpr int kInputs = 4;
constexpr int kHighlightPitch = 52;
constexpr QRect kHighlight(4, 38, 50, 43);
constexpr QRect kCard(4, 80, 310, 120);
constexpr QRect kCardGround(10, 10, 120, 50);
constexpr QRect kCardDot(15, 13, 7, 7);
constexpr QRect kCardIcon(25, 13, 25, 8);
constexpr QRect kCardName(15, 24, 60, 12);
constexpr QRect kCardEdid(15, 39, 88, 12);
constexpr QRect kDelete(65, 214, 50, 20);
constexpr QRect kCancel(135, 214, 50, 20);
constexpr QRect kSave(205, 214, 50, 20);
const QString kCardText = QStringLiteral("background-color:#212435;color:#FFFFFF");

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
    QLabel *const names[kInputs] = {ui.sourcelistseq0name, ui.sourcelistseq1name, ui.sourcelistseq2name,
                                    ui.sourcelistseq3name};
    QLabel *const icons[kInputs] = {ui.sourcelistseq0pixmap, ui.sourcelistseq1pixmap, ui.sourcelistseq2pixmap,
                                    ui.sourcelistseq3pixmap};
    for (int pos = 0; pos < kInputs; ++pos) {
        const auto p = static_cast<unsigned char>(pos);
        const unsigned char id = sourceinfo::get_source_id_by_listseq(p);
        names[pos]->setText(sourceinfo::get_source_specialstyle0_by_sourceid(id).arg(sourceinfo::get_source_name_by_listseq(p)));
        icons[pos]->setScaledContents(true);
        sourceinfo::set_source_pixmap(icons[pos], id);
    }
    for (QWidget *w : {static_cast<QWidget *>(ui.sourcelistseq4name), static_cast<QWidget *>(ui.sourcelistseq4pixmap),
                       static_cast<QWidget *>(ui.sourcelistseq5name), static_cast<QWidget *>(ui.sourcelistseq5pixmap)})
        w->hide();

    m_highlight = new QFrame(this);
    m_highlight->setObjectName(QStringLiteral("input_highlight"));
    m_highlight->setGeometry(kHighlight);
    set_look(m_highlight, Look::EdidTab, LookState::Focus);
    m_highlight->lower();
    m_input_name = sourceinfo::get_source_name_by_listseq(0);
    ui.frame_add->hide();

    QFont button_font = font();
    button_font.setPixelSize(9);
    const auto make_button = [this, &button_font](const char *name) {
        auto *b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        b->setFont(button_font);
        b->setFocusPolicy(Qt::NoFocus);
        set_look(b, Look::Outline, LookState::Normal);
        b->hide();
        return b;
    };
    m_cancel = make_button("Button_cancel");
    m_save = make_button("Button_save");
    m_delete = make_button("Button_delete");

    const auto width_title = [] { return tr5("宽", "W", "W", "W", "寬"); };
    const auto height_title = [] { return tr5("高", "H", "H", "H", "高"); };
    new NumberField(ui.lineEdit_W, width_title);
    new NumberField(ui.lineEdit_H, height_title);

    m_focus.set({ui.lineEdit_W, ui.lineEdit_H, ui.label_rate, m_delete, m_cancel, m_save}, Look::Thin);
    FocusList::Editor rate;
    rate.begin = [this] {
        m_saved_rate = m_rate;
        return true;
    };
    rate.step = [this](int) {
        m_rate = m_rate ? 0 : 1;
        on_Button_freq_clicked();
    };
    rate.commit = [this] { on_Button_freq_clicked(); };
    rate.revert = [this] {
        m_rate = m_saved_rate;
        on_Button_freq_clicked();
    };
    m_focus.set_editor(RowRate, rate);

    menulist_init();
    source_init();
    language_changed();
}

void EDIDset::menulist_init()
{
    ui_select = 0;
    m_open = false;
    m_rate = 0;
    m_saved_rate = 0;
    m_focus.set_index(RowWidth);
    m_focus.unfocus_current();
    set_look(m_delete, Look::Thin, LookState::Normal);
}

// ---- the input and its card -------------------------------------------------------------------

void EDIDset::zem_button_input_clicked()
{
    m_highlight->move(kHighlightPitch * ui_select + kHighlight.x(), kHighlight.y());
    m_input = sourceinfo::get_source_id_by_listseq(ui_select);
    m_input_name = sourceinfo::get_source_name_by_listseq(ui_select);
    source_init();
}

void EDIDset::source_init()
{
    if (!m_card) {
        m_card = new QFrame(this);
        m_card->setObjectName(QStringLiteral("frame_source"));
        m_card->setGeometry(kCard);
        auto *ground = new QFrame(m_card);
        ground->setGeometry(kCardGround);
        ground->setStyleSheet(QStringLiteral("background-color: #212435;border:1px solid #CCCCCC;"));
        auto *dot = new QLabel(m_card);
        dot->setGeometry(kCardDot);
        dot->setPixmap(png(QStringLiteral(":/png/state_on.png")));
        dot->setScaledContents(true);
        m_card_icon = new QLabel(m_card);
        m_card_icon->setGeometry(kCardIcon);
        m_card_icon->setStyleSheet(QStringLiteral("background-color: #212435;"));
        m_card_icon->setScaledContents(true);
        QFont font10 = font();
        font10.setPixelSize(10);
        m_card_name = new QLabel(m_card);
        m_card_name->setObjectName(QStringLiteral("card_name"));
        m_card_name->setGeometry(kCardName);
        m_card_edid = new QLabel(m_card);
        m_card_edid->setObjectName(QStringLiteral("card_edid"));
        m_card_edid->setGeometry(kCardEdid);
        for (QLabel *l : {m_card_name, m_card_edid}) {
            l->setStyleSheet(kCardText);
            l->setFont(font10);
        }
        m_card->lower();
    }
    set_look(m_card, Look::ListFrame, m_open ? LookState::Normal : LookState::Focus);
    sourceinfo::set_source_pixmap(m_card_icon, static_cast<unsigned char>(m_input));
    m_card_name->setText(m_input_name);
    const ZemRamPara *p = para();
    const int at = Ram::edid(m_input);
    m_card_edid->setText(p ? QStringLiteral("%1x%2@%3Hz")
                                 .arg(Ram::rds16(p->RAM_PARA, at))
                                 .arg(Ram::rds16(p->RAM_PARA, at + 2))
                                 .arg(Ram::rds16(p->RAM_PARA, at + 4))
                           : QString());
    m_card->show();
}

QString EDIDset::card_text() const
{
    return m_card_edid ? m_card_edid->text() : QString();
}

// ---- the edit frame ---------------------------------------------------------------------------

void EDIDset::zem_button_source_clicked()
{
    set_look(m_highlight, Look::EdidTab, LookState::Normal);
    set_look(m_card, Look::ListFrame, LookState::Normal);
    ui.label_edid_source->setText(source_prefix() + m_input_name);
    const ZemRamPara *p = para();
    const int at = Ram::edid(m_input);
    const int rate = p ? p->rd16(at + 4) : 0;
    ui.lineEdit_W->setText(QString::number(p ? p->rd16(at) : 0));
    ui.lineEdit_H->setText(QString::number(p ? p->rd16(at + 2) : 0));
    ui.label_rate->setText(QString::number(rate));
    m_rate = rate == 60 ? 1 : 0;
    m_delete->setGeometry(kDelete);
    m_cancel->setGeometry(kCancel);
    m_save->setGeometry(kSave);
    ui.frame_add->show();
    m_delete->show();
    m_cancel->show();
    m_save->show();
}

void EDIDset::on_Button_freq_clicked()
{
    ui.label_rate->setText(m_rate ? QStringLiteral("60") : QStringLiteral("30"));
}

void EDIDset::close_frame()
{
    set_look(m_highlight, Look::EdidTab, LookState::Focus);
    m_focus.cancel_edit();
    m_focus.unfocus_current();
    m_open = false;
    ui.frame_add->hide();
    m_delete->hide();
    m_cancel->hide();
    m_save->hide();
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
    if (g_inputchoose)
        g_inputchoose->initSource();
}

void EDIDset::language_changed()
{
    ui.label_title->setText(tr5("设置EDID", "EDID Settings", "Настройка EDID", "Cài đặt EDID", "設置EDID"));
    ui.label_edid_source->setText(source_prefix() + m_input_name);
    ui.label_W->setText(tr5("宽", "W", "Ширина", "Rộng", "寬"));
    ui.label_H->setText(tr5("高", "H", "Высота", "Cao", "高"));
    ui.label_freq->setText(tr5("刷新率", "Refresh rate", "Частота", "Tần số", "刷新率"));
    m_cancel->setText(tr5("取消", "Cancle", "Отмена", "Hủy bỏ", "取消"));
    m_save->setText(tr5("保存", "SAVE", "Сохранить", "lưu", "保存"));
    m_delete->setText(tr5("删除", "Delete", "Удалить", "Xoá bỏ", "删除"));
}

void EDIDset::syncUpdate(int)
{
    sync_language();
    const ZemRamPara *p = para();
    // The rate alone does not redraw the card; an open frame keeps what is being typed.
    if (p && !m_open && (p->differs16(Ram::edid(m_input)) || p->differs16(Ram::edid(m_input) + 2)))
        source_init();
}

// ---- keys -------------------------------------------------------------------------------------

void EDIDset::key_left()
{
    if (m_open) {
        m_focus.left();
        return;
    }
    ui_select = ui_select == 0 ? kInputs - 1 : ui_select - 1;
    zem_button_input_clicked();
}

void EDIDset::key_right()
{
    if (m_open) {
        m_focus.right();
        return;
    }
    ui_select = ui_select + 1 >= kInputs ? 0 : ui_select + 1;
    zem_button_input_clicked();
}

void EDIDset::key_ok()
{
    if (!m_open) {
        zem_button_source_clicked();
        m_open = true;
        m_focus.set_index(RowWidth);
        m_focus.restyle(RowWidth);
        return;
    }
    if (m_focus.editing()) {
        m_focus.ok();
        return;
    }
    switch (m_focus.index()) {
    case RowDelete:
    case RowCancel:
        zem_button_cancel_clicked();
        break;
    case RowSave:
        zem_button_ok_clicked();
        break;
    default:
        // A field opens the keyboard as a touch would; the rate opens its value.
        m_focus.ok();
        break;
    }
}

void EDIDset::key_back()
{
    if (!m_open) {
        slot_Button_back_clicked();
        return;
    }
    if (!m_focus.back())
        zem_button_cancel_clicked();
}
