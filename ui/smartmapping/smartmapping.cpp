#include "smartmapping.h"

#include "curingflow.h"
#include "debugflow.h"
#include "fpga_view.h"
#include "loadscanflow.h"
#include "mappingflow.h"
#include "portchoice.h"
#include "scanfiles.h"
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
    ui.stackedWidget->setCurrentIndex(WizardFlow::kStep1);
    m_focus.set({ui.Button_shortcut, ui.Button_loadscan, ui.Button_paraweld, ui.Button_mapping}, Look::WizardEntry);
    // Each opening starts on port 0 with routing pattern 1; the cabinet, rows, columns and offsets
    // are those of the last time.
    m_line = g_line_type;
    m_line.port = 0;
    m_line.route = 1;
    store_line();

    m_ports = std::make_unique<PortChoice>(*this, ui);
    m_debug = std::make_unique<DebugFlow>(*this, ui, *m_ports);
    m_scan = std::make_unique<LoadScanFlow>(*this, ui, *m_ports);
    m_curing = std::make_unique<CuringFlow>(*this, ui);
    m_mapping = std::make_unique<MappingFlow>(*this, ui);
    language_changed();
}

SmartMapping::~SmartMapping()
{
    store_line();
}

WizardFlow *SmartMapping::flow(int entry) const
{
    WizardFlow *const flows[kEntries] = {m_debug.get(), m_scan.get(), m_curing.get(), m_mapping.get()};
    return flows[entry >= 0 && entry < kEntries ? entry : kDebugging];
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
    for (int entry = 0; entry < kEntries; ++entry)
        flow(entry)->texts();
}

void SmartMapping::count_scan_files()
{
    // Files of any name in the device's folder; without any there, the scan files of the stick.
    // A folder that cannot be read keeps the count of before.
    if (const int in_folder = FpgaView::mapping_folder_files(); in_folder >= 0)
        m_scan_count = in_folder;
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
        entry_look(kLoadScan, m_levels.at(Level::Flow) ? LookState::Edit : LookState::Focus);
    else
        entry_look(kLoadScan, LookState::Normal);
}

// ---- refresh and leaving ----------------------------------------------------------------------

void SmartMapping::syncUpdate(int code)
{
    switch (code) {
    case CHANGE_USB_INSERTED:
        break;
    case CHANGE_USB_REMOVED:
    case CHANGE_USB_MOUNTED:
        m_scan->stick_changed();
        break;
    default:
        sync_language();
        break;
    }
    show_usb_tip(code);
}

void SmartMapping::job_progress(int percent)
{
    if (percent > 99)
        m_scan->job_ended();
}

void SmartMapping::back()
{
    // The FPGA thread reports to this screen until its job ends.
    if (WizardFlow::busy() || is_closed())
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

void SmartMapping::choose(int entry)
{
    if (WizardFlow::busy())
        return;
    entry_look(m_touched, LookState::Normal);
    m_touched = entry;
    entry_look(entry, LookState::Focus);
    flow(entry)->show_first_page();
    m_scan->forget_list();
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
    if (i == kMapping && WizardFlow::busy())
        return;
    m_focus.set_index(i);
    // The switch is read as a touch on its entry reads it, and its entry marked as touched.
    if (i == kMapping)
        choose(i);
    else
        flow(i)->preview();
}

void SmartMapping::enter_flow()
{
    if (WizardFlow::busy())
        return;
    choose(main_index());
    flow(main_index())->enter();
    entry_look(main_index(), LookState::Edit);
    m_levels.enter(Level::Flow);
}

void SmartMapping::back_to_column()
{
    m_levels.leave();
    entry_look(main_index(), LookState::Focus);
}

// ---- keys ---------------------------------------------------------------------------------------

void SmartMapping::key_left()
{
    if (m_levels.at(Level::Column))
        move_main(-1);
    else
        flow(main_index())->move(-1);
}

void SmartMapping::key_right()
{
    if (m_levels.at(Level::Column))
        move_main(+1);
    else
        flow(main_index())->move(+1);
}

void SmartMapping::key_ok()
{
    if (m_levels.at(Level::Column))
        enter_flow();
    else
        flow(main_index())->ok();
}

void SmartMapping::key_back()
{
    if (m_levels.at(Level::Column))
        back();
    else
        flow(main_index())->back();
}

void SmartMapping::key_mode()
{
    if (!WizardFlow::busy())
        mode_shortcut();
}
