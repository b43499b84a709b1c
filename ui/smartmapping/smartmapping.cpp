#include "smartmapping.h"

#include <QPushButton>
#include <QToolButton>
#include <iterator>

#include "QRoundProgressBar.h"
#include "filelist.h"
#include "fpga_manage.h"
#include "fpga_regs.h"
#include "portgrid.h"
#include "wizard_texts.h"

SmartMapping *g_smartmapping = nullptr;

namespace {

// The main column per language: point sizes of the four entries, their tops and their height.
struct ColumnPlace
{
    int pt[SmartMapping::kEntries];
    int y[SmartMapping::kEntries];
    int height;
};
constexpr int kColumnX = 5, kColumnWidth = 65;
// The mapping state job 4 carries to the receiving cards.
constexpr uint32_t kMappingStateOn = 9, kMappingStateOff = 0;
constexpr ColumnPlace kChinese{{9, 9, 9, 9}, {42, 77, 111, 145}, 20};
constexpr ColumnPlace kColumn[LANG_COUNT] = {
    kChinese,
    {{7, 7, 7, 7}, {42, 87, 132, 177}, 30},
    {{6, 6, 7, 7}, {42, 87, 132, 177}, 30},
    {{6, 7, 7, 7}, {42, 87, 132, 177}, 30},
    kChinese,
};

}

SmartMapping::SmartMapping() : ScreenOf(PAGE_SMARTMAPPING)
{
    ui.setupUi(this);
    ui.stackedWidget->setCurrentIndex(kStep1);
    m_touched = ui.Button_shortcut;
    m_chosen_group = ui.Button_wlan1;
    m_focus.set({ui.Button_shortcut, ui.Button_loadscan, ui.Button_paraweld, ui.Button_mapping}, Look::WizardEntry);
    // Each opening starts on port 0 with routing pattern 1; the cabinet, rows, columns and offsets
    // are those of the last time.
    m_line = g_line_type;
    m_line.port = 0;
    m_line.route = 1;
    store_line();

    for (QWidget *w : std::initializer_list<QWidget *>{ui.lineEdit_X, ui.lineEdit_Y, ui.Button_next})
        m_step1.add(w, Look::Thin);
    m_step2.add(ui.Button_wlan1, Look::PortGroup);
    for (QWidget *w : std::initializer_list<QWidget *>{ui.Button_front_2, ui.Button_next_2})
        m_step2.add(w, Look::Thin);
    for (QWidget *w : std::initializer_list<QWidget *>{ui.lineEdit_line, ui.lineEdit_column, ui.Button_route,
                                                      ui.lineEdit_horzion, ui.lineEdit_vert, ui.Button_front_3,
                                                      ui.Button_send})
        m_step3.add(w, Look::Thin);
    QToolButton *const routes[] = {ui.Button_route1, ui.Button_route2, ui.Button_route3, ui.Button_route4,
                                   ui.Button_route5, ui.Button_route6, ui.Button_route7, ui.Button_route8,
                                   ui.Button_route9, ui.Button_route10, ui.Button_route11, ui.Button_route12,
                                   ui.Button_route13, ui.Button_route14, ui.Button_route15, ui.Button_route16};
    for (int n = 1; n <= int(std::size(routes)); ++n) {
        m_routes.add(routes[n - 1], Look::Thin);
        connect(routes[n - 1], &QToolButton::clicked, this, [this, n] { route_chosen(n); });
    }
    m_routes.add(ui.Button_cancel, Look::Thin);
    m_scan1.add(ui.Button_wlan5, Look::PortGroup);
    m_scan1.add(ui.Button_next_5, Look::Thin);
    m_scan2.add(ui.Button_front_6, Look::Thin);
    m_scan2.add(ui.Button_load, Look::Thin);
    setup_number_fields();

    // One port group is offered: ports 1 to 6, on the first group button of each page.
    for (QPushButton *b : {ui.Button_wlan2, ui.Button_wlan3, ui.Button_wlan4, ui.Button_wlan6, ui.Button_wlan7,
                           ui.Button_wlan8})
        b->hide();
    for (QPushButton *b : {ui.Button_wlan1, ui.Button_wlan5})
        b->setGeometry(10, 32, 55, 17);
    // As the FPGA was last read; the page reads it afresh whenever it is shown.
    if (const fpga_manage *fpga = fpga_manage::p_fpga_manage)
        show_mapping_state(fpga->register_value(FpgaReg::kControl, 0) & FpgaReg::kMappingOn);
    else
        show_mapping_state(false);
    language_changed();
}

SmartMapping::~SmartMapping()
{
    store_line();
}

bool SmartMapping::busy()
{
    return g_qround_bar != nullptr;
}

void SmartMapping::store_line()
{
    // A job picked up copies the record; until it has ended, the thread may be copying it now.
    if (g_send_para.job() == JOB_IDLE)
        g_line_type = m_line;
}

// ---- texts ------------------------------------------------------------------------------------

void SmartMapping::language_changed()
{
    count_scan_files();
    main_column_texts();
    debug_texts();
    scan_texts();
    curing_texts();
    mapping_texts();
}

void SmartMapping::count_scan_files()
{
    // Files of any name in the device's folder; without any there, the scan files of the stick.
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (fpga && fpga->rcv_recovery && fpga->rcv_recovery->get_dir_file(QString::fromLatin1(rcvRecovery::kMappingDir)) == 0)
        m_scan_count = fpga->rcv_recovery->file_count();
    if (m_scan_count == 0)
        m_scan_count = ScanFiles::gather().total();
    m_focus.set_available(kLoadScan, m_scan_count > 0);
}

void SmartMapping::main_column_texts()
{
    ui.label_title->setText(
        tr5("智能调屏", "Smart debugging screen", "Умная настройка экрана", "Điều chỉnh màn hình thông minh", "智能調屏"));
    ui.Button_shortcut->setText(
        tr5("快捷点屏", "Debugging\nscreen", "Пошаговая\nнастройка", "Chạm vào màn\nhình nhanh", "快捷點屏"));
    ui.Button_loadscan->setText(tr5("加载扫描", "Load scan", "Загрузить\nсканирование", "Cài đặt\nquét", "加載掃描"));
    ui.Button_paraweld->setText(tr5("参数固化", "Curing\nparameter", "Сохранение\nнастроек", "Lưu thông\nsố", "參數固化"));
    ui.Button_mapping->setText(tr5("Mapping", "Mapping", "Маршрут", "Mapping", "Mapping"));
    const ColumnPlace &place = kColumn[ui_language()];
    for (int i = 0; i < kEntries; ++i) {
        QWidget *entry = m_focus.at(i);
        set_point_size(entry, place.pt[i]);
        entry->setGeometry(kColumnX, place.y[i], kColumnWidth, place.height);
    }
    if (m_scan_count == 0)
        entry_look(kLoadScan, LookState::Normal);
    else if (main_index() == kLoadScan)
        entry_look(kLoadScan, m_level ? LookState::Edit : LookState::Focus);
    else
        entry_look(kLoadScan, LookState::Normal);
}

void SmartMapping::curing_texts()
{
    ui.label_step1_6->setText(
        tr5("参数固化操作", "Parameter curing operation", "Полное сохранение всех настроек", "Lưu thông số", "參數固化操作"));
    set_point_size(ui.label_step1_6, ui_language() == LANG_RU ? 7 : 9);
    ui.Button_confirm->setText(tr5("确定", "OK", "OK", "Đồng ý", "確定"));
}

void SmartMapping::mapping_texts()
{
    ui.label_step1_7->setText(
        tr5("Mapping开关", "Mapping switch", "Переключатель сопоставления", "Bật mapping", "Mapping開關"));
    set_point_size(ui.label_step1_7, ui_language() == LANG_RU ? 7 : 9);
}

// ---- refresh and leaving ----------------------------------------------------------------------

void SmartMapping::syncUpdate(int code)
{
    switch (code) {
    case CHANGE_USB_INSERTED:
        break;
    case CHANGE_USB_REMOVED:
    case CHANGE_USB_MOUNTED:
        stick_changed();
        break;
    default:
        sync_language();
        break;
    }
    show_usb_tip(code);
}

void SmartMapping::back()
{
    Button_back_clicked();
}

void SmartMapping::Button_back_clicked()
{
    // The FPGA thread reports to this screen until its job ends.
    if (busy() || is_closed())
        return;
    leave();
}

// ---- the main column ----------------------------------------------------------------------------

void SmartMapping::entry_look(int entry, LookState state)
{
    if (entry == kLoadScan && m_scan_count == 0 && state == LookState::Normal)
        state = LookState::Unavailable;
    set_look(m_focus.at(entry), Look::WizardEntry, state);
}

int SmartMapping::entry_of(const QWidget *button) const
{
    for (int i = 0; i < kEntries; ++i)
        if (m_focus.at(i) == button)
            return i;
    return kDebugging;
}

void SmartMapping::button_select(QPushButton *entry)
{
    entry_look(entry_of(m_touched), LookState::Normal);
    m_touched = entry;
    entry_look(entry_of(entry), LookState::Focus);
}

void SmartMapping::move_main(int delta)
{
    // Without a scan file the keys pass over Load scan.
    const bool skip = m_scan_count == 0;
    int i = main_index();
    if (delta > 0) {
        i = i + 1;
        if (i == kLoadScan && skip)
            ++i;
        if (i >= kEntries)
            i = kDebugging;
    } else if (i == kDebugging) {
        i = kMapping;
    } else {
        i = i - 1;
        if (i == kLoadScan && skip)
            i = kDebugging;
    }
    // The mapping entry's preview reads the switch from the FPGA: refused with the rest of the
    // entry's action while a job runs.
    if (i == kMapping && busy())
        return;
    m_focus.set_index(i);
    preview(i);
}

void SmartMapping::preview(int entry)
{
    switch (entry) {
    case kDebugging:
        ui.stackedWidget->setCurrentIndex(kStep1);
        break;
    case kLoadScan:
        ui.stackedWidget->setCurrentIndex(kScanPort);
        scan_page1_init(false);
        break;
    case kCuring:
        ui.stackedWidget->setCurrentIndex(kCuringPage);
        break;
    case kMapping:
        on_Button_mapping_clicked();
        break;
    default:
        break;
    }
}

void SmartMapping::enter_flow()
{
    if (busy())
        return;
    switch (main_index()) {
    case kDebugging:
        on_Button_shortcut_clicked();
        debug_enter();
        break;
    case kLoadScan:
        on_Button_loadscan_clicked();
        scan_page1_init(true);
        break;
    case kCuring:
        on_Button_paraweld_clicked();
        set_look(ui.Button_confirm, Look::Thin, LookState::Focus);
        break;
    case kMapping:
        on_Button_mapping_clicked();
        set_look(ui.Button_mapping_state, Look::Thin, LookState::Focus);
        break;
    default:
        return;
    }
    entry_look(main_index(), LookState::Edit);
    m_level = 1;
}

void SmartMapping::back_to_column()
{
    m_level = 0;
    entry_look(main_index(), LookState::Focus);
}

void SmartMapping::on_Button_shortcut_clicked()
{
    if (busy())
        return;
    button_select(ui.Button_shortcut);
    ui.stackedWidget->setCurrentIndex(kStep1);
    m_list_shown = false;
}

void SmartMapping::on_Button_loadscan_clicked()
{
    if (busy())
        return;
    button_select(ui.Button_loadscan);
    ui.stackedWidget->setCurrentIndex(kScanPort);
    m_list_shown = false;
}

void SmartMapping::on_Button_paraweld_clicked()
{
    if (busy())
        return;
    button_select(ui.Button_paraweld);
    ui.stackedWidget->setCurrentIndex(kCuringPage);
    m_list_shown = false;
}

void SmartMapping::on_Button_mapping_clicked()
{
    if (busy())
        return;
    button_select(ui.Button_mapping);
    bool on = false;
    if (fpga_manage *fpga = fpga_manage::p_fpga_manage) {
        fpga->read_from_register(FpgaReg::kControl, 0);
        on = (fpga->register_value(FpgaReg::kControl, 0) & FpgaReg::kMappingOn) != 0;
    }
    show_mapping_state(on);
    ui.stackedWidget->setCurrentIndex(kMappingPage);
    m_list_shown = false;
}

void SmartMapping::on_Button_front_6_clicked()
{
    if (busy())
        return;
    ui.stackedWidget->setCurrentIndex(kScanPort);
}

// ---- the port grid ------------------------------------------------------------------------------

void SmartMapping::wlan_focus_style(QPushButton *group)
{
    if (m_chosen_group)
        set_look(m_chosen_group, Look::PortGroup, LookState::Normal);
    m_chosen_group = group;
    set_look(group, Look::PortGroup, LookState::Edit);
}

void SmartMapping::wlan_init(QWidget *page)
{
    if (!m_grid) {
        m_grid = new PortGrid(page);
        connect(m_grid, &PortGrid::cell_clicked, this, &SmartMapping::zem_button_wlan_clicked);
    }
    m_grid->show_on(page, m_line.port);
}

void SmartMapping::move_in_grid(int delta, QWidget *page)
{
    // The port follows the cursor at once.
    m_port_cell = (m_port_cell + delta + PortGrid::kCells) % PortGrid::kCells;
    m_line.port = static_cast<uint8_t>(m_port_cell);
    store_line();
    wlan_init(page);
}

void SmartMapping::zem_button_wlan_clicked(int cell)
{
    m_port_cell = cell;
    m_line.port = static_cast<uint8_t>(cell);
    m_saved_port = cell;
    store_line();
    m_grid->show_on(m_grid->parentWidget(), m_line.port);
}

// ---- keys ---------------------------------------------------------------------------------------

void SmartMapping::key_left()
{
    if (m_level == 0)
        move_main(-1);
    else if (main_index() == kDebugging)
        debug_move(-1);
    else if (main_index() == kLoadScan)
        scan_move(-1);
}

void SmartMapping::key_right()
{
    if (m_level == 0)
        move_main(+1);
    else if (main_index() == kDebugging)
        debug_move(+1);
    else if (main_index() == kLoadScan)
        scan_move(+1);
}

void SmartMapping::key_ok()
{
    if (m_level == 0) {
        enter_flow();
        return;
    }
    switch (main_index()) {
    case kDebugging:
        debug_ok();
        break;
    case kLoadScan:
        scan_ok();
        break;
    case kCuring:
        on_Button_confirm_clicked();
        break;
    case kMapping:
        ui.Button_mapping_state->click();
        break;
    default:
        break;
    }
}

void SmartMapping::key_back()
{
    if (m_level == 0) {
        Button_back_clicked();
        return;
    }
    switch (main_index()) {
    case kDebugging:
        debug_back();
        return;
    case kLoadScan:
        scan_back();
        return;
    case kCuring:
        set_look(ui.Button_confirm, Look::Thin, LookState::Normal);
        break;
    case kMapping:
        set_look(ui.Button_mapping_state, Look::Thin, LookState::Normal);
        break;
    default:
        break;
    }
    back_to_column();
}

void SmartMapping::key_mode()
{
    if (!busy())
        mode_shortcut();
}

// ---- curing and the mapping switch --------------------------------------------------------------

void SmartMapping::on_Button_confirm_clicked()
{
    if (!busy())
        start_job(JOB_SAVE_PARA);
}

void SmartMapping::show_mapping_state(bool on)
{
    ui.Button_mapping_state->setIcon(cached_icon(on ? QStringLiteral(":/png/button_on.png")
                                                    : QStringLiteral(":/png/button_off.png")));
    ui.Button_mapping_state->setIconSize(QSize(40, 20));
}

void SmartMapping::on_Button_mapping_state_clicked()
{
    if (busy())
        return;
    start_job(JOB_MAPPING_ENABLE, [this] {
        fpga_manage *fpga = fpga_manage::p_fpga_manage;
        fpga->read_from_register(FpgaReg::kControl, 0);
        // The FPGA switches at once; the job carries the same choice to the receiving cards.
        const bool on = (fpga->register_value(FpgaReg::kControl, 0) & FpgaReg::kMappingOn) == 0;
        fpga->write_to_register(FpgaReg::kControl, FpgaReg::kMappingOn, on ? FpgaReg::kMappingOn : 0, 0);
        show_mapping_state(on);
        g_send_para.mapping_state = on ? kMappingStateOn : kMappingStateOff;
    });
}
