#pragma once
#include <QDialog>
#include <cstdint>

#include "screen.h"
#include "ui_smartmapping.h"

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

public slots:
    void on_Button_shortcut_clicked();
    void on_Button_loadscan_clicked();
    void on_Button_paraweld_clicked();
    void on_Button_mapping_clicked();
    void on_Button_confirm_clicked();
    void on_Button_mapping_state_clicked();
    void on_Button_front_6_clicked();

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

    // ---- the debugging flow (debugflow.cpp)
    void debug_texts();
    // Shows routing pattern n on Step 3's routing button and makes it the pattern sent.
    void line_select(int n);

    // ---- Load scan (loadscan.cpp)
    void scan_texts();

    // ---- curing and the mapping switch
    void curing_texts();
    void mapping_texts();
    void show_mapping_state(bool on);

    uint8_t m_level = 0;
    int m_scan_count = 0;
    QPushButton *m_touched = nullptr;
    // Load scan's list has been shown since an entry was last chosen: a stick event shows it anew.
    bool m_list_shown = false;
};

extern SmartMapping *g_smartmapping;
