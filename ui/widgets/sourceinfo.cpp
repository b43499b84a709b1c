#include "sourceinfo.h"

#include <QLabel>
#include <QPixmap>

#include "language.h"
#include "ram_layout.h"
#include "screen.h"
#include "zemrampara.h"

namespace {

struct SourceRow
{
    const char *name;
    const char *icon;
    const char *icon_online;
    const char *icon_offline;
};

// By source id.
const SourceRow kSources[4] = {
    {"DVI", ":/png/DVI.png", ":/png/dvilv.png", ":/png/DVI.png"},
    {"HDMI1", ":/png/HDMI13.png", ":/png/HDMI13_lv.png", ":/png/HDMI13_1.png"},
    {"HDMI2", ":/png/HDMI13.png", ":/png/HDMI13_lv.png", ":/png/HDMI13_1.png"},
    {"HDMI3", ":/png/HDMI20.png", ":/png/HDMI20_lv.png", ":/png/HDMI20.png"},
};

const unsigned char kIdByListseq[3] = {1, 2, 3};
const unsigned char kListseqById[4] = {3, 0, 1, 2};

// The names' size and colours. The fourth input's green is a shade darker beside a count.
constexpr int kNamePixels = 9;
constexpr QRgb kWhite = 0xffffff;
constexpr QRgb kGreenName = 0x51bb28;
constexpr QRgb kGreenCount = 0x12bb32;
constexpr QRgb kBlue = 0x4777ff;

}

QString sourceinfo::get_source_name_by_sourceid(unsigned char source_id)
{
    return source_id <= 3 ? QString::fromLatin1(kSources[source_id].name) : QString();
}

QString sourceinfo::get_source_name_by_listseq(unsigned char listseq)
{
    return listseq <= 3 ? get_source_name_by_sourceid(get_source_id_by_listseq(listseq)) : QString();
}

unsigned char sourceinfo::get_source_id_by_listseq(unsigned char listseq)
{
    return listseq < 3 ? kIdByListseq[listseq] : 0;
}

unsigned char sourceinfo::get_listseq_by_source_id(unsigned char source_id)
{
    return source_id <= 3 ? kListseqById[source_id] : 0;
}

std::vector<ColouredLine::Run> sourceinfo::name_runs(unsigned char source_id, const QString &name)
{
    return {{name, QColor(source_id == 3 ? kGreenName : kWhite), kNamePixels}};
}

std::vector<ColouredLine::Run> sourceinfo::name_count_runs(unsigned char source_id, const QString &name,
                                                           unsigned char count)
{
    if (source_id > 3)
        return {};
    return {{name, QColor(source_id == 3 ? kGreenCount : kWhite), kNamePixels},
            {QStringLiteral("(%1)").arg(count), QColor(kBlue), kNamePixels}};
}

QString sourceinfo::source_icon(unsigned char source_id)
{
    return source_id <= 3 ? QString::fromLatin1(kSources[source_id].icon) : QString();
}

QString sourceinfo::source_online_icon(unsigned char source_id, unsigned char online)
{
    if (source_id > 3)
        return QString();
    return QString::fromLatin1(online ? kSources[source_id].icon_online : kSources[source_id].icon_offline);
}

void sourceinfo::set_source_pixmap(QLabel *label, unsigned char source_id)
{
    if (!label || source_id > 3)
        return;
    label->setPixmap(png(source_icon(source_id)));
}

void sourceinfo::set_sourceonline_pixmap(QLabel *label, unsigned char source_id, unsigned char online)
{
    if (!label || source_id > 3)
        return;
    label->setPixmap(png(source_online_icon(source_id, online)));
}

int sourceinfo::source_entries(unsigned char source_id)
{
    // An id beyond the four inputs (a window set so over the link) has nothing to list.
    if (source_id > 3)
        return 0;
    const ZemRamPara *p = Screen::para();
    return 1 + (p ? p->ZemGetSourceNum(source_id, Ram::kCropCount) : 0);
}

QString sourceinfo::timing_text(const ZemRamPara::TimingRow &row)
{
    if (row.width == 0 || row.height == 0 || row.rate == 0)
        return no_signal_text();
    return QStringLiteral("%1x%2@%3Hz").arg(row.width).arg(row.height).arg(row.rate);
}

QString sourceinfo::no_signal_text()
{
    return tr5("无信号", "No signal", "Нет сигнала", "Không có tín hiệu", "無信號");
}
