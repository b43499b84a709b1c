#pragma once
#include <QDialog>
#include <QFont>
#include <cstdint>

#include "levels.h"
#include "pagedcursor.h"
#include "screen.h"
#include "sourcerow.h"
#include "ui_inputcut.h"

class QFrame;
class QPushButton;
class SourceCard;

// Input crops (page 7): the crops of each input, six items a page (the input itself first, then
// its crops by crop number) after the add button, added, edited and deleted in the edit frame
// below the list. Levels: the input tabs, the crop list, a new crop and a crop being edited.
class InputCut : public ScreenOf<QDialog, Ui::InputCut>
{
    Q_OBJECT
public:
    enum class Level { Tabs, List, NewCrop, EditCrop };

    InputCut();

    void language_changed() override;
    void syncUpdate(int code) override;

    void menulist_init();
    // The input of the focused tab and its list again, the tab frame in the look of the level.
    void show_input();
    void source_init();
    // The items of the input shown, counted afresh: the list's cursor learns them.
    int count_entries();
    void hide_frame();

    // Read by the tests and the gallery.
    int state() const { return static_cast<int>(m_levels.current()); }
    int select() const { return m_levels.at(Level::Tabs) ? m_levels.index() : m_list.slot(); }
    int current_page() const { return m_list.page(); }
    int current_source() const { return cur_source; }
    int cell_count() const { return m_cells_shown; }
    const SourceCard *cell(int k) const;
    const SourceRow &source_row() const { return m_row; }
    QPushButton *add_button() const { return ui.Button_add; }
    QFrame *tab_frame() const { return ui.tab_frame; }
    QFrame *list_frame() const { return ui.frame_source; }

public slots:
    void slot_Button_back_clicked();
    void zem_button_source_clicked();
    void zem_button_add_clicked();
    void zem_button_cancel_clicked();
    void zem_button_ok_clicked();
    void zem_button_delete_clicked();

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;
    QString key_line(PanelKey key, bool released) const override;
    int key_select() const override;

private:
    void open_frame(Level level);
    void back_to_list();

    Levels<Level> m_levels{Level::Tabs};
    PagedCursor m_list;
    SourceRow m_row;
    uint8_t cur_source = 1;
    int m_crop_number = 0;
    QString source_name = QStringLiteral("HDMI1");
    QString crop_name;
    QString crop_suffix;
    // The crop the edit frame was opened for: its table index and crop word, so that OK and
    // Delete act on that crop only, wherever crops added or deleted meanwhile moved it in the list.
    int m_edit_index = -1;
    uint16_t m_edit_word = 0;

    QFont m_list_font;
    SourceCard *m_cells[6] = {};
    int m_cells_shown = 0;
};

extern InputCut *g_inputcut;
