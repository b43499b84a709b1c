#pragma once
#include "focus.h"
#include "levels.h"
#include "pagedcursor.h"
#include "scanfiles.h"
#include "wizardflow.h"

class FileList;
class PortChoice;

// Load scan, the smart-mapping wizard's second flow: the output port (step 1), then the scan files
// of the device and of a USB stick, three to a page, one of which Load has the FPGA thread send to
// the port's receiving cards (step 2, job 2).
class LoadScanFlow : public WizardFlow
{
public:
    LoadScanFlow(SmartMapping &frame, Ui::SmartMapping &form, PortChoice &ports);

    void texts() override;
    void show_first_page() override;
    void preview() override;
    void enter() override;
    void move(int delta) override;
    void ok() override;
    void back() override;

    // An entry was chosen: until the list is shown again, the stick leaves the page alone.
    void forget_list() { m_list_shown = false; }
    // The stick came or went: the list, once shown, is shown again from page 0.
    void stick_changed();
    // The wizard's job ended: a load cut short shows the list as it is now.
    void job_ended();

    // For the tests: the step the keys are on (0, 1), the grid has them, the page of files shown,
    // the row chosen on it, the cursor on Previous and Load rather than on the rows.
    int step() const { return m_levels.at(Level::Port) || m_levels.at(Level::Grid) ? 0 : 1; }
    bool in_grid() const { return m_levels.at(Level::Grid); }
    int current_page() const { return m_cursor.page(); }
    int file_select() const { return m_cursor.slot(); }
    bool cursor_on_buttons() const { return m_levels.at(Level::Buttons); }
    // The scan file Load would send now; empty when none is chosen.
    QString chosen_file() const { return m_chosen_file; }
    const FileList *file_list() const { return m_file_list; }

private:
    void page1_init(bool focus);
    void show_ports();
    // Step 1's Next: the files gathered afresh, their first page.
    void list_files();
    void show_list();
    void enter_step2();
    // The rows of the page on display.
    int rows() const;
    // What the pages' buttons do, touched or by the keys.
    void row_touched(int row);
    void previous_page();
    void next_page();
    void step2_previous();
    void load();

    // Step 1 holds the port grid; on step 2 the keys walk the files, or Previous and Load once a
    // file is held.
    enum class Level { Port, Grid, Files, Buttons };
    PortChoice &m_ports;
    // A port was confirmed on the grid since the flow was entered: Back in the grid then gives back
    // the port held when the grid was entered (or last touched); until then it keeps the port moved to.
    bool m_port_confirmed = false;
    // The list has been shown since an entry was last chosen: a stick event shows it anew.
    bool m_list_shown = false;
    FocusList m_step1, m_step2;
    Levels<Level> m_levels{Level::Port, &m_step1};
    FileList *m_file_list = nullptr;
    ScanFiles::List m_files;
    PagedCursor m_cursor;
    QString m_chosen_file;
};
