#include "inputchoose.h"

#include "ram_layout.h"
#include "sourcecard.h"
#include "sourceinfo.h"
#include "zemrampara.h"

// Source choice's list: the entries of the listed input, three cards a page, under the source
// row's highlight; OK on a card switches the selected image to it.

namespace {
constexpr int kMaxEntries = 100;

constexpr QRect kListFrame(1, 127, 318, 70);
constexpr int kCardX = 14, kCardPitch = 95, kCardY = 10;
constexpr int kHighlightPitch = 53;
constexpr QRect kHighlight(1, 95, 53, 33);
// A crop's display name on its card.
constexpr int kCardNameWidth = 80;

QString in_use_text()
{
    // The Chinese text ends in a soft hyphen, as it always has.
    return tr5("使用中\xC2\xAD", "Using", "Использовать", "sử dụng", "使用中\xC2\xAD");
}
}

int InputChoose::count_entries()
{
    const int count = qMin(kMaxEntries, sourceinfo::source_entries(static_cast<unsigned char>(m_listed)));
    m_list.set_count(count);
    return count;
}

void InputChoose::image_select()
{
    // The list shows its first page again; in the list the place on the page stays.
    m_list.set_position(m_list.slot());
    if (m_levels.at(Level::Tabs)) {
        m_in_use = image_shows(m_image);
        m_listpos = sourceinfo::get_listseq_by_source_id(static_cast<unsigned char>(m_in_use.source));
    } else if (m_levels.at(Level::Row)) {
        m_listpos = m_levels.index();
    }
    show_list();
}

void InputChoose::show_list()
{
    initSource();
    ui.frame1->setGeometry(kHighlight.translated(kHighlightPitch * m_listpos, 0));
    set_look(ui.frame1, Look::OpenTab, m_levels.at(Level::Row) ? LookState::Focus : LookState::Normal);
}

void InputChoose::initSource()
{
    ZemRamPara *p = para();
    if (!p)
        return;
    p->ZemCropSourceInit();
    // What the selected image shows; at the row and list levels, as last read or switched.
    if (m_levels.at(Level::Tabs)) {
        m_in_use = image_shows(m_image);
        m_listed = m_in_use.source;
    } else {
        m_listed = sourceinfo::get_source_id_by_listseq(static_cast<unsigned char>(m_listpos));
    }
    m_listed_name = sourceinfo::get_source_name_by_sourceid(static_cast<unsigned char>(m_listed));
    count_entries();
    const int page = m_list.page();
    const int cards = m_list.items_on(page);

    // The entry the selected image shows, ranked by crop number as the list is ordered; none for
    // a crop deleted since.
    int in_use_entry = -1;
    if (m_in_use.source == m_listed) {
        if (!m_in_use.crop)
            in_use_entry = 0;
        else if (m_in_use.crop_index >= 0 &&
                 Ram::crop_source(p->rd16(Ram::crop(m_in_use.crop_index))) == m_listed)
            in_use_entry = p->ZemCropRank(m_in_use.crop_index);
    }

    if (!m_list_frame) {
        m_list_frame = new QFrame(this);
        m_list_frame->setObjectName(QStringLiteral("frame"));
        m_list_frame->setGeometry(kListFrame);
        m_list_frame->lower();
    }
    set_look(m_list_frame, Look::ListFrame, m_levels.at(Level::Row) ? LookState::Focus : LookState::Normal);

    const QString badge = in_use_text();
    const bool keys_in_list = m_levels.at(Level::List);
    for (int k = 0; k < kCardsPerPage; ++k) {
        if (k >= cards) {
            if (m_cards[k])
                m_cards[k]->hide();
            continue;
        }
        if (!m_cards[k]) {
            m_cards[k] = new SourceCard(SourceCard::Kind::Entry, m_card_font, m_list_frame);
            m_cards[k]->move(kCardX + kCardPitch * k, kCardY);
        }
        SourceCard *card = m_cards[k];
        const int e = m_list.first_item(page) + k;
        card->show_list_entry(m_listed, e, m_listed_name, kCardNameWidth);
        card->set_state(keys_in_list && m_list.item() == e, e == in_use_entry, badge);
        card->show();
    }
    m_cards_shown = cards;
    m_list_frame->show();
}

int InputChoose::entry_in_use_on_first_page() const
{
    const Shown shown = image_shows(m_image);
    if (shown.crop_index >= 0 && shown.source == m_listed) {
        const int n = para()->ZemCropRank(shown.crop_index);
        if (n == 1 || n == 2)
            return n;
    }
    return 0;
}

const SourceCard *InputChoose::card(int k) const
{
    return k >= 0 && k < m_cards_shown ? m_cards[k] : nullptr;
}

void InputChoose::zem_source_button_clicked()
{
    ZemRamPara *p = para();
    if (!p)
        return;
    const int e = m_list.item();
    Shown chosen{m_listed, e > 0, -1};
    if (e > 0) {
        p->ZemCropSourceInit();
        int index = Ram::kCropCount;
        p->ZemGetCropPara(m_listed, e, nullptr, &index);
        // A card that is not there (the list shrank under a later page) switches nothing: the
        // store would set the image to DVI for a crop it cannot find.
        if (index >= Ram::kCropCount)
            return;
        chosen.crop_index = index;
    }
    p->ZemSetImageSource(e, m_listed, m_image);
    m_in_use = chosen;
    initSource();
    // The check mark says the switch is saved; a word the file holds already is seen so at the
    // refresh that follows.
    const int word_at = Ram::layer(m_image) + Ram::kLayerSource;
    const uint16_t word = p->rd16(word_at);
    check_mark_once_saved([word_at, word](const ZemRamPara &saved) { return saved.shadow16(word_at) == word; });
}
