#pragma once
#include <QDialog>
#include <QFont>
#include <cstdint>

#include "screen.h"
#include "ui_inputchoose.h"

class EntryCard;
class ImageTab;
class QFrame;

// Source choice (page 3): which input, whole or cropped, each of images 1 to 4 shows. Three
// levels: the image tabs with the crop and EDID buttons (0), the row of the four inputs (1) and
// the entries of one input, three cards a page (2). OK on a card switches the selected image.
class InputChoose : public ScreenOf<QDialog, Ui::InputChoose>
{
    Q_OBJECT
public:
    InputChoose();

    void language_changed() override;
    void syncUpdate(int code) override;

    void menulist_init();
    void crop_source_num_update();
    // Entries of source id 0..3 (the input itself and its crops); 0 for another id.
    int get_source_num(unsigned char source) const;
    int source_current_check();
    // The source row: names, entry counts and online pictures.
    void source_name_update();
    void initMenu();
    void TextCreate(int image);
    // Every tab's source label read again from the image.
    void rename_tabs();
    void imagemenu();
    void image_select();
    void on_Button_source_clicked();
    void initSource();
    void para_uiselect_init();
    void para_source_index_init();

    // Read by the tests and the gallery.
    int level() const { return ui_seltype; }
    int select() const { return ui_select; }
    int selected_image() const { return m_image; }
    int current_page() const { return m_page; }
    int listed_source() const { return m_listed; }
    int tab_count() const { return m_tab_count; }
    const ImageTab *tab(int position) const;
    const EntryCard *card(int k) const;
    int card_count() const { return m_cards_shown; }
    QFrame *tab_frame() const { return m_tab_frame; }
    QFrame *list_frame() const { return m_list_frame; }

public slots:
    void zem_source_button_clicked();
    void zem_button_inputcut_clicked();
    void zem_button_EDID_clicked();

protected:
    void key_left() override;
    void key_right() override;
    void key_ok() override;
    void key_back() override;
    QString key_line(PanelKey key, bool released) const override;

private:
    // What an image shows: its source id, whether its source word names a crop, and that crop's
    // table index while the crop still exists (-1 for a whole source or a crop deleted since).
    struct Shown
    {
        int source = 0;
        bool crop = false;
        int crop_index = -1;
    };
    Shown image_shows(int image) const;
    int tab_position(int image) const;
    void place_tab_frame(int position);

    uint8_t ui_select = 0;
    uint8_t ui_seltype = 0;
    int m_image = 0;             // the selected image
    int m_last_tab = 0;          // the tab position that last had the focus at level 0
    int m_listed = 0;            // source id whose entries are listed
    int m_listpos = 0;           // its list position in the source row
    Shown m_in_use;              // what the selected image shows, as last read or switched
    int m_page = 0;
    int m_last_page = 0;
    int m_tab_count = 0;
    int m_tab_map[4] = {};
    int m_counts[4] = {1, 1, 1, 1};
    QString m_listed_name;

    QFont m_card_font;
    QWidget *m_strip = nullptr;
    QFrame *m_tab_frame = nullptr;
    ImageTab *m_tabs[4] = {};
    QFrame *m_list_frame = nullptr;
    EntryCard *m_cards[3] = {};
    int m_cards_shown = 0;
};

extern InputChoose *g_inputchoose;
