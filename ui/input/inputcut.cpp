#include "inputcut.h"

#include <QFontMetrics>
#include <QFrame>
#include <QPushButton>
#include <cstring>

#include "alias.h"
#include "cropcell.h"
#include "fields.h"
#include "inputchoose.h"
#include "ram_layout.h"
#include "sourceinfo.h"
#include "zemrampara.h"

InputCut *g_inputcut = nullptr;

namespace {
constexpr int kSources = 4;
constexpr int kItemsPerPage = 6;
constexpr int kColumns = 3;
constexpr QRect kTabFrame(1, 40, 53, 41);
constexpr int kTabPitch = 53;
constexpr QRect kListFrame(1, 80, 318, 120);
constexpr int kCellX = 5, kCellY = 10, kCellPitchX = 95, kCellPitchY = 55;
constexpr QRect kAdd(292, 10, 20, 20);
constexpr QSize kButton(60, 18);
constexpr int kButtonY = 210;
constexpr int kDeleteX = 50, kCancelX = 120, kOkX = 190;   // editing a crop
constexpr int kNewCancelX = 80, kNewOkX = 150;             // a new one
// The tab names are cut to the label less this in a 9-pixel font, the crop names to this width.
constexpr int kTabNameMargin = 16;
constexpr int kCropNameWidth = 172;

// A field as the store takes it: a signed 16-bit decimal number, 0 for anything else.
int field_value(const QLineEdit *edit)
{
    bool ok = false;
    const short v = edit->text().toShort(&ok, 10);
    return ok ? v : 0;
}

QString name_prefix()
{
    return tr5("名称:", "Name:", "Название:", "Tên:", "名稱:");
}
}

InputCut::InputCut() : ScreenOf(PAGE_INPUTCUT)
{
    ui.setupUi(this);
    cur_source = sourceinfo::get_source_id_by_listseq(0);
    source_name = sourceinfo::get_source_name_by_listseq(0);
    QLabel *const icons[kSources] = {ui.sourcelistseq0pixmap, ui.sourcelistseq1pixmap, ui.sourcelistseq2pixmap,
                                     ui.sourcelistseq3pixmap};
    for (int pos = 0; pos < kSources; ++pos) {
        icons[pos]->setScaledContents(true);
        sourceinfo::set_source_pixmap(icons[pos], sourceinfo::get_source_id_by_listseq(static_cast<unsigned char>(pos)));
    }
    for (QWidget *w : {static_cast<QWidget *>(ui.sourcelistseq4name), static_cast<QWidget *>(ui.sourcelistseq4pixmap),
                       static_cast<QWidget *>(ui.sourcelistseq5name), static_cast<QWidget *>(ui.sourcelistseq5pixmap)})
        w->hide();

    m_tab_frame = new QFrame(this);
    m_tab_frame->setObjectName(QStringLiteral("tab_frame"));
    m_tab_frame->setGeometry(kTabFrame);
    set_look(m_tab_frame, Look::OpenTab, LookState::Focus);
    m_tab_frame->lower();

    m_list_font = font();
    m_list_font.setPixelSize(10);
    if (ZemRamPara *p = para())
        p->ZemCropSourceInit();
    crop_source_num_update();
    menulist_init();
    ui.frame_add->hide();

    const auto make_button = [this](const char *name) {
        auto *b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        b->setFocusPolicy(Qt::NoFocus);
        b->resize(kButton);
        set_look(b, Look::Thin10, LookState::Normal);
        b->hide();
        return b;
    };
    m_cancel = make_button("Button_cancel");
    m_ok = make_button("Button_ok");
    m_delete = make_button("Button_delete");

    for (My_lineEdit *edit : {ui.lineEdit_X, ui.lineEdit_Y, ui.lineEdit_W, ui.lineEdit_H})
        set_look(edit, Look::Thin10, LookState::Normal);
    new NumberField(ui.lineEdit_X, [] { return QStringLiteral("X"); });
    new NumberField(ui.lineEdit_Y, [] { return QStringLiteral("Y"); });
    new NumberField(ui.lineEdit_W, [] { return tr5("宽", "W", "W", "W", "寬"); });
    new NumberField(ui.lineEdit_H, [] { return tr5("高", "H", "H", "H", "高"); });
    // language_changed() builds the list with the texts of the language.
    language_changed();
}

void InputCut::menulist_init()
{
    ui_select = 0;
    ui_state = 0;
}

int InputCut::get_source_num(unsigned char source) const
{
    return source < kSources ? item_counts[source] : 0;
}

int InputCut::source_current_check()
{
    max_source_info = sourceinfo::source_entries(cur_source);
    last_pag = static_cast<uint8_t>((max_source_info + kItemsPerPage - 1) / kItemsPerPage - 1);
    return max_source_info;
}

// ---- tabs -------------------------------------------------------------------------------------

void InputCut::crop_source_num_update()
{
    for (int s = 0; s < kSources; ++s)
        item_counts[s] = sourceinfo::source_entries(static_cast<unsigned char>(s));
    source_name_update();
}

void InputCut::source_name_update()
{
    QLabel *const names[kSources] = {ui.sourcelistseq0name, ui.sourcelistseq1name, ui.sourcelistseq2name,
                                     ui.sourcelistseq3name};
    sourceinfo::show_source_row(names, nullptr, item_counts, kTabNameMargin);
}

void InputCut::zem_button_input_clicked()
{
    if (ui_state == 0) {
        cur_source = sourceinfo::get_source_id_by_listseq(ui_select);
        source_name = sourceinfo::get_source_name_by_listseq(ui_select);
        m_tab_frame->move(kTabFrame.x() + kTabPitch * ui_select, kTabFrame.y());
        set_look(m_tab_frame, Look::OpenTab, LookState::Focus);
    } else {
        set_look(m_tab_frame, Look::OpenTab, LookState::Normal);
    }
    m_tab_frame->lower();
    source_init();
}

// ---- the list ---------------------------------------------------------------------------------

void InputCut::source_init()
{
    ZemRamPara *p = para();
    const int items = source_current_check();
    const int cells = qBound(0, items - kItemsPerPage * current_pag, kItemsPerPage);

    if (!m_list_frame) {
        m_list_frame = new QFrame(this);
        m_list_frame->setObjectName(QStringLiteral("frame_source"));
        m_list_frame->setGeometry(kListFrame);
        m_add = new QPushButton(m_list_frame);
        m_add->setObjectName(QStringLiteral("Button_add"));
        m_add->setGeometry(kAdd);
        m_add->setIcon(cached_icon(QStringLiteral(":/png/add.png")));
        m_add->setIconSize(kAdd.size());
        m_add->setFocusPolicy(Qt::NoFocus);
    }
    set_look(m_list_frame, Look::ListFrame, ui_state == 0 ? LookState::Focus : LookState::Normal);
    m_list_frame->lower();

    for (int k = 0; k < kItemsPerPage; ++k) {
        if (k >= cells) {
            if (m_cells[k])
                m_cells[k]->hide();
            continue;
        }
        if (!m_cells[k]) {
            m_cells[k] = new CropCell(m_list_font, m_list_frame);
            m_cells[k]->move(kCellX + kCellPitchX * (k % kColumns), kCellY + kCellPitchY * (k / kColumns));
        }
        CropCell *cell = m_cells[k];
        const int item = kItemsPerPage * current_pag + k;
        QString name, size;
        if (item == 0) {
            name = source_name;
            size = sourceinfo::timing_text(cur_source);
        } else if (p) {
            CROP_PARA crop{};
            int index = Ram::kCropCount;
            p->ZemGetCropPara(cur_source, item, &crop, &index);
            if (index < Ram::kCropCount) {
                ALIAS_PARA alias;
                if (get_json_alias_para(&alias, QStringLiteral("crop"), index) == 1)
                    name = QFontMetrics(m_list_font).elidedText(alias.name, Qt::ElideRight, kCropNameWidth);
                else
                    name = source_name + QStringLiteral("_crop%1").arg(Ram::crop_number(static_cast<uint16_t>(crop.word)));
                size = QStringLiteral("%1x%2").arg(crop.w).arg(crop.h);
            }
        }
        cell->set_item(cur_source, name, size);
        const int focus = current_pag == 0 ? k + 1 : k;
        cell->set_focused(ui_state == 1 && ui_select == focus);
        cell->show();
    }
    m_cells_shown = cells;
    set_look(m_add, Look::AddButton, ui_state == 1 && ui_select == 0 && current_pag == 0 ? LookState::Focus : LookState::Normal);
    // The edit frame keeps the add button away while it is open.
    m_add->setVisible(ui_state < 2);
    m_list_frame->show();
}

const CropCell *InputCut::cell(int k) const
{
    return k >= 0 && k < m_cells_shown ? m_cells[k] : nullptr;
}

void InputCut::next_position()
{
    const int limit = current_pag == 0 ? max_source_info + 1 : max_source_info;
    ++ui_select;
    if (kItemsPerPage * current_pag + ui_select >= limit) {
        current_pag = 0;
        ui_select = 0;
    } else if (ui_select >= (current_pag == 0 ? kItemsPerPage + 1 : kItemsPerPage)) {
        ++current_pag;
        ui_select = 0;
        if (current_pag > last_pag)
            current_pag = 0;
    }
}

void InputCut::previous_position()
{
    if (current_pag > 0) {
        if (ui_select == 0) {
            --current_pag;
            ui_select = current_pag == 0 ? kItemsPerPage : kItemsPerPage - 1;
        } else {
            --ui_select;
        }
        return;
    }
    if (ui_select > 0) {
        --ui_select;
        return;
    }
    current_pag = last_pag;
    ui_select = static_cast<uint8_t>(last_pag == 0 ? max_source_info : max_source_info - kItemsPerPage * last_pag - 1);
}

// ---- keys -------------------------------------------------------------------------------------

void InputCut::key_left()
{
    source_current_check();
    switch (ui_state) {
    case 0:
        ui_select = ui_select == 0 ? kSources - 1 : ui_select - 1;
        current_pag = 0;
        zem_button_input_clicked();
        break;
    case 1:
        previous_position();
        zem_button_input_clicked();
        break;
    default:
        m_focus.left();
        break;
    }
}

void InputCut::key_right()
{
    source_current_check();
    switch (ui_state) {
    case 0:
        ui_select = ui_select + 1 >= kSources ? 0 : ui_select + 1;
        current_pag = 0;
        zem_button_input_clicked();
        break;
    case 1:
        next_position();
        zem_button_input_clicked();
        break;
    default:
        m_focus.right();
        break;
    }
}

void InputCut::key_ok()
{
    source_current_check();
    switch (ui_state) {
    case 0:
        tab_select = ui_select;
        ui_select = 0;
        current_pag = 0;
        ui_state = 1;
        zem_button_input_clicked();
        break;
    case 1:
        if (current_pag == 0 && ui_select == 0) {
            list_select = 0;
            zem_button_add_clicked();
        } else if (current_pag > 0 || ui_select > 1) {
            crop_number = static_cast<uint8_t>(current_pag > 0 ? ui_select + kItemsPerPage * current_pag : ui_select - 1);
            zem_button_source_clicked();
        }
        break;
    default: {
        QWidget *control = m_focus.current();
        if (control == m_ok) {
            zem_button_ok_clicked();
        } else if (control == m_cancel) {
            zem_button_cancel_clicked();
        } else if (control == m_delete) {
            zem_button_delete_clicked();
        } else {
            m_focus.ok();   // a field: the keyboard, as a touch opens it
        }
        break;
    }
    }
}

QString InputCut::key_line(PanelKey key, bool released) const
{
    // The list's place is in every line of left, right and OK.
    const char *name = key == PanelKey::Left ? "left-code" : key == PanelKey::Right ? "right-code" : "OK";
    if (!released || (key != PanelKey::Left && key != PanelKey::Right && key != PanelKey::Ok))
        return Screen::key_line(key, released);
    return c_printf("this is %s [InputCut][Release] [ui_select=%#x] [current_pag=%#x] [max_source_info=%#x]", name,
                    unsigned{ui_select}, unsigned{current_pag}, static_cast<unsigned>(max_source_info));
}

void InputCut::key_back()
{
    switch (ui_state) {
    case 0:
        slot_Button_back_clicked();
        break;
    case 1:
        ui_state = 0;
        ui_select = tab_select;
        zem_button_input_clicked();
        break;
    default:
        zem_button_cancel_clicked();
        break;
    }
}

// ---- the edit frame ---------------------------------------------------------------------------

void InputCut::open_frame(bool existing)
{
    crop_name = source_name + crop_suffix;
    ui.label_change_source->setText(name_prefix() + crop_name);
    m_add->hide();
    if (existing) {
        m_delete->move(kDeleteX, kButtonY);
        m_cancel->move(kCancelX, kButtonY);
        m_ok->move(kOkX, kButtonY);
        m_delete->show();
    } else {
        m_cancel->move(kNewCancelX, kButtonY);
        m_ok->move(kNewOkX, kButtonY);
    }
    m_cancel->show();
    m_ok->show();
    ui.frame_add->show();
    if (existing)
        m_focus.set({ui.lineEdit_X, ui.lineEdit_Y, ui.lineEdit_W, ui.lineEdit_H, m_delete, m_cancel, m_ok}, Look::Thin10);
    else
        m_focus.set({ui.lineEdit_X, ui.lineEdit_Y, ui.lineEdit_W, ui.lineEdit_H, m_cancel, m_ok}, Look::Thin10);
}

void InputCut::zem_button_add_clicked()
{
    const ZemRamPara *p = para();
    list_select = ui_select;
    m_edit_index = -1;
    m_edit_word = 0;
    crop_suffix = QStringLiteral("-Crop-%1").arg((p ? p->ZemGetSourceNum(cur_source, Ram::kCropCount) : 0) + 1);
    ui.lineEdit_X->setText(QStringLiteral("0"));
    ui.lineEdit_Y->setText(QStringLiteral("0"));
    ui.lineEdit_W->setText(QStringLiteral("1920"));
    ui.lineEdit_H->setText(QStringLiteral("1080"));
    ui_state = 2;
    open_frame(false);
    source_init();
}

void InputCut::zem_button_source_clicked()
{
    ZemRamPara *p = para();
    if (!p)
        return;
    p->ZemCropSourceInit();
    CROP_PARA crop{};
    int index = Ram::kCropCount;
    p->ZemGetCropPara(cur_source, crop_number, &crop, &index);
    if (index >= Ram::kCropCount)
        return;
    m_edit_index = index;
    m_edit_word = static_cast<uint16_t>(crop.word);
    list_select = ui_select;
    ui_state = 3;
    zem_button_input_clicked();
    crop_suffix = QStringLiteral("-Crop-%1").arg(crop_number);
    ui.lineEdit_X->setText(QString::number(crop.x));
    ui.lineEdit_Y->setText(QString::number(crop.y));
    ui.lineEdit_W->setText(QString::number(crop.w));
    ui.lineEdit_H->setText(QString::number(crop.h));
    open_frame(true);
}

void InputCut::back_to_list()
{
    ui_select = list_select;
    ui_state = 1;
    m_focus.unfocus_current();
    zem_button_input_clicked();
    para_changed_over();
}

void InputCut::zem_button_ok_clicked()
{
    ZemRamPara *p = para();
    if (p) {
        const CROP_PARA crop{cur_source, field_value(ui.lineEdit_X), field_value(ui.lineEdit_Y),
                             field_value(ui.lineEdit_W), field_value(ui.lineEdit_H)};
        // The crop the frame opened for, not whatever stands at its list position now; a full
        // table or a crop deleted meanwhile stores nothing.
        if (ui_state == 3)
            p->ZemSetCropAt(m_edit_index, m_edit_word, &crop);
        else
            p->ZemAddNewCrop(cur_source, &crop);
        p->ZemCropSourceInit();
    }
    crop_source_num_update();
    back_to_list();
}

void InputCut::zem_button_cancel_clicked()
{
    back_to_list();
}

void InputCut::zem_button_delete_clicked()
{
    ZemRamPara *p = para();
    if (p) {
        p->ZemDeleteCropAt(m_edit_index, m_edit_word);
        p->ZemCropSourceInit();
    }
    crop_source_num_update();
    back_to_list();
}

void InputCut::para_changed_over()
{
    ui.frame_add->hide();
    m_cancel->hide();
    m_ok->hide();
    m_delete->hide();
    m_add->show();
}

// ---- leaving, texts, refresh ------------------------------------------------------------------

void InputCut::slot_Button_back_clicked()
{
    // Back to source choice while it is open underneath, else to the Setting menu.
    if (!g_inputchoose) {
        leave_to(PAGE_OPTION);
        return;
    }
    leave_to(PAGE_INPUTCHOOSE);
    g_inputchoose->initSource();
    g_inputchoose->crop_source_num_update();
    // Deleting a crop moved the images that showed it to its whole input; that change was
    // refreshed while this screen was on display, so source choice's tabs learn it here.
    g_inputchoose->rename_tabs();
}

void InputCut::language_changed()
{
    ui.label_title->setText(tr5("输入截取", "Input intercept", "Источник", "Chặn nguồn vào", "輸入截取"));
    ui.label_crop->setText(tr5("截取:", "Crop:", "Обрезать:", "Cắt:", "截取:"));
    ui.label_W->setText(tr5("宽", "W", "Ширина", "Rộng", "寬"));
    ui.label_H->setText(tr5("高", "H", "Высота", "Cao", "高"));
    m_cancel->setText(tr5("取消", "Cancle", "Отмена", "Hủy bỏ", "取消"));
    m_ok->setText(tr5("确定", "OK", "OK", "Đồng ý", "確定"));
    m_delete->setText(tr5("删除", "Delete", "Удалить", "Xoá bỏ", "删除"));
    if (ui.frame_add->isVisibleTo(this))
        ui.label_change_source->setText(name_prefix() + crop_name);
    // The whole-input cell's no-signal text is the language's.
    source_init();
}

void InputCut::syncUpdate(int code)
{
    sync_language();
    ZemRamPara *p = para();
    if (!p)
        return;
    const bool crops_changed = std::memcmp(p->RAM_PARA + Ram::kCropTable, p->RAM_PARA_SHADOW + Ram::kCropTable,
                                           Ram::kCropCount * Ram::kCropStride) != 0;
    if (crops_changed || code == CHANGE_FILE_RECEIVED) {
        p->ZemCropSourceInit();
        crop_source_num_update();
        source_init();
    }
}
