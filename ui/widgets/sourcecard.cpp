#include "sourcecard.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>

#include "alias.h"
#include "language.h"
#include "looks.h"
#include "ram_layout.h"
#include "screen.h"
#include "sourceinfo.h"
#include "zemrampara.h"

namespace {

// A kind's geometry and looks. The ground of the two cells on dark ground shares the crop cell's
// look; their icon and texts stand on that ground, an entry's on the list's own.
struct KindRow
{
    QSize size;
    QRect dot, icon, name, info;
    Look ground, ground_in_use;
    const char *ground_name;   // null: none
    const char *name_name;
    const char *info_name;
    const char *icon_style;    // null: none
    const char *text_style;
    bool dot_shows_use;        // else always on
};

const KindRow &row(SourceCard::Kind kind)
{
    static const char kIconOnGround[] = "background-color: #212435;";
    static const char kTextOnGround[] = "background-color:#212435;color:#FFFFFF";
    static const KindRow rows[] = {
        // CropCell
        {QSize(92, 45), QRect(5, 2, 7, 7), QRect(15, 2, 25, 8), QRect(2, 13, 80, 12), QRect(2, 28, 88, 12),
         Look::CropCell, Look::CropCell, "cell_frame", "cell_name", "cell_size", kIconOnGround, kTextOnGround, false},
        // Entry
        {QSize(92, 50), QRect(3, 5, 7, 7), QRect(12, 5, 25, 8), QRect(3, 15, 80, 12), QRect(3, 30, 88, 12),
         Look::EntryCard, Look::EntryCardInUse, "source_frame", "card_name", "card_info", nullptr,
         "color: rgb(255, 255, 255)", true},
        // EdidInput
        {QSize(120, 50), QRect(5, 3, 7, 7), QRect(15, 3, 25, 8), QRect(5, 14, 60, 12), QRect(5, 29, 88, 12),
         Look::CropCell, Look::CropCell, nullptr, "card_name", "card_edid", kIconOnGround, kTextOnGround, false},
    };
    return rows[static_cast<int>(kind)];
}

// The in-use badge of an entry, over its top right corner.
constexpr QRect kBadge(60, 0, 30, 12);
const char kBadgeStyle[] = "background-color: #00D65B;color: rgb(255, 255, 255);font: 7px;border-radius:5px;";

QString dot_path(bool on)
{
    return on ? QStringLiteral(":/png/state_on.png") : QStringLiteral(":/png/state_off.png");
}

}

SourceCard::SourceCard(Kind kind, const QFont &font, QWidget *parent) : QWidget(parent), m_kind(kind), m_font(font)
{
    const KindRow &r = row(kind);
    resize(r.size);
    m_ground = new QFrame(this);
    if (r.ground_name)
        m_ground->setObjectName(QLatin1String(r.ground_name));
    m_ground->setGeometry(QRect(QPoint(0, 0), r.size));
    set_look(m_ground, r.ground, LookState::Normal);

    m_dot = new QLabel(this);
    m_dot->setGeometry(r.dot);
    if (!r.dot_shows_use)
        m_dot->setPixmap(png(dot_path(true)));
    m_dot->setScaledContents(true);

    m_icon = new QLabel(this);
    m_icon->setGeometry(r.icon);
    if (r.icon_style)
        m_icon->setStyleSheet(QLatin1String(r.icon_style));
    m_icon->setScaledContents(true);

    m_name = new QLabel(this);
    m_name->setObjectName(QLatin1String(r.name_name));
    m_name->setGeometry(r.name);
    m_info = new QLabel(this);
    m_info->setObjectName(QLatin1String(r.info_name));
    m_info->setGeometry(r.info);
    for (QLabel *l : {m_name, m_info}) {
        l->setStyleSheet(QLatin1String(r.text_style));
        l->setFont(font);
    }
}

void SourceCard::set_entry(int source, const QString &name, const QString &info)
{
    if (source != m_source) {
        m_source = source;
        sourceinfo::set_source_pixmap(m_icon, static_cast<unsigned char>(source));
    }
    set_plain_text(m_name, name);
    m_info->setText(info);
    m_shows_signal = false;
}

void SourceCard::show_list_entry(int source, int entry, const QString &source_name, int name_width)
{
    if (entry == 0) {
        // Read once: the source thread may write the row between two reads.
        const ZemRamPara *p = Screen::para();
        const ZemRamPara::TimingRow row = p ? p->timing_row(source) : ZemRamPara::TimingRow{};
        set_entry(source, source_name, sourceinfo::timing_text(row));
        m_signal = row;
        m_shows_signal = true;
        return;
    }
    QString name, size;
    CROP_PARA crop{};
    int index = Ram::kCropCount;
    if (const ZemRamPara *p = Screen::para())
        p->ZemGetCropPara(source, entry, &crop, &index);
    if (index < Ram::kCropCount) {
        ALIAS_PARA alias;
        if (get_json_alias_para(&alias, QStringLiteral("crop"), index) == 1)
            name = QFontMetrics(m_font).elidedText(alias.name, Qt::ElideRight, name_width);
        else
            name = source_name + QStringLiteral("_crop%1").arg(Ram::crop_number(static_cast<uint16_t>(crop.word)));
        size = QStringLiteral("%1x%2").arg(crop.w).arg(crop.h);
    }
    set_entry(source, name, size);
}

bool SourceCard::signal_behind() const
{
    const ZemRamPara *p = Screen::para();
    return m_shows_signal && p && p->timing_row(m_source) != m_signal;
}

void SourceCard::set_state(bool focused, bool in_use, const QString &badge_text)
{
    const KindRow &r = row(m_kind);
    in_use = in_use && r.dot_shows_use;
    const LookState state = focused ? LookState::Focus : LookState::Normal;
    // A kind without an in-use look gets its style sheet again only on a change.
    if (r.ground != r.ground_in_use || look_state(m_ground) != state)
        set_look(m_ground, in_use ? r.ground_in_use : r.ground, state);
    if (!r.dot_shows_use)
        return;
    if (int(in_use) != m_dot_on) {
        m_dot_on = in_use;
        m_dot->setPixmap(png(dot_path(in_use)));
    }
    if (!in_use) {
        delete m_badge.data();
        return;
    }
    if (!m_badge) {
        m_badge = new QLabel(this);
        m_badge->setObjectName(QStringLiteral("badge"));
        m_badge->setGeometry(kBadge);
        m_badge->setAlignment(Qt::AlignCenter);
        m_badge->setStyleSheet(QLatin1String(kBadgeStyle));
        m_badge->show();
    }
    m_badge->setText(badge_text);
}

bool SourceCard::focused() const
{
    return look_state(m_ground) == LookState::Focus;
}

QString SourceCard::name() const
{
    return m_name->text();
}

QString SourceCard::info() const
{
    return m_info->text();
}

QString SourceCard::badge_text() const
{
    return m_badge ? m_badge->text() : QString();
}
