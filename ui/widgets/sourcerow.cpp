#include "sourcerow.h"

#include <QFontMetrics>
#include <QLabel>
#include <algorithm>
#include <iterator>

#include "alias.h"
#include "colouredline.h"
#include "screen.h"
#include "sourceinfo.h"
#include "zemrampara.h"

namespace {
// A display name is cut to the name label less this, so that the count beside it still shows.
constexpr int kNameMargin = 16;

template <class W>
W *place_widget(QWidget *form, int place, const char *what)
{
    return form->findChild<W *>(QStringLiteral("sourcelistseq%1%2").arg(place).arg(QLatin1String(what)));
}
}

SourceRow::SourceRow(QWidget *form)
{
    for (int pos = 0; pos < kInputs; ++pos) {
        m_names[pos] = place_widget<ColouredLine>(form, pos, "name");
        m_icons[pos] = place_widget<QLabel>(form, pos, "pixmap");
    }
}

void SourceRow::show_names()
{
    for (int pos = 0; pos < kInputs; ++pos) {
        const auto p = static_cast<unsigned char>(pos);
        const unsigned char id = sourceinfo::get_source_id_by_listseq(p);
        m_names[pos]->set_runs(sourceinfo::name_runs(id, sourceinfo::get_source_name_by_listseq(p)));
    }
}

void SourceRow::show_counts()
{
    for (int s = 0; s < kInputs; ++s)
        m_counts[s] = sourceinfo::source_entries(static_cast<unsigned char>(s));
    QFont name_font = m_names[0]->window()->font();
    name_font.setPixelSize(9);
    const QFontMetrics metrics(name_font);
    for (int pos = 0; pos < kInputs; ++pos) {
        const auto p = static_cast<unsigned char>(pos);
        const unsigned char id = sourceinfo::get_source_id_by_listseq(p);
        QString text = sourceinfo::get_source_name_by_listseq(p);
        ALIAS_PARA alias;
        if (get_json_alias_para(&alias, QStringLiteral("source"), id) == 1)
            text = metrics.elidedText(alias.name, Qt::ElideRight, m_names[pos]->width() - kNameMargin);
        const auto count = static_cast<unsigned char>(m_counts[id]);
        m_names[pos]->set_runs(sourceinfo::name_count_runs(id, text, count));
    }
}

void SourceRow::show_icons()
{
    std::fill(std::begin(m_online), std::end(m_online), -1);
    for (int pos = 0; pos < kInputs; ++pos) {
        m_icons[pos]->setScaledContents(true);
        sourceinfo::set_source_pixmap(m_icons[pos], sourceinfo::get_source_id_by_listseq(static_cast<unsigned char>(pos)));
    }
}

void SourceRow::show_signal_icons()
{
    const ZemRamPara *p = Screen::para();
    for (int pos = 0; pos < kInputs; ++pos) {
        const unsigned char id = sourceinfo::get_source_id_by_listseq(static_cast<unsigned char>(pos));
        m_online[id] = p && p->has_signal(id) ? 1 : 0;
        m_icons[pos]->setScaledContents(true);
        sourceinfo::set_sourceonline_pixmap(m_icons[pos], id, static_cast<unsigned char>(m_online[id]));
    }
}

bool SourceRow::signal_icons_behind() const
{
    const ZemRamPara *p = Screen::para();
    for (int id = 0; id < kInputs; ++id) {
        if (m_online[id] >= 0 && m_online[id] != (p && p->has_signal(id) ? 1 : 0))
            return true;
    }
    return false;
}

bool SourceRow::online(int source) const
{
    return source >= 0 && source < kInputs && m_online[source] == 1;
}

int SourceRow::count(int source) const
{
    return source >= 0 && source < kInputs ? m_counts[source] : 0;
}
