#include "inputchoose.h"

#include <cstring>

#include "edidset.h"
#include "global.h"
#include "imagetab.h"
#include "inputcut.h"
#include "ram_layout.h"
#include "sourcecard.h"
#include "sourceinfo.h"
#include "zemrampara.h"

InputChoose *g_inputchoose = nullptr;

namespace {
constexpr int kImages = 4;          // images 5 and 6 have no tab here
constexpr int kSources = 4;
constexpr int kButtonCrop = 4;      // level-0 focus indices after the tabs
constexpr int kButtonEdid = 5;

constexpr QRect kStrip(0, 42, 320, 47);
constexpr int kTabPitch = 50;
constexpr int kTabX = 10, kTabY = 3;
constexpr int kTabFrameX = 7;
constexpr QSize kTabFrameSize(51, 46);

bool image_present(const uint8_t *img, int w)
{
    return w == 0 || img[Ram::layer(w) + Ram::kLayerEnable] == 1;
}
}

InputChoose::InputChoose() : ScreenOf(PAGE_INPUTCHOOSE), m_list(kCardsPerPage, PagedCursor::Wrap::BothEnds)
{
    ui.setupUi(this);
    m_row = SourceRow(this);
    m_card_font = font();
    m_card_font.setPixelSize(10);
    menulist_init();
    if (ZemRamPara *p = para())
        p->ZemCropSourceInit();
    show_counts();
    initMenu();
    image_select();
    language_changed();
}

// ---- state ------------------------------------------------------------------------------------

void InputChoose::menulist_init()
{
    m_levels.back_to(Level::Tabs);
    m_list.set_position(0);
    m_in_use = Shown{};
    // Images 5 and 6 have no tab: the choice starts on image 1 then.
    const int current = g_image_current.load();
    const ZemRamPara *p = para();
    m_image = (p && current < kImages && image_present(p->RAM_PARA, current)) ? current : 0;
    m_levels.set_index(tab_position(m_image));
}

int InputChoose::tab_position(int image) const
{
    const ZemRamPara *p = para();
    int k = 0;
    for (int w = 0; w < image && w < kImages; ++w)
        k += p && image_present(p->RAM_PARA, w);
    return k;
}

InputChoose::Shown InputChoose::image_shows(int image) const
{
    ZemRamPara *p = para();
    if (!p)
        return {};
    short is_crop = 0;
    char index = 0;
    Shown shown;
    shown.source = ZemRamPara::ZemGetImageSource(p->RAM_PARA, static_cast<uint8_t>(image), &is_crop, &index, 0);
    shown.crop = is_crop != 0;
    // A deleted entry keeps no crop: its word is 0 and it names no source of its own any more.
    if (shown.crop && p->ZemCropRank(static_cast<uint8_t>(index)) > 0)
        shown.crop_index = static_cast<uint8_t>(index);
    return shown;
}

void InputChoose::show_counts()
{
    m_row.show_counts();
    m_row.show_signal_icons();
}

// ---- tabs -------------------------------------------------------------------------------------

void InputChoose::initMenu()
{
    if (!m_strip) {
        m_strip = new QWidget(this);
        m_strip->setGeometry(kStrip);
        m_tab_frame = new QFrame(m_strip);
        m_tab_frame->setObjectName(QStringLiteral("tab_frame"));
    }
    const ZemRamPara *p = para();
    int k = 0;
    for (int w = 0; w < kImages; ++w) {
        if (!p || !image_present(p->RAM_PARA, w)) {
            if (m_tabs[w])
                m_tabs[w]->hide();
            continue;
        }
        m_tab_map[k] = w;
        if (!m_tabs[w])
            m_tabs[w] = new ImageTab(w, m_strip);
        m_tabs[w]->move(kTabPitch * k + kTabX, kTabY);
        m_tabs[w]->show();
        TextCreate(w);
        ++k;
    }
    m_tab_count = k;
    // What the focus frame shows follows the level: the focused tab, the tab held while the
    // keys work in the row or the list, nothing while a button has the focus.
    const bool on_tab = m_levels.at(Level::Tabs) && m_levels.index() < kButtonCrop;
    place_tab_frame(on_tab ? m_levels.index() : tab_position(m_image));
    m_strip->show();
}

void InputChoose::place_tab_frame(int position)
{
    const bool tabs = m_levels.at(Level::Tabs);
    const int focus = tabs ? m_levels.index() : -1;
    if (focus >= kButtonCrop) {
        m_tab_frame->hide();
    } else {
        set_look(m_tab_frame, Look::ImageTabFrame, tabs ? LookState::Focus : LookState::Normal);
        m_tab_frame->setGeometry(QRect(QPoint(kTabPitch * position + kTabFrameX, 0), kTabFrameSize));
        m_tab_frame->show();
    }
    set_look(ui.button_inputcut, Look::Outline, focus == kButtonCrop ? LookState::Focus : LookState::Normal);
    set_look(ui.button_EDID, Look::Outline, focus == kButtonEdid ? LookState::Focus : LookState::Normal);
}

const ImageTab *InputChoose::tab(int position) const
{
    return position >= 0 && position < m_tab_count ? m_tabs[m_tab_map[position]] : nullptr;
}

void InputChoose::TextCreate(int image)
{
    if (image < 0 || image >= kImages || !m_tabs[image])
        return;
    const Shown shown = image_shows(image);
    QString text = sourceinfo::get_source_name_by_sourceid(static_cast<unsigned char>(shown.source));
    // The crop's own number: the list names it by the same.
    if (shown.crop_index >= 0)
        text += QStringLiteral("_Crop%1").arg(Ram::crop_number(para()->rd16(Ram::crop(shown.crop_index))));
    m_tabs[image]->set_source_text(text);
}

void InputChoose::rename_tabs()
{
    for (int w = 0; w < kImages; ++w)
        TextCreate(w);
}

void InputChoose::imagemenu()
{
    if (!m_strip)
        return;
    // The tab the keys are on, or the one held beneath the row and the list.
    const int tab = m_levels.index_of(Level::Tabs);
    if (m_levels.at(Level::Tabs) && tab < kButtonCrop) {
        m_image = m_tab_map[qMin(tab, m_tab_count - 1)];
        if (m_image != g_image_current.load()) {
            g_image_current = static_cast<uint8_t>(m_image);
            if (ZemRamPara *p = para())
                p->test_signal(CHANGE_PARA);
        }
    }
    place_tab_frame(tab);
}

// ---- actions ----------------------------------------------------------------------------------

void InputChoose::zem_button_inputcut_clicked()
{
    open_screen(g_inputcut, new InputCut);
}

void InputChoose::zem_button_EDID_clicked()
{
    open_screen(g_edidset, new EDIDset);
}

void InputChoose::language_changed()
{
    ui.label_title->setText(tr5("信源切换", "Source switch", "Переключение источника", "Chuyển đổi nguồn", "信源切換"));
    ui.button_inputcut->setText(tr5("输入截取", "Input intercept", "Источник", "Chặn nguồn vào", "輸入截取"));
    ui.button_EDID->setText(tr5("设置EDID", "EDID Settings", "Настройка EDID", "Cài đặt EDID", "設置EDID"));
}

// ---- keys -------------------------------------------------------------------------------------

void InputChoose::key_left()
{
    switch (m_levels.current()) {
    case Level::Tabs: {
        // From the first tab to the EDID button, from the crop button to the last tab.
        const int k = m_levels.index();
        m_levels.set_index(k == 0             ? kButtonEdid
                           : k == kButtonEdid ? kButtonCrop
                           : k >= m_tab_count ? m_tab_count - 1
                                              : k - 1);
        imagemenu();
        image_select();
        break;
    }
    case Level::Row:
        m_levels.set_index(m_levels.index() == 0 ? kSources - 1 : m_levels.index() - 1);
        image_select();
        break;
    case Level::List:
        count_entries();
        m_list.previous();
        initSource();
        break;
    }
}

void InputChoose::key_right()
{
    switch (m_levels.current()) {
    case Level::Tabs: {
        // From the last tab to the crop button, from the EDID button to the first tab.
        const int k = m_levels.index() + 1;
        m_levels.set_index(k == m_tab_count ? kButtonCrop : k > kButtonEdid ? 0 : k);
        imagemenu();
        image_select();
        break;
    }
    case Level::Row:
        m_levels.set_index(m_levels.index() + 1 >= kSources ? 0 : m_levels.index() + 1);
        image_select();
        break;
    case Level::List:
        count_entries();
        m_list.next();
        initSource();
        break;
    }
}

void InputChoose::key_ok()
{
    switch (m_levels.current()) {
    case Level::Tabs:
        if (m_levels.index() == kButtonCrop) {
            zem_button_inputcut_clicked();
        } else if (m_levels.index() == kButtonEdid) {
            zem_button_EDID_clicked();
        } else {
            m_levels.enter(Level::Row, m_listpos);
            imagemenu();
            m_list.set_position(0);
            show_list();
        }
        break;
    case Level::Row:
        m_levels.enter(Level::List);
        m_list.set_position(entry_in_use_on_first_page());
        show_list();
        break;
    case Level::List:
        zem_source_button_clicked();
        TextCreate(m_image);
        break;
    }
}

QString InputChoose::key_line(PanelKey key, bool released) const
{
    // Left, right and OK name the level, the focus, the page and what the image shows.
    const char *name = key == PanelKey::Left ? "left-code" : key == PanelKey::Right ? "right-code" : "OK";
    if (!released || (key != PanelKey::Left && key != PanelKey::Right && key != PanelKey::Ok))
        return Screen::key_line(key, released);
    return c_printf("this is %s [InputChoose][Release] [ui_seltype=%#x] [ui_select=%#x] [current_page=%#x] "
                    "[source_type=%#x] [crop_id=%#x]",
                    name, static_cast<unsigned>(level()), static_cast<unsigned>(select()),
                    static_cast<unsigned>(current_page()),
                    m_in_use.crop ? 1u : 0u, static_cast<unsigned>(qMax(0, m_in_use.crop_index)));
}

void InputChoose::key_back()
{
    switch (m_levels.current()) {
    case Level::Tabs:
        leave();
        break;
    case Level::Row:
        m_levels.leave();
        imagemenu();
        // The row's highlight goes back to the image's input with the list.
        image_select();
        break;
    case Level::List:
        m_levels.leave();
        m_list.set_position(0);
        show_list();
        break;
    }
}

void InputChoose::child_left(uint8_t child_page)
{
    initSource();
    // The inputs' signals went on changing while the child was on display.
    m_row.show_signal_icons();
    if (child_page != PAGE_INPUTCUT)
        return;
    show_counts();
    // Deleting a crop moved the images that showed it to its whole input; that change was
    // refreshed while the crops screen was on display, so the tabs learn it here.
    rename_tabs();
}

// ---- refresh ----------------------------------------------------------------------------------

void InputChoose::syncUpdate(int code)
{
    sync_language();
    ZemRamPara *p = para();
    if (!p || !m_strip)
        return;
    const bool crops_changed = std::memcmp(p->RAM_PARA + Ram::kCropTable, p->RAM_PARA_SHADOW + Ram::kCropTable,
                                           Ram::kCropCount * Ram::kCropStride) != 0;
    // The ranks below are read from the crop bookkeeping: bring it up to the table first.
    if (crops_changed || code == CHANGE_FILE_RECEIVED)
        p->ZemCropSourceInit();
    for (int w = 0; w < kImages; ++w) {
        if (m_tabs[w] && m_tabs[w]->isVisibleTo(this) && p->differs16(Ram::layer(w) + Ram::kLayerSource))
            TextCreate(w);
    }
    bool layout_changed = false;
    for (int w = 0; w < kImages; ++w)
        layout_changed = layout_changed || p->differs16(Ram::layer(w) + Ram::kLayerEnable);
    const bool source_changed = p->differs16(Ram::layer(m_image) + Ram::kLayerSource);
    // The listed input's signal against what its card shows, not against the shadow.
    const SourceCard *whole = card(0);
    const bool status_changed = !source_changed && whole && whole->signal_behind();

    if (layout_changed) {
        // The chosen image keeps the choice while it still has a tab, at its new position; an
        // image that lost its tab hands the choice to image 1, so that OK never switches an image
        // that is not shown.
        if (!image_present(p->RAM_PARA, m_image))
            m_image = 0;
        // A focused button keeps the focus; the tab the row and the list go back to moves.
        if (!(m_levels.at(Level::Tabs) && m_levels.index() >= kButtonCrop))
            m_levels.set_index_of(Level::Tabs, tab_position(m_image));
        image_select();
        initMenu();
    } else if (m_levels.at(Level::Tabs)) {
        const int current = g_image_current.load();
        if (current != m_image && current < kImages && m_tabs[current] && m_tabs[current]->isVisibleTo(this)) {
            m_image = current;
            m_levels.set_index(tab_position(current));
            place_tab_frame(m_levels.index());
            image_select();
        } else if (source_changed) {
            image_select();
        } else if (status_changed) {
            initSource();
        }
    } else if (status_changed) {
        initSource();
    }

    if (crops_changed || code == CHANGE_FILE_RECEIVED) {
        // At the tabs the row's highlight follows the image: a deleted crop may have taken it to
        // another input.
        if (m_levels.at(Level::Tabs))
            image_select();
        else
            initSource();
        show_counts();
        // A crop deleted or renumbered under an image changes its tab's name.
        rename_tabs();
    }
    if (m_row.signal_icons_behind())
        m_row.show_signal_icons();
}
