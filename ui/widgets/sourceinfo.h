#pragma once
#include <QString>

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
    // The rich-text template for the name alone; the caller fills "%1".
    static QString get_source_specialstyle0_by_sourceid(unsigned char source_id);
    // "<name>(<count>)" in rich text; the name is taken as plain text.
    static QString get_source_specialstyle1_by_sourceid(unsigned char source_id, const QString &text,
                                                        unsigned char count);
    static void set_source_pixmap(QLabel *label, unsigned char source_id);
    static void set_sourceonline_pixmap(QLabel *label, unsigned char source_id, unsigned char online);

    // Entries of source id 0..3: the input itself and its crops; 0 for another id.
    static int source_entries(unsigned char source_id);
    // "%dx%d@%dHz" of the input's signal, or the no-signal text.
    static QString timing_text(unsigned char source_id);
    static QString no_signal_text();

    // The resource paths behind the two pixmap setters ("" for an id above 3).
    static QString source_icon(unsigned char source_id);
    static QString source_online_icon(unsigned char source_id, unsigned char online);
};
