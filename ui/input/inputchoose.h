#pragma once
#include <QDialog>
#include <QFont>
#include <cstdint>

#include "levels.h"
#include "pagedcursor.h"
#include "screen.h"
#include "sourcerow.h"
#include "ui_inputchoose.h"

class ImageTab;
class QFrame;
class SourceCard;

// Source choice (page 3): which input, whole or cropped, each of images 1 to 4 shows. Three
// levels: the image tabs with the crop and EDID buttons, the row of the four inputs and the
// entries of one input, three cards a page. OK on a card switches the selected image.
class InputChoose : public ScreenOf<QDialog, Ui::InputChoose>
{
    Q_OBJECT
public:
    enum class Level { Tabs, Row, List };

    InputChoose();

    void language_changed() override;
    void syncUpdate(int code) override;

    void menulist_init();
    // The entries of the listed input, counted afresh: the list's cursor learns them.
    int count_entries();
    void initMenu();
    void TextCreate(int image);
    // Every tab's source label read again from the image.
    void rename_tabs();
    void imagemenu();
    void image_select();
    // The list of the listed input again, with the source row's highlight on it.
    void show_list();
    void initSource();

    // Read by the tests and the gallery.
    int level() const { return static_cast<int>(m_levels.current()); }
    int select() const { return m_levels.at(Level::List) ? m_list.slot() : m_levels.index(); }
    int selected_image() const { return m_image; }
    int current_page() const { return m_list.page(); }
    int listed_source() const { return m_listed; }
    int tab_count() const { return m_tab_count; }
    const ImageTab *tab(int position) const;
    const SourceCard *card(int k) const;
    int card_count() const { return m_cards_shown; }
    const SourceRow &source_row() const { return m_row; }
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
    void child_left(uint8_t child_page) override;
    QString key_line(PanelKey key, bool released) const override;

private:
    static constexpr int kCardsPerPage = 3;

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
    // The list opens on the crop the selected image shows while that is on the first page.
    int entry_in_use_on_first_page() const;
    void show_counts();

    Levels<Level> m_levels{Level::Tabs};
    PagedCursor m_list;
    SourceRow m_row;
    int m_image = 0;             // the selected image
    int m_listed = 0;            // source id whose entries are listed
    int m_listpos = 0;           // its list position in the source row
    Shown m_in_use;              // what the selected image shows, as last read or switched
    int m_tab_count = 0;
    int m_tab_map[4] = {};
    QString m_listed_name;

    QFont m_card_font;
    QWidget *m_strip = nullptr;
    QFrame *m_tab_frame = nullptr;
    ImageTab *m_tabs[4] = {};
    QFrame *m_list_frame = nullptr;
    SourceCard *m_cards[kCardsPerPage] = {};
    int m_cards_shown = 0;
};

extern InputChoose *g_inputchoose;
