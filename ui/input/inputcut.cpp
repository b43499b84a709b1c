#include "inputcut.h"

#include <QDebug>
#include <QFrame>
#include <QPushButton>
#include <cstring>

#include "fields.h"
#include "global.h"
#include "ram_layout.h"
#include "sourcecard.h"
#include "sourceinfo.h"
#include "zemrampara.h"

InputCut *g_inputcut = nullptr;

namespace {
constexpr int kSources = 4;
constexpr int kItemsPerPage = 6;
constexpr int kColumns = 3;
constexpr QPoint kTabFrame(1, 40);
constexpr int kTabPitch = 53;
constexpr int kCellX = 5, kCellY = 10, kCellPitchX = 95, kCellPitchY = 55;
constexpr int kButtonY = 210;
constexpr int kDeleteX = 50, kCancelX = 120, kOkX = 190;   // editing a crop, as the form has them
constexpr int kNewCancelX = 80, kNewOkX = 150;             // a new one
constexpr int kFrameDelete = 4;   // the edit frame's controls: X, Y, W, H, Delete, Cancel, OK
// A crop's display name is cut to this width.
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

InputCut::InputCut() : ScreenOf(PAGE_INPUTCUT), m_list(kItemsPerPage, PagedCursor::Wrap::BothEnds, 1)
{
    ui.setupUi(this);
    cur_source = sourceinfo::get_source_id_by_listseq(0);
    source_name = sourceinfo::get_source_name_by_listseq(0);
    m_row = SourceRow(this);
    m_row.show_icons();
    set_look(ui.tab_frame, Look::OpenTab, LookState::Focus);
    ui.Button_add->setIcon(cached_icon(QStringLiteral(":/png/add.png")));

    m_list_font = font();
    m_list_font.setPixelSize(10);
    if (ZemRamPara *p = para())
        p->ZemCropSourceInit();
    m_row.show_counts();
    menulist_init();
    ui.frame_add->hide();
    for (QPushButton *b : {ui.Button_cancel, ui.Button_ok, ui.Button_delete}) {
        set_look(b, Look::Thin10, LookState::Normal);
        b->hide();
    }

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
    m_levels.back_to(Level::Tabs);
    m_levels.set_index(0);
}

int InputCut::count_entries()
{
    const int count = sourceinfo::source_entries(cur_source);
    m_list.set_count(count);
    return count;
}

// ---- tabs -------------------------------------------------------------------------------------

void InputCut::show_input()
{
    if (m_levels.at(Level::Tabs)) {
        const auto tab = static_cast<unsigned char>(m_levels.index());
        cur_source = sourceinfo::get_source_id_by_listseq(tab);
        source_name = sourceinfo::get_source_name_by_listseq(tab);
        ui.tab_frame->move(kTabFrame + QPoint(kTabPitch * tab, 0));
        set_look(ui.tab_frame, Look::OpenTab, LookState::Focus);
    } else {
        set_look(ui.tab_frame, Look::OpenTab, LookState::Normal);
    }
    source_init();
}

// ---- the list ---------------------------------------------------------------------------------

void InputCut::source_init()
{
    count_entries();
    const int page = m_list.page();
    const int cells = m_list.items_on(page);
    set_look(ui.frame_source, Look::ListFrame, m_levels.at(Level::Tabs) ? LookState::Focus : LookState::Normal);

    const bool keys_in_list = m_levels.at(Level::List);
    for (int k = 0; k < kItemsPerPage; ++k) {
        if (k >= cells) {
            if (m_cells[k])
                m_cells[k]->hide();
            continue;
        }
        if (!m_cells[k]) {
            m_cells[k] = new SourceCard(SourceCard::Kind::CropCell, m_list_font, ui.frame_source);
            m_cells[k]->move(kCellX + kCellPitchX * (k % kColumns), kCellY + kCellPitchY * (k / kColumns));
        }
        SourceCard *cell = m_cells[k];
        const int item = m_list.first_item(page) + k;
        cell->show_list_entry(cur_source, item, source_name, kCropNameWidth);
        cell->set_state(keys_in_list && m_list.item() == item);
        cell->show();
    }
    m_cells_shown = cells;
    // The add button has the focus before the first item; the edit frame keeps it away.
    set_look(ui.Button_add, Look::AddButton, keys_in_list && m_list.item() < 0 ? LookState::Focus : LookState::Normal);
    ui.Button_add->setVisible(m_levels.at(Level::Tabs) || keys_in_list);
}

const SourceCard *InputCut::cell(int k) const
{
    return k >= 0 && k < m_cells_shown ? m_cells[k] : nullptr;
}

// ---- keys -------------------------------------------------------------------------------------

void InputCut::key_left()
{
    count_entries();
    switch (m_levels.current()) {
    case Level::Tabs:
        m_levels.set_index(m_levels.index() == 0 ? kSources - 1 : m_levels.index() - 1);
        m_list.set_position(0);
        show_input();
        break;
    case Level::List:
        m_list.previous();
        show_input();
        break;
    default:
        m_focus.left();
        break;
    }
}

void InputCut::key_right()
{
    count_entries();
    switch (m_levels.current()) {
    case Level::Tabs:
        m_levels.set_index(m_levels.index() + 1 >= kSources ? 0 : m_levels.index() + 1);
        m_list.set_position(0);
        show_input();
        break;
    case Level::List:
        m_list.next();
        show_input();
        break;
    default:
        m_focus.right();
        break;
    }
}

void InputCut::key_ok()
{
    count_entries();
    switch (m_levels.current()) {
    case Level::Tabs:
        m_levels.enter(Level::List);
        m_list.set_position(0);
        show_input();
        break;
    case Level::List:
        // The add button, the input itself (nothing to edit) or a crop.
        if (m_list.item() < 0) {
            zem_button_add_clicked();
        } else if (m_list.item() > 0) {
            m_crop_number = m_list.item();
            zem_button_source_clicked();
        }
        break;
    default:
        m_focus.ok();   // a field: the keyboard, as a touch opens it; a button: its action
        break;
    }
}

QString InputCut::key_line(PanelKey key, bool released) const
{
    // The list's place is in every line of left, right and OK.
    const char *name = key == PanelKey::Left ? "left-code" : key == PanelKey::Right ? "right-code" : "OK";
    if (!released || (key != PanelKey::Left && key != PanelKey::Right && key != PanelKey::Ok))
        return Screen::key_line(key, released);
    return c_printf("this is %s [InputCut][Release] [ui_select=%#x] [current_pag=%#x] [max_source_info=%#x]", name,
                    static_cast<unsigned>(key_select()), static_cast<unsigned>(current_page()),
                    static_cast<unsigned>(m_list.count()));
}

int InputCut::key_select() const
{
    if (m_levels.at(Level::Tabs) || m_levels.at(Level::List))
        return select();
    // The edit frame's controls count on after the items; a new crop's frame has no Delete, and
    // its Cancel and OK keep the numbers they have beside one.
    const int k = m_focus.index();
    return m_list.count() + (m_levels.at(Level::NewCrop) && k >= kFrameDelete ? k + 1 : k);
}

void InputCut::key_back()
{
    switch (m_levels.current()) {
    case Level::Tabs:
        slot_Button_back_clicked();
        break;
    case Level::List:
        // Back on the tab the list was entered from; the list keeps its page.
        m_levels.leave();
        show_input();
        break;
    default:
        zem_button_cancel_clicked();
        break;
    }
}

// ---- the edit frame ---------------------------------------------------------------------------

void InputCut::open_frame(Level level)
{
    const bool existing = level == Level::EditCrop;
    crop_name = source_name + crop_suffix;
    ui.label_change_source->setText(name_prefix() + crop_name);
    ui.Button_add->hide();
    ui.Button_cancel->move(existing ? kCancelX : kNewCancelX, kButtonY);
    ui.Button_ok->move(existing ? kOkX : kNewOkX, kButtonY);
    if (existing) {
        ui.Button_delete->move(kDeleteX, kButtonY);
        ui.Button_delete->show();
    }
    ui.Button_cancel->show();
    ui.Button_ok->show();
    ui.frame_add->show();
    m_focus.set({ui.lineEdit_X, ui.lineEdit_Y, ui.lineEdit_W, ui.lineEdit_H}, Look::Thin10);
    // The buttons answer the keys only, not a touch.
    const auto button = [this](QPushButton *b, void (InputCut::*action)()) {
        m_focus.add(b, Look::Thin10);
        m_focus.set_action(m_focus.size() - 1, [this, action] { (this->*action)(); });
    };
    if (existing)
        button(ui.Button_delete, &InputCut::zem_button_delete_clicked);
    button(ui.Button_cancel, &InputCut::zem_button_cancel_clicked);
    button(ui.Button_ok, &InputCut::zem_button_ok_clicked);
    m_levels.enter(level, 0, &m_focus);
}

void InputCut::zem_button_add_clicked()
{
    const ZemRamPara *p = para();
    m_edit_index = -1;
    m_edit_word = 0;
    crop_suffix = QStringLiteral("-Crop-%1").arg((p ? p->ZemGetSourceNum(cur_source, Ram::kCropCount) : 0) + 1);
    ui.lineEdit_X->setText(QStringLiteral("0"));
    ui.lineEdit_Y->setText(QStringLiteral("0"));
    ui.lineEdit_W->setText(QStringLiteral("1920"));
    ui.lineEdit_H->setText(QStringLiteral("1080"));
    open_frame(Level::NewCrop);
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
    p->ZemGetCropPara(cur_source, m_crop_number, &crop, &index);
    if (index >= Ram::kCropCount)
        return;
    m_edit_index = index;
    m_edit_word = static_cast<uint16_t>(crop.word);
    crop_suffix = QStringLiteral("-Crop-%1").arg(m_crop_number);
    ui.lineEdit_X->setText(QString::number(crop.x));
    ui.lineEdit_Y->setText(QString::number(crop.y));
    ui.lineEdit_W->setText(QString::number(crop.w));
    ui.lineEdit_H->setText(QString::number(crop.h));
    open_frame(Level::EditCrop);
    show_input();
}

void InputCut::back_to_list()
{
    // The list has the keys again where it had them, on the same page.
    m_levels.back_to(Level::List);
    show_input();
    hide_frame();
}

void InputCut::zem_button_ok_clicked()
{
    const bool editing = m_levels.at(Level::EditCrop);
    ZemRamPara *p = para();
    if (p) {
        const CROP_PARA crop{cur_source, field_value(ui.lineEdit_X), field_value(ui.lineEdit_Y),
                             field_value(ui.lineEdit_W), field_value(ui.lineEdit_H)};
        // The crop the frame opened for, not whatever stands at its list position now; a full
        // table or a crop deleted meanwhile stores nothing.
        if (editing)
            p->ZemSetCropAt(m_edit_index, m_edit_word, &crop);
        else
            p->ZemAddNewCrop(cur_source, &crop);
        p->ZemCropSourceInit();
    }
    m_row.show_counts();
    back_to_list();
    if (editing)
        zem_debug("\n zem_button_ok_clicked soureinfo [source_number = %d] [crop_number=%d]\n", cur_source, m_crop_number);
    else
        zem_debug("\n zem_button_ok_clicked add [source_number = %d] \n", cur_source);
    qDebug().noquote() << "this is back button(InputCut)[zem_button_ok_clicked]\n";
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
    m_row.show_counts();
    back_to_list();
    qDebug().noquote() << "this is back button(InputCut)[zem_button_delete_clicked]\n";
}

void InputCut::hide_frame()
{
    ui.frame_add->hide();
    ui.Button_cancel->hide();
    ui.Button_ok->hide();
    ui.Button_delete->hide();
    ui.Button_add->show();
}

// ---- leaving, texts, refresh ------------------------------------------------------------------

void InputCut::slot_Button_back_clicked()
{
    // Back to source choice while it is open underneath, else to the Setting menu.
    leave_to(screen_at(PAGE_INPUTCHOOSE) ? uint8_t(PAGE_INPUTCHOOSE) : parent_page(page()));
}

void InputCut::language_changed()
{
    ui.label_title->setText(tr5("输入截取", "Input intercept", "Источник", "Chặn nguồn vào", "輸入截取"));
    ui.label_crop->setText(tr5("截取:", "Crop:", "Обрезать:", "Cắt:", "截取:"));
    ui.label_W->setText(tr5("宽", "W", "Ширина", "Rộng", "寬"));
    ui.label_H->setText(tr5("高", "H", "Высота", "Cao", "高"));
    ui.Button_cancel->setText(tr5("取消", "Cancle", "Отмена", "Hủy bỏ", "取消"));
    ui.Button_ok->setText(tr5("确定", "OK", "OK", "Đồng ý", "確定"));
    ui.Button_delete->setText(tr5("删除", "Delete", "Удалить", "Xoá bỏ", "删除"));
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
        m_row.show_counts();
        source_init();
    } else if (const SourceCard *whole = cell(0); whole && whole->signal_behind()) {
        source_init();
    }
}
