#pragma once
#include <QDialog>
#include <cstdint>

#include "levels.h"
#include "screen.h"
#include "sourcerow.h"
#include "ui_edidset.h"

class QFrame;
class SourceCard;

// EDID settings (page 8): the width, height and refresh rate (60 or 30) that each input's EDID
// announces. The keys choose an input; OK opens the edit frame (width, height, rate, Delete,
// Cancel, SAVE), where OK on the rate changes it with left and right.
class EDIDset : public ScreenOf<QDialog, Ui::EDIDset>
{
    Q_OBJECT
public:
    enum class Level { Inputs, Frame };

    EDIDset();

    void language_changed() override;
    void syncUpdate(int code) override;

    void menulist_init();
    void source_init();
    void show_rate();
    void zem_button_ok_clicked();
    void zem_button_cancel_clicked();

    // Read by the tests and the gallery: 0 the inputs, 1 the edit frame, 2 its rate being changed.
    int level() const { return m_levels.at(Level::Frame) ? (m_focus.editing() ? 2 : 1) : 0; }
    int select() const { return m_levels.index_of(Level::Inputs); }
    int chosen_input() const { return m_input; }
    // The frame around the input's card, which takes the focus look while the keys choose.
    QFrame *card_frame() const { return ui.frame_source; }
    QString card_text() const;

public slots:
    // The input at the focus becomes the chosen one, its card shown.
    void show_input();
    void zem_button_source_clicked();
    void slot_Button_back_clicked();

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;
    // The input chosen in the list, in the edit frame too.
    int key_select() const override { return m_levels.index_of(Level::Inputs); }

private:
    enum Row { RowWidth, RowHeight, RowRate, RowDelete, RowCancel, RowSave };
    void close_frame();

    Levels<Level> m_levels{Level::Inputs};
    SourceRow m_row;
    uint8_t m_rate = 0;          // 1: "60", 0: "30"
    uint8_t m_saved_rate = 0;    // the rate choice when its edit began
    int m_input = 1;             // source id of the chosen input
    QString m_input_name = QStringLiteral("HDMI1");
    SourceCard *m_card = nullptr;
};

extern EDIDset *g_edidset;
