#pragma once
#include <QString>
#include <vector>

#include "colouredline.h"
#include "zemrampara.h"

class QLabel;

// Names, list order, name colours and icons of the four inputs. Source ids (image): 0 DVI,
// 1 HDMI1, 2 HDMI2, 3 HDMI3. List positions (screens): 0 HDMI1, 1 HDMI2, 2 HDMI3, 3 DVI.
class sourceinfo
{
public:
    sourceinfo() = delete;

    static QString get_source_name_by_sourceid(unsigned char source_id);
    static QString get_source_name_by_listseq(unsigned char listseq);
    static unsigned char get_source_id_by_listseq(unsigned char listseq);
    static unsigned char get_listseq_by_source_id(unsigned char source_id);
    // The name alone in its input's colour (the fourth input's green, else white), 9 px.
    static std::vector<ColouredLine::Run> name_runs(unsigned char source_id, const QString &name);
    // "<name>(<count>)": the name in its input's colour, the count in blue; nothing for an id
    // above 3.
    static std::vector<ColouredLine::Run> name_count_runs(unsigned char source_id, const QString &name,
                                                          unsigned char count);
    static void set_source_pixmap(QLabel *label, unsigned char source_id);
    static void set_sourceonline_pixmap(QLabel *label, unsigned char source_id, unsigned char online);

    // Entries of source id 0..3: the input itself and its crops; 0 for another id.
    static int source_entries(unsigned char source_id);
    // "%dx%d@%dHz" of an input's signal row, or the no-signal text.
    static QString timing_text(const ZemRamPara::TimingRow &row);
    static QString no_signal_text();

    // The resource paths behind the two pixmap setters ("" for an id above 3).
    static QString source_icon(unsigned char source_id);
    static QString source_online_icon(unsigned char source_id, unsigned char online);
};
