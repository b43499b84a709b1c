#pragma once
#include <QDialog>
#include <cstdint>

#include "scanfiles.h"
#include "screen.h"
#include "send_para.h"
#include "ui_smartmapping.h"

class FileList;
class PortGrid;
class QPushButton;

// The smart-mapping wizard (page 24). A column of four entries chooses a flow whose pages stand in
// the stack beside it: the debugging flow, Load scan, parameter curing and the mapping switch. The
// keys move over the column (focus level 0), where resting on an entry shows its first page, and
// OK hands them to the chosen flow (level 1), whose Back on its first page gives them back.
// Touching an entry shows its flow without moving the key cursor. The flows post jobs for the FPGA
// thread; while a job's bar is up the screen cannot be left, no second job starts and the page
// changes that belong to a job's road are refused; a key whose action is refused leaves the cursor
// where it was, and the moves that change no job still work.
class SmartMapping : public ScreenOf<QDialog, Ui::SmartMapping>
{
    Q_OBJECT
public:
    enum Entry { kDebugging, kLoadScan, kCuring, kMapping, kEntries };
    // The stack's pages.
    enum Page { kStep1, kStep2, kStep3, kRouting, kScanPort, kScanFiles, kCuringPage, kMappingPage };

    SmartMapping();
    ~SmartMapping() override;

    void language_changed() override;
    // The stick's codes rebuild the scan-file list once it has been shown; any other code is a
    // parameter change, which matters only when the language changed.
    void syncUpdate(int code) override;
    // The back key's way out at the column, and the control link's: refused while a job runs.
    void back() override;
    void Button_back_clicked();

    // For the tests and the gallery.
    int main_index() const { return m_focus.index(); }
    int focus_level() const { return m_level; }
    int scan_file_count() const { return m_scan_count; }
    // The flows' key state.
    int debug_step() const { return m_debug_step; }
    bool in_grid() const { return m_in_grid; }
    bool routing_mode() const { return m_route_mode; }
    int scan_step() const { return m_scan_step; }
    int current_page() const { return m_current_page; }
    int file_select() const { return m_file_select; }
    bool cursor_on_buttons() const { return m_on_buttons; }
    // The scan file Load would send now; empty when none is chosen.
    QString chosen_file() const { return m_chosen_file; }
    PortGrid *port_grid() const { return m_grid; }
    FileList *file_list() const { return m_file_list; }

public slots:
    void on_Button_shortcut_clicked();
    void on_Button_loadscan_clicked();
    void on_Button_paraweld_clicked();
    void on_Button_mapping_clicked();
    void on_Button_confirm_clicked();
    void on_Button_mapping_state_clicked();
    void on_Button_front_6_clicked();

    // The debugging flow.
    void on_Button_next_clicked();
    void on_Button_wlan1_clicked();
    void on_Button_front_2_clicked();
    void on_Button_next_2_clicked();
    void on_Button_route_clicked();
    void on_Button_front_3_clicked();
    void on_Button_cancel_clicked();
    void on_Button_send_clicked();

    // Load scan.
    void on_Button_wlan5_clicked();
    void on_Button_next_5_clicked();
    void on_Button_load_clicked();

protected:
    bool keys_blocked() const override { return false; }
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;
    void key_mode() override;

private:
    // A job's bar is up, this screen's or any other's.
    static bool busy();

    // ---- the frame
    void move_main(int delta);
    void preview(int entry);
    void enter_flow();
    void back_to_column();
    void button_select(QPushButton *entry);
    // An entry's look; the Load-scan entry stays grey while no scan file is known.
    void entry_look(int entry, LookState state);
    int entry_of(const QWidget *button) const;
    void count_scan_files();
    void main_column_texts();

    // The wizard's record for the FPGA thread's jobs is kept here and handed over whole when a
    // job is posted; between jobs it is also kept in g_line_type, which outlives the screen.
    void store_line();

    // ---- the port grid, shared by the two flows
    void wlan_init(QWidget *page);
    void wlan_focus_style(QPushButton *group);
    void zem_button_wlan_clicked(int cell);
    void move_in_grid(int delta, QWidget *page);

    // ---- the debugging flow (debugflow.cpp)
    void debug_texts();
    void setup_number_fields();
    // Shows routing pattern n on Step 3's routing button and makes it the pattern sent.
    void line_select(int n);
    void route_chosen(int n);
    void debug_enter();
    void debug_move(int delta);
    void debug_ok();
    void debug_back();
    void enter_step2();
    void enter_step3();

    // ---- Load scan (loadscan.cpp)
    void scan_texts();
    void scan_page1_init(bool focus);
    void scan_move(int delta);
    void scan_ok();
    void scan_back();
    void enter_scan_step2();
    void scan_file_list();
    void zem_button_file_clicked(int row);
    void zem_Button_previous_clicked();
    void zem_Button_next_clicked();
    // The stick came or went: the list, once shown, is shown again from page 0.
    void stick_changed();

    // ---- curing and the mapping switch
    void curing_texts();
    void mapping_texts();
    void show_mapping_state(bool on);

    uint8_t m_level = 0;
    int m_scan_count = 0;
    QPushButton *m_touched = nullptr;
    // Load scan's list has been shown since an entry was last chosen: a stick event shows it anew.
    bool m_list_shown = false;
    line_type m_line{};

    // The port grid.
    PortGrid *m_grid = nullptr;
    QPushButton *m_chosen_group = nullptr;
    int m_port_cell = 0;
    int m_saved_port = 0;
    bool m_in_grid = false;

    // The debugging flow.
    int m_debug_step = 0;
    bool m_route_mode = false;
    FocusList m_step1, m_step2, m_step3, m_routes;

    // Load scan.
    int m_scan_step = 0;
    bool m_port_confirmed = false;
    FocusList m_scan1, m_scan2;
    FileList *m_file_list = nullptr;
    ScanFiles::List m_files;
    int m_current_page = 0;
    int m_last_page = 0;
    int m_file_select = 0;
    bool m_on_buttons = false;
    QString m_chosen_file;
};

extern SmartMapping *g_smartmapping;
