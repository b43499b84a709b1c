#include "loadscanflow.h"

#include <QLabel>
#include <QPushButton>

#include "filelist.h"
#include "fpga_manage.h"
#include "global.h"
#include "portchoice.h"
#include "portgrid.h"
#include "smartmapping.h"
#include "wizard_texts.h"

namespace {
enum Step1Item { kGroupItem, kNextItem };
enum Step2Button { kPreviousButton, kLoadButton };
constexpr int kNoFilePt = 7;
}

LoadScanFlow::LoadScanFlow(SmartMapping &frame, Ui::SmartMapping &form, PortChoice &ports)
    : WizardFlow(frame, form), m_ports(ports), m_cursor(FileList::kRows, PagedCursor::Wrap::LastToFirst)
{
    m_step1.add(ui.Button_wlan5, Look::PortGroup);
    m_step1.add(ui.Button_next_5, Look::Thin);
    m_step2.add(ui.Button_front_6, Look::Thin);
    m_step2.add(ui.Button_load, Look::Thin);
    connect(ui.Button_wlan5, &QPushButton::clicked, this, &LoadScanFlow::show_ports);
    connect(ui.Button_next_5, &QPushButton::clicked, this, &LoadScanFlow::list_files);
    connect(ui.Button_front_6, &QPushButton::clicked, this, &LoadScanFlow::step2_previous);
    connect(ui.Button_load, &QPushButton::clicked, this, &LoadScanFlow::load);
}

void LoadScanFlow::texts()
{
    ui.label_step1_5->setText(tr5("步骤1选择网口", "Step 1 Select network port", "Шаг 1. Выбор LAN-порта",
                                  "Bước 1 Chọn cổng mạng", "步驟1選擇網口"));
    ui.Button_next_5->setText(next_text());
    set_point_size(ui.Button_next_5, by_language(9, 9, 7, 7, 9));
    ui.Button_wlan5->setText(port_group_text());
    ui.label_step2_6->setText(tr5("步骤2加载扫描参数", "Step 2 Upload scan parameters", "Шаг 2.Настройка сканирования",
                                  "Bước 2Tải thông số quét", "步驟2加載掃描參數"));
    ui.label_step2_7->setText(tr5("检测到以下屏参文件", "Detected the following screen parameter\n files",
                                  "Были обнаружены следующие файлы \nпараметров экрана",
                                  "Các tập tin tham số màn hình sau đã\n được phát hiện", "檢測到以下屏參文件"));
    set_point_size(ui.label_step2_7, by_language(9, 6, 6, 6, 9));
    ui.Button_front_6->setText(previous_text());
    set_point_size(ui.Button_front_6, by_language(9, 9, 7, 6, 9));
    ui.Button_load->setText(tr5("加载", "Load", "Загрузка", "Tải về", "加載"));
    if (m_file_list) {
        m_file_list->set_no_file_text(tr5("无加载文件!", "No loaded file!", "Нет файлов для загрузки!",
                                          "Không có tập tin để tải!", "無加載文件!"));
        set_point_size(m_file_list->no_file_label(), kNoFilePt);
    }
}

// ---- step 1: the port ---------------------------------------------------------------------------

void LoadScanFlow::show_first_page()
{
    ui.stackedWidget->setCurrentIndex(kScanPort);
}

void LoadScanFlow::preview()
{
    show_first_page();
    page1_init(false);
}

void LoadScanFlow::enter()
{
    page1_init(true);
}

void LoadScanFlow::show_ports()
{
    m_ports.show(ui.Button_wlan5, ui.page_5);
}

void LoadScanFlow::page1_init(bool focus)
{
    m_levels.back_to(Level::Port);
    if (m_frame.line().port < PortGrid::kCells)
        show_ports();
    m_levels.set_index(kGroupItem);
    if (!focus)
        m_step1.unfocus_current();
    m_port_confirmed = false;
}

// ---- step 2: the files --------------------------------------------------------------------------

void LoadScanFlow::list_files()
{
    m_files = ScanFiles::gather();
    // The first page, the cursor on the row it was on.
    m_cursor.set_count(m_files.total());
    m_cursor.set_position(m_cursor.slot());
    m_list_shown = true;
    show_list();
}

void LoadScanFlow::show_list()
{
    if (!m_file_list) {
        m_file_list = new FileList(ui.page_6);
        connect(m_file_list, &FileList::row_clicked, this, &LoadScanFlow::row_touched);
        connect(m_file_list, &FileList::previous_clicked, this, &LoadScanFlow::previous_page);
        connect(m_file_list, &FileList::next_clicked, this, &LoadScanFlow::next_page);
        texts();
    }
    // The chosen row is a row of this page, and the file chosen is the one it shows.
    m_cursor.set_slot(m_cursor.slot());
    const int page = m_cursor.page();
    QVector<FileList::Row> rows;
    for (int i = m_cursor.first_item(page); i < m_cursor.first_item(page) + m_cursor.items_on(page); ++i)
        rows.push_back({ScanFiles::display_name(m_files.paths.at(i)), m_files.on_stick(i)});
    m_file_list->show_rows(rows, page >= 1, page < m_cursor.last_page());
    if (rows.isEmpty()) {
        m_chosen_file.clear();
    } else {
        m_chosen_file = m_files.paths.at(m_cursor.item());
        m_file_list->set_row_look(m_cursor.slot(), LookState::Focus);
    }
    ui.stackedWidget->setCurrentIndex(kScanFiles);
}

void LoadScanFlow::row_touched(int row)
{
    if (busy() || !m_file_list || row < 0 || row >= m_file_list->row_count())
        return;
    m_file_list->set_row_look(m_cursor.slot(), LookState::Normal);
    m_cursor.set_slot(row);
    m_chosen_file = m_files.paths.at(m_cursor.item());
    m_file_list->set_row_look(row, LookState::Edit);
}

void LoadScanFlow::previous_page()
{
    if (busy())
        return;
    m_cursor.previous_page();
    show_list();
}

void LoadScanFlow::next_page()
{
    if (busy())
        return;
    m_cursor.next_page();
    show_list();
}

void LoadScanFlow::step2_previous()
{
    if (busy())
        return;
    ui.stackedWidget->setCurrentIndex(kScanPort);
}

void LoadScanFlow::load()
{
    if (busy() || m_chosen_file.isEmpty())
        return;
    // A file pulled out with the stick, or turned into a link or a folder meanwhile, is not
    // loaded: the list shows what is there now.
    if (!ScanFiles::loadable(m_chosen_file)) {
        stick_changed();
        return;
    }
    m_frame.start_job(JOB_MAPPING_FILE, [this] {
        set_qyfile_name(m_chosen_file);
        g_line_type = m_frame.line();
    });
}

void LoadScanFlow::job_ended()
{
    // The bar closes either way; a load that stopped short (its stick pulled, its reads failing,
    // its file written over meanwhile) must not pass for one that sent the whole file: as when
    // Load finds the file gone, the list shows what is there now. Only a load ends with the list
    // shown: another flow's job is posted once its entry has been chosen, which put the list away.
    const fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (fpga && !fpga->load_sent_whole())
        stick_changed();
}

void LoadScanFlow::stick_changed()
{
    m_cursor.set_slot(0);
    if (!m_list_shown)
        return;
    list_files();
    enter_step2();
}

// ---- keys ---------------------------------------------------------------------------------------

int LoadScanFlow::rows() const
{
    return m_file_list ? m_file_list->row_count() : 0;
}

void LoadScanFlow::enter_step2()
{
    m_levels.back_to(Level::Port);
    m_levels.enter(Level::Files);
    // Without a file the keys work Previous and Load from the start.
    const bool files = m_files.total() > 0;
    m_step2.set_index(files ? kLoadButton : kPreviousButton);
    if (files)
        m_step2.unfocus_current();
}

void LoadScanFlow::move(int delta)
{
    switch (m_levels.current()) {
    case Level::Grid:
        m_ports.move(delta, ui.page_5);
        return;
    case Level::Port:
        if (m_step1.index() != kGroupItem)
            show_ports();
        m_step1.move(delta);
        return;
    default:
        break;
    }
    if (m_levels.at(Level::Buttons) || rows() == 0) {
        m_step2.move(delta);
        return;
    }
    // Off either end of a page the page turns, as the list's wrap rule has it.
    if (delta > 0 ? m_cursor.slot() == rows() - 1 : m_cursor.slot() == 0) {
        if (busy())
            return;
        if (delta > 0)
            m_cursor.next();
        else if (!m_cursor.previous())
            return;
        show_list();
        return;
    }
    m_file_list->set_row_look(m_cursor.slot(), LookState::Normal);
    delta > 0 ? m_cursor.next() : m_cursor.previous();
    m_chosen_file = m_files.paths.at(m_cursor.item());
    m_file_list->set_row_look(m_cursor.slot(), LookState::Focus);
}

void LoadScanFlow::ok()
{
    switch (m_levels.current()) {
    case Level::Grid:
        m_ports.confirm();
        m_levels.leave();
        m_port_confirmed = true;
        return;
    case Level::Port:
        if (m_step1.index() == kNextItem) {
            list_files();
            enter_step2();
        } else {
            m_levels.enter(Level::Grid);
            m_ports.enter(ui.Button_wlan5, ui.page_5, false);
        }
        return;
    default:
        break;
    }
    if (busy())
        return;
    if (!m_levels.at(Level::Buttons) && rows() > 0) {
        m_file_list->row_button(m_cursor.slot())->click();
        m_levels.enter(Level::Buttons, m_step2.index(), &m_step2);
        return;
    }
    if (m_step2.index() == kPreviousButton) {
        step2_previous();
        m_levels.back_to(Level::Port);
        return;
    }
    if (m_chosen_file.isEmpty())
        return;
    load();
    // Not posted: the FPGA thread is busy, or the file was gone and the list is shown anew.
    if (!busy())
        return;
    m_levels.leave();
    if (m_cursor.slot() < rows())
        m_file_list->set_row_look(m_cursor.slot(), LookState::Focus);
}

void LoadScanFlow::back()
{
    switch (m_levels.current()) {
    case Level::Grid:
        if (m_port_confirmed)
            m_ports.restore();
        show_ports();
        m_levels.leave();
        return;
    case Level::Port:
        m_step1.unfocus_current();
        m_frame.back_to_column();
        return;
    case Level::Buttons:
        if (rows() > 0) {
            m_file_list->set_row_look(m_cursor.slot(), LookState::Focus);
            m_levels.leave();
            return;
        }
        break;
    default:
        break;
    }
    if (busy())
        return;
    step2_previous();
    m_levels.back_to(Level::Port);
}
