#pragma once
#include <QDialog>
#include <QFont>
#include <cstdint>

#include "screen.h"
#include "ui_inputcut.h"

class CropCell;
class QFrame;
class QPushButton;

// Input crops (page 7): the crops of each input, six items a page (the input itself first, then
// its crops by crop number), added, edited and deleted in the edit frame below the list.
// Sub-states: 0 the input tabs, 1 the crop list, 2 a new crop, 3 a crop being edited.
class InputCut : public ScreenOf<QDialog, Ui::InputCut>
{
    Q_OBJECT
public:
    InputCut();

    void language_changed() override;
    void syncUpdate(int code) override;

    void menulist_init();
    void zem_button_input_clicked();
    void source_init();
    void crop_source_num_update();
    void source_name_update();
    int source_current_check();
    // Items of source id 0..3 (the input and its crops); 0 for another id.
    int get_source_num(unsigned char source) const;
    void para_changed_over();

    // Read by the tests and the gallery.
    int state() const { return ui_state; }
    int select() const { return ui_select; }
    int current_page() const { return current_pag; }
    int current_source() const { return cur_source; }
    int cell_count() const { return m_cells_shown; }
    const CropCell *cell(int k) const;
    QPushButton *add_button() const { return m_add; }
    QFrame *tab_frame() const { return m_tab_frame; }
    QFrame *list_frame() const { return m_list_frame; }

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

private:
    void next_position();
    void previous_position();
    void open_frame(bool existing);
    void back_to_list();

    uint8_t ui_select = 0;
    uint8_t ui_state = 0;
    uint8_t tab_select = 0;
    uint8_t list_select = 0;
    int item_counts[4] = {1, 1, 1, 1};
    int max_source_info = 1;
    uint8_t current_pag = 0;
    uint8_t last_pag = 0;
    uint8_t cur_source = 1;
    uint8_t crop_number = 0;
    QString source_name = QStringLiteral("HDMI1");
    QString crop_name;
    QString crop_suffix;
    // The crop the edit frame was opened for: its table index and crop word, so that OK and
    // Delete act on that crop only, wherever crops added or deleted meanwhile moved it in the list.
    int m_edit_index = -1;
    uint16_t m_edit_word = 0;

    QFont m_list_font;
    QFrame *m_tab_frame = nullptr;
    QFrame *m_list_frame = nullptr;
    QPushButton *m_add = nullptr;
    CropCell *m_cells[6] = {};
    int m_cells_shown = 0;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_delete = nullptr;
};

extern InputCut *g_inputcut;
