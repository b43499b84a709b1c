#include "loadscanflow.h"

#include <QLabel>
#include <QPushButton>

#include "filelist.h"
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
    : WizardFlow(frame, form), m_ports(ports)
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
    if (m_frame.line().port < PortGrid::kCells)
        show_ports();
    m_step1.set_index(kGroupItem);
    if (!focus)
        m_step1.unfocus_current();
    m_in_grid = false;
    m_port_confirmed = false;
    m_step = 0;
}

// ---- step 2: the files --------------------------------------------------------------------------

void LoadScanFlow::list_files()
{
    m_files = ScanFiles::gather();
    const int total = m_files.total();
    m_current_page = 0;
    m_last_page = total / FileList::kRows - (total % FileList::kRows == 0 ? 1 : 0);
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
    const int first = m_current_page * FileList::kRows;
    QVector<FileList::Row> rows;
    for (int i = first; i < m_files.total() && i < first + FileList::kRows; ++i)
        rows.push_back({ScanFiles::display_name(m_files.paths.at(i)), m_files.on_stick(i)});
    m_file_list->show_rows(rows, m_current_page >= 1, m_current_page < m_last_page);
    // The chosen row is a row of this page, and the file chosen is the one it shows.
    if (rows.isEmpty()) {
        m_file_select = 0;
        m_chosen_file.clear();
    } else {
        m_file_select = qBound(0, m_file_select, int(rows.size()) - 1);
        m_chosen_file = m_files.paths.at(first + m_file_select);
        m_file_list->set_row_look(m_file_select, LookState::Focus);
    }
    ui.stackedWidget->setCurrentIndex(kScanFiles);
}

void LoadScanFlow::row_touched(int row)
{
    if (busy() || !m_file_list || row < 0 || row >= m_file_list->row_count())
        return;
    m_file_list->set_row_look(m_file_select, LookState::Normal);
    m_file_select = row;
    m_chosen_file = m_files.paths.at(m_current_page * FileList::kRows + row);
    m_file_list->set_row_look(row, LookState::Edit);
}

void LoadScanFlow::previous_page()
{
    if (busy())
        return;
    m_current_page = qMax(0, m_current_page - 1);
    show_list();
}

void LoadScanFlow::next_page()
{
    if (busy())
        return;
    m_current_page = m_current_page + 1 > m_last_page ? 0 : m_current_page + 1;
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

void LoadScanFlow::stick_changed()
{
    m_file_select = 0;
    if (!m_list_shown)
        return;
    list_files();
    enter_step2();
}

// ---- keys ---------------------------------------------------------------------------------------

void LoadScanFlow::enter_step2()
{
    const bool files = m_files.total() > 0;
    m_step2.set_index(files ? kLoadButton : kPreviousButton);
    if (files)
        m_step2.unfocus_current();
    m_on_buttons = false;
    m_in_grid = false;
    m_step = 1;
}

void LoadScanFlow::move(int delta)
{
    if (m_step == 0) {
        if (m_in_grid) {
            m_ports.move(delta, ui.page_5);
            return;
        }
        if (m_step1.index() != kGroupItem)
            show_ports();
        m_step1.move(delta);
        return;
    }
    const int rows = m_file_list ? m_file_list->row_count() : 0;
    if (m_on_buttons || rows == 0) {
        m_step2.move(delta);
        return;
    }
    if (delta > 0) {
        if (m_file_select == rows - 1) {
            if (busy())
                return;
            m_file_select = 0;
            next_page();
            return;
        }
        m_file_list->set_row_look(m_file_select, LookState::Normal);
        ++m_file_select;
    } else {
        if (m_file_select == 0) {
            if (m_current_page == 0 || busy())
                return;
            // The page before is a full one: its last row.
            m_file_select = FileList::kRows - 1;
            previous_page();
            return;
        }
        m_file_list->set_row_look(m_file_select, LookState::Normal);
        --m_file_select;
    }
    m_chosen_file = m_files.paths.at(m_current_page * FileList::kRows + m_file_select);
    m_file_list->set_row_look(m_file_select, LookState::Focus);
}

void LoadScanFlow::ok()
{
    if (m_step == 0) {
        if (m_in_grid) {
            m_ports.confirm();
            m_in_grid = false;
            m_step1.restyle(kGroupItem);
            m_port_confirmed = true;
            return;
        }
        if (m_step1.index() == kNextItem) {
            list_files();
            enter_step2();
            return;
        }
        m_in_grid = true;
        m_ports.enter(ui.Button_wlan5, ui.page_5, false);
        return;
    }
    const int rows = m_file_list ? m_file_list->row_count() : 0;
    if (!m_on_buttons && rows > 0) {
        if (busy())
            return;
        m_file_list->row_button(m_file_select)->click();
        m_on_buttons = true;
        m_step2.restyle(m_step2.index());
        return;
    }
    if (m_step2.index() == kPreviousButton) {
        if (busy())
            return;
        step2_previous();
        m_step = 0;
        return;
    }
    if (busy() || m_chosen_file.isEmpty())
        return;
    load();
    // Not posted: the FPGA thread is busy, or the file was gone and the list is shown anew.
    if (!busy())
        return;
    m_step2.unfocus_current();
    if (m_file_select < rows)
        m_file_list->set_row_look(m_file_select, LookState::Focus);
    m_on_buttons = false;
}

void LoadScanFlow::back()
{
    if (m_step == 0) {
        if (m_in_grid) {
            m_in_grid = false;
            if (m_port_confirmed)
                m_ports.restore();
            show_ports();
            m_step1.restyle(kGroupItem);
            return;
        }
        m_step1.unfocus_current();
        m_frame.back_to_column();
        return;
    }
    const int rows = m_file_list ? m_file_list->row_count() : 0;
    if (m_on_buttons && rows > 0) {
        m_file_list->set_row_look(m_file_select, LookState::Focus);
        m_step2.unfocus_current();
        m_on_buttons = false;
        return;
    }
    if (busy())
        return;
    step2_previous();
    m_step = 0;
}
