#pragma once
#include <QDialog>
#include <cstdint>

#include "screen.h"
#include "ui_edidset.h"

class NumberField;
class QFrame;
class QLabel;
class QPushButton;

// EDID settings (page 8): the width, height and refresh rate (60 or 30) that each input's EDID
// announces. Level 0 chooses an input; OK opens the edit frame (level 1: width, height, rate,
// Delete, Cancel, SAVE), where OK on the rate changes it with left and right (level 2).
class EDIDset : public ScreenOf<QDialog, Ui::EDIDset>
{
    Q_OBJECT
public:
    EDIDset();

    void language_changed() override;
    void syncUpdate(int code) override;

    void menulist_init();
    void source_init();
    void on_Button_freq_clicked();
    void zem_button_ok_clicked();
    void zem_button_cancel_clicked();

    // Read by the tests and the gallery.
    int level() const { return m_open ? (m_focus.editing() ? 2 : 1) : 0; }
    int select() const { return ui_select; }
    int chosen_input() const { return m_input; }
    QFrame *card() const { return m_card; }
    QFrame *highlight() const { return m_highlight; }
    QString card_text() const;

public slots:
    void zem_button_input_clicked();
    void zem_button_source_clicked();
    void slot_Button_back_clicked();

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;

private:
    enum Row { RowWidth, RowHeight, RowRate, RowDelete, RowCancel, RowSave };
    void close_frame();

    uint8_t ui_select = 0;
    bool m_open = false;
    uint8_t m_rate = 0;          // 1: "60", 0: "30"
    uint8_t m_saved_rate = 0;    // the rate choice when its edit began
    int m_input = 1;             // source id of the chosen input
    QString m_input_name = QStringLiteral("HDMI1");

    QFrame *m_highlight = nullptr;
    QFrame *m_card = nullptr;
    QLabel *m_card_icon = nullptr;
    QLabel *m_card_name = nullptr;
    QLabel *m_card_edid = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_save = nullptr;
};

extern EDIDset *g_edidset;
