#pragma once
#include <QDialog>
#include <memory>

#include "levels.h"
#include "screen.h"
#include "send_para.h"
#include "ui_smartmapping.h"

class CuringFlow;
class DebugFlow;
class LoadScanFlow;
class MappingFlow;
class PortChoice;
class WizardFlow;

// The smart-mapping wizard (page 24), the frame of its four flows. A column of four entries
// chooses a flow whose pages stand in the stack beside it: the debugging flow, Load scan,
// parameter curing and the mapping switch. The keys move over the column, where resting on an
// entry shows its first page, and OK hands them to the chosen flow, whose Back on its first page
// gives them back. Touching an entry shows its flow without moving the key cursor. The flows post
// jobs for the FPGA thread; while a job's bar is up the screen cannot be left, no second job
// starts and the page changes that belong to a job's road are refused; a key whose action is
// refused leaves the cursor where it was, and the moves that change no job still work.
class SmartMapping : public ScreenOf<QDialog, Ui::SmartMapping>
{
    Q_OBJECT
public:
    enum Entry { kDebugging, kLoadScan, kCuring, kMapping, kEntries };

    SmartMapping();
    ~SmartMapping() override;

    void language_changed() override;
    // The stick's codes rebuild the scan-file list once it has been shown; any other code is a
    // parameter change, which matters only when the language changed.
    void syncUpdate(int code) override;
    // The back key's way out at the column, and the control link's: refused while a job runs.
    void back() override;

    // The flow on the current entry gives the keys back to the column.
    void back_to_column();
    // The wizard's record for the FPGA thread's jobs is kept here and handed over whole when a
    // job is posted; between jobs it is also kept in g_line_type, which outlives the screen.
    line_type &line() { return m_line; }
    void store_line();

    // For the tests and the gallery.
    int main_index() const { return m_focus.index(); }
    int focus_level() const { return m_levels.at(Level::Flow) ? 1 : 0; }
    int scan_file_count() const { return m_scan_count; }
    const DebugFlow &debugging() const { return *m_debug; }
    const LoadScanFlow &load_scan() const { return *m_scan; }
    const PortChoice &ports() const { return *m_ports; }

public slots:
    void on_Button_shortcut_clicked() { choose(kDebugging); }
    void on_Button_loadscan_clicked() { choose(kLoadScan); }
    void on_Button_paraweld_clicked() { choose(kCuring); }
    void on_Button_mapping_clicked() { choose(kMapping); }

protected:
    bool keys_blocked() const override { return false; }
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;
    void key_mode() override;
    void job_progress(int percent) override;

private:
    WizardFlow *flow(int entry) const;
    // An entry touched, or entered by OK: its flow's first page, the key cursor left alone.
    void choose(int entry);
    void move_main(int delta);
    void enter_flow();
    // An entry's look; the Load-scan entry stays grey while no scan file is known.
    void entry_look(int entry, LookState state);
    void count_scan_files();
    void main_column_texts();

    // The keys move over the column, or the current entry's flow has them.
    enum class Level { Column, Flow };
    Levels<Level> m_levels{Level::Column};
    int m_scan_count = 0;
    int m_touched = kDebugging;
    line_type m_line{};
    std::unique_ptr<PortChoice> m_ports;
    std::unique_ptr<DebugFlow> m_debug;
    std::unique_ptr<LoadScanFlow> m_scan;
    std::unique_ptr<CuringFlow> m_curing;
    std::unique_ptr<MappingFlow> m_mapping;
};

extern SmartMapping *g_smartmapping;
