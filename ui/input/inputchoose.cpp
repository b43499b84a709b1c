#include "inputchoose.h"

#include <QFontMetrics>
#include <cstring>

#include "alias.h"
#include "edidset.h"
#include "entrycard.h"
#include "global.h"
#include "imagetab.h"
#include "inputcut.h"
#include "ram_layout.h"
#include "sourceinfo.h"
#include "tip.h"
#include "zemrampara.h"

InputChoose *g_inputchoose = nullptr;

namespace {
constexpr int kImages = 4;          // images 5 and 6 have no tab here
constexpr int kSources = 4;
constexpr int kCardsPerPage = 3;
constexpr int kButtonCrop = 4;      // level-0 focus indices after the tabs
constexpr int kButtonEdid = 5;
constexpr int kMaxEntries = 100;

constexpr QRect kStrip(0, 42, 320, 47);
constexpr int kTabPitch = 50;
constexpr int kTabX = 10, kTabY = 3;
constexpr int kTabFrameX = 7;
constexpr QSize kTabFrameSize(51, 46);
constexpr QRect kListFrame(1, 127, 318, 70);
constexpr int kCardX = 14, kCardPitch = 95, kCardY = 10;
constexpr int kHighlightPitch = 53;
constexpr QRect kHighlight(1, 95, 53, 33);
// The source row's names are cut to the label less this, measured in a 9-pixel font.
constexpr int kNameMargin = 16;

QString in_use_text()
{
    // The Chinese text ends in a soft hyphen, as it always has.
    return tr5("使用中\xC2\xAD", "Using", "Использовать", "sử dụng", "使用中\xC2\xAD");
}

bool image_present(const uint8_t *img, int w)
{
    return w == 0 || img[Ram::layer(w) + Ram::kLayerEnable] == 1;
}
}

InputChoose::InputChoose() : ScreenOf(PAGE_INPUTCHOOSE)
{
    ui.setupUi(this);
    for (QWidget *w : {static_cast<QWidget *>(ui.sourcelistseq4name), static_cast<QWidget *>(ui.sourcelistseq4pixmap),
                       static_cast<QWidget *>(ui.sourcelistseq5name), static_cast<QWidget *>(ui.sourcelistseq5pixmap)})
        w->hide();
    m_card_font = font();
    m_card_font.setPixelSize(10);
    menulist_init();
    if (ZemRamPara *p = para())
        p->ZemCropSourceInit();
    crop_source_num_update();
    initMenu();
    image_select();
    language_changed();
}

// ---- state ------------------------------------------------------------------------------------

void InputChoose::menulist_init()
{
    ui_select = 0;
    ui_seltype = 0;
    m_page = 0;
    m_in_use = Shown{};
    // Images 5 and 6 have no tab: the choice starts on image 1 then.
    const int current = g_image_current.load();
    const ZemRamPara *p = para();
    m_image = (p && current < kImages && image_present(p->RAM_PARA, current)) ? current : 0;
    ui_select = static_cast<uint8_t>(tab_position(m_image));
    // Back from the source row returns here: to the tab the screen opened on, not to the first.
    m_last_tab = ui_select;
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

int InputChoose::get_source_num(unsigned char source) const
{
    return source < kSources ? m_counts[source] : 0;
}

int InputChoose::source_current_check()
{
    const int count = qMin(kMaxEntries, sourceinfo::source_entries(static_cast<unsigned char>(m_listed)));
    m_last_page = (count - 1) / kCardsPerPage;
    return count;
}

// ---- source row -------------------------------------------------------------------------------

void InputChoose::crop_source_num_update()
{
    for (int s = 0; s < kSources; ++s)
        m_counts[s] = sourceinfo::source_entries(static_cast<unsigned char>(s));
    source_name_update();
}

void InputChoose::source_name_update()
{
    QLabel *const names[kSources] = {ui.sourcelistseq0name, ui.sourcelistseq1name, ui.sourcelistseq2name,
                                     ui.sourcelistseq3name};
    QLabel *const icons[kSources] = {ui.sourcelistseq0pixmap, ui.sourcelistseq1pixmap, ui.sourcelistseq2pixmap,
                                     ui.sourcelistseq3pixmap};
    sourceinfo::show_source_row(names, icons, m_counts, kNameMargin);
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
    place_tab_frame(ui_seltype == 0 && ui_select < kButtonCrop ? ui_select : tab_position(m_image));
    m_strip->show();
}

void InputChoose::place_tab_frame(int position)
{
    if (ui_seltype == 0 && ui_select >= kButtonCrop) {
        m_tab_frame->hide();
    } else {
        set_look(m_tab_frame, Look::ImageTabFrame, ui_seltype == 0 ? LookState::Focus : LookState::Normal);
        m_tab_frame->setGeometry(QRect(QPoint(kTabPitch * position + kTabFrameX, 0), kTabFrameSize));
        m_tab_frame->show();
    }
    set_look(ui.button_inputcut, Look::Outline,
             ui_seltype == 0 && ui_select == kButtonCrop ? LookState::Focus : LookState::Normal);
    set_look(ui.button_EDID, Look::Outline,
             ui_seltype == 0 && ui_select == kButtonEdid ? LookState::Focus : LookState::Normal);
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
    if (ui_seltype == 0 && ui_select < kButtonCrop) {
        m_image = m_tab_map[qMin<int>(ui_select, m_tab_count - 1)];
        if (m_image != g_image_current.load()) {
            g_image_current = static_cast<uint8_t>(m_image);
            if (ZemRamPara *p = para())
                p->test_signal(CHANGE_PARA);
        }
        m_last_tab = ui_select;
    }
    place_tab_frame(ui_select);
}

// ---- source row and list ----------------------------------------------------------------------

void InputChoose::image_select()
{
    m_page = 0;
    if (ui_seltype == 0) {
        m_in_use = image_shows(m_image);
        m_listpos = sourceinfo::get_listseq_by_source_id(static_cast<unsigned char>(m_in_use.source));
    } else if (ui_seltype == 1) {
        m_listpos = ui_select;
    }
    on_Button_source_clicked();
}

void InputChoose::on_Button_source_clicked()
{
    initSource();
    ui.frame1->setGeometry(kHighlight.translated(kHighlightPitch * m_listpos, 0));
    set_look(ui.frame1, Look::OpenTab, ui_seltype == 1 ? LookState::Focus : LookState::Normal);
}

void InputChoose::initSource()
{
    ZemRamPara *p = para();
    if (!p)
        return;
    p->ZemCropSourceInit();
    // What the selected image shows; at the row and list levels, as last read or switched.
    if (ui_seltype == 0) {
        m_in_use = image_shows(m_image);
        m_listed = m_in_use.source;
    } else {
        m_listed = sourceinfo::get_source_id_by_listseq(static_cast<unsigned char>(m_listpos));
    }
    m_listed_name = sourceinfo::get_source_name_by_sourceid(static_cast<unsigned char>(m_listed));
    const int count = source_current_check();
    const int cards = qBound(0, count - kCardsPerPage * m_page, kCardsPerPage);

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
    set_look(m_list_frame, Look::ListFrame, ui_seltype == 1 ? LookState::Focus : LookState::Normal);

    const QString badge = in_use_text();
    for (int k = 0; k < kCardsPerPage; ++k) {
        if (k >= cards) {
            if (m_cards[k])
                m_cards[k]->hide();
            continue;
        }
        if (!m_cards[k]) {
            m_cards[k] = new EntryCard(m_card_font, m_list_frame);
            m_cards[k]->move(kCardX + kCardPitch * k, kCardY);
        }
        EntryCard *card = m_cards[k];
        const int e = kCardsPerPage * m_page + k;
        QString name, info;
        if (e == 0) {
            name = m_listed_name;
            info = sourceinfo::timing_text(static_cast<unsigned char>(m_listed));
        } else {
            CROP_PARA crop{};
            int index = Ram::kCropCount;
            p->ZemGetCropPara(m_listed, e, &crop, &index);
            if (index < Ram::kCropCount) {
                ALIAS_PARA alias;
                if (get_json_alias_para(&alias, QStringLiteral("crop"), index) == 1)
                    name = QFontMetrics(m_card_font).elidedText(alias.name, Qt::ElideRight, 80);
                else
                    name = m_listed_name +
                           QStringLiteral("_crop%1").arg(Ram::crop_number(static_cast<uint16_t>(crop.word)));
                info = QStringLiteral("%1x%2").arg(crop.w).arg(crop.h);
            }
        }
        card->set_entry(m_listed, name, info);
        card->set_state(e == in_use_entry, ui_seltype == 2 && ui_select == k, badge);
        card->show();
    }
    m_cards_shown = cards;
    m_list_frame->show();
}

void InputChoose::para_uiselect_init()
{
    ui_select = 0;
    const Shown shown = image_shows(m_image);
    if (shown.crop_index >= 0 && shown.source == m_listed) {
        const int n = para()->ZemCropRank(shown.crop_index);
        if (n == 1 || n == 2)
            ui_select = static_cast<uint8_t>(n);
    }
}

void InputChoose::para_source_index_init()
{
    ui_select = static_cast<uint8_t>(m_listpos);
    m_page = 0;
}

const EntryCard *InputChoose::card(int k) const
{
    return k >= 0 && k < m_cards_shown ? m_cards[k] : nullptr;
}

// ---- actions ----------------------------------------------------------------------------------

void InputChoose::zem_source_button_clicked()
{
    ZemRamPara *p = para();
    if (!p)
        return;
    const int e = ui_select + kCardsPerPage * m_page;
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
    show_tip(TIP_DONE);
}

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
    switch (ui_seltype) {
    case 0:
        if (ui_select == 0)
            ui_select = kButtonEdid;
        else if (ui_select == kButtonEdid)
            ui_select = kButtonCrop;
        else if (ui_select >= m_tab_count)
            ui_select = static_cast<uint8_t>(m_tab_count - 1);
        else
            --ui_select;
        imagemenu();
        image_select();
        break;
    case 1:
        ui_select = ui_select == 0 ? kSources - 1 : ui_select - 1;
        image_select();
        break;
    default: {
        const int count = source_current_check();
        if (ui_select == 0) {
            if (m_page == 0) {
                m_page = m_last_page;
                ui_select = static_cast<uint8_t>(count - kCardsPerPage * m_last_page);
            } else {
                --m_page;
                ui_select = kCardsPerPage;
            }
        }
        --ui_select;
        initSource();
        break;
    }
    }
}

void InputChoose::key_right()
{
    switch (ui_seltype) {
    case 0:
        ++ui_select;
        if (ui_select == m_tab_count)
            ui_select = kButtonCrop;
        else if (ui_select > kButtonEdid)
            ui_select = 0;
        imagemenu();
        image_select();
        break;
    case 1:
        ui_select = ui_select + 1 >= kSources ? 0 : ui_select + 1;
        image_select();
        break;
    default: {
        const int count = source_current_check();
        ++ui_select;
        if (kCardsPerPage * m_page + ui_select >= count) {
            m_page = 0;
            ui_select = 0;
        } else if (ui_select >= kCardsPerPage) {
            ui_select = 0;
            m_page = qMin(m_page + 1, m_last_page);
        }
        initSource();
        break;
    }
    }
}

void InputChoose::key_ok()
{
    switch (ui_seltype) {
    case 0:
        if (ui_select == kButtonCrop) {
            zem_button_inputcut_clicked();
        } else if (ui_select == kButtonEdid) {
            zem_button_EDID_clicked();
        } else {
            ui_seltype = 1;
            imagemenu();
            para_source_index_init();
            on_Button_source_clicked();
        }
        break;
    case 1:
        ui_seltype = 2;
        para_uiselect_init();
        on_Button_source_clicked();
        break;
    default:
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
                    name, unsigned{ui_seltype}, unsigned{ui_select}, static_cast<unsigned>(m_page),
                    m_in_use.crop ? 1u : 0u, static_cast<unsigned>(qMax(0, m_in_use.crop_index)));
}

void InputChoose::key_back()
{
    switch (ui_seltype) {
    case 0:
        leave();
        break;
    case 1:
        ui_seltype = 0;
        ui_select = static_cast<uint8_t>(m_last_tab);
        imagemenu();
        // The row's highlight goes back to the image's input with the list.
        image_select();
        break;
    default:
        ui_seltype = 1;
        para_source_index_init();
        on_Button_source_clicked();
        break;
    }
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
    const bool status_changed = !source_changed && p->timing_row_changed(m_listed);

    if (layout_changed) {
        // The chosen image keeps the choice while it still has a tab, at its new position; an
        // image that lost its tab hands the choice to image 1, so that OK never switches an image
        // that is not shown.
        if (!image_present(p->RAM_PARA, m_image))
            m_image = 0;
        m_last_tab = tab_position(m_image);
        if (ui_seltype == 0 && ui_select < kButtonCrop)
            ui_select = static_cast<uint8_t>(m_last_tab);
        image_select();
        initMenu();
    } else if (ui_seltype == 0) {
        const int current = g_image_current.load();
        if (current != m_image && current < kImages && m_tabs[current] && m_tabs[current]->isVisibleTo(this)) {
            m_image = current;
            ui_select = static_cast<uint8_t>(tab_position(current));
            m_last_tab = ui_select;
            place_tab_frame(ui_select);
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
        if (ui_seltype == 0)
            image_select();
        else
            initSource();
        crop_source_num_update();
        // A crop deleted or renumbered under an image changes its tab's name.
        rename_tabs();
    }
}
