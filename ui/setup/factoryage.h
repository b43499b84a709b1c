#pragma once
#include <QDialog>
#include <QFont>
#include <QPointer>

#include "screen.h"
#include "ui_factoryage.h"

class QLabel;

// The ageing log (page 23), behind the advanced menu's access code: the samples the tick takes
// every three minutes, sixteen to a page, oldest first, with the five status bits of each as
// coloured names and the counters of how far the counted register rose. Read-only; the tick
// redraws it while it is open.
class factoryage : public ScreenOf<QDialog, Ui::factoryage>
{
    Q_OBJECT
public:
    static constexpr int kRowsPerPage = 16;

    factoryage();

    // Every text is the same in all five languages.
    void language_changed() override {}

    // (Re)makes the log's page and fills the screen once.
    void ageloginit();
    // Draws the page on display from the log and refreshes the counters.
    void update_agelog();

    int page_count() const;
    // The page as drawn (rich text), for readers.
    QString page_text() const { return m_page_text; }

public slots:
    void on_ButtonNext_clicked();
    void on_ButtonPriv_clicked();

protected:
    void key_back() override;

private:
    void show_counters();

    QPointer<QWidget> m_page_widget;
    QLabel *m_log_label = nullptr;
    QFont m_log_font;
    int m_page = 0;
    QString m_page_text;
};

// One row of the page from a log entry ("MM-dd hh:mm r42 r40 r43"): the time, register 42, the
// status bits of register 40 as coloured names, register 43. Empty for an entry without exactly
// five fields.
QString agelog_row(const QString &entry);

extern factoryage *g_factoryage;
