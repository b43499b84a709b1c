#include "factoryage.h"

#include <QLabel>

#include "clock.h"
#include "global.h"

factoryage *g_factoryage = nullptr;

namespace {

constexpr QRect kPageWidget(0, 0, 280, 236);
constexpr QRect kLogLabel(0, 0, 260, 236);
constexpr int kLogPixelSize = 10;

// The status bits of register 40, bit 0 first.
const char *const kStatusNames[] = {"DDR0", "DDR1", "DE", "HS", "VS"};

QString three_digits(const QString &field)
{
    return QStringLiteral("%1").arg(field.toInt(), 3, 10, QLatin1Char('0'));
}

}

QString agelog_row(const QString &entry)
{
    const QStringList parts = entry.split(QLatin1Char(' '));
    if (parts.size() != 5)
        return QString();
    QString row = parts[0].toHtmlEscaped() + QLatin1Char(' ') + parts[1].toHtmlEscaped() + QLatin1Char(' ');
    row += three_digits(parts[2]) + QLatin1Char(' ');
    const int status = parts[3].toInt();
    for (int bit = 0; bit < 5; ++bit) {
        const bool set = (status >> bit) & 1;
        row += QStringLiteral("<font color = %1 >%2</font>")
                   .arg(set ? QStringLiteral("#00FF00") : QStringLiteral("#FF0000"), QLatin1String(kStatusNames[bit]));
        // A red VS runs straight into the last number; the device has always shown it so.
        if (set || bit < 4)
            row += QLatin1Char(' ');
    }
    return row + three_digits(parts[4]);
}

factoryage::factoryage() : ScreenOf(PAGE_FACTORYAGE)
{
    ui.setupUi(this);
    m_log_font.setPixelSize(kLogPixelSize);
    m_focus.set({ui.ButtonNext, ui.ButtonPriv}, Look::Outline);
    m_focus.restyle();
    ageloginit();
}

int factoryage::page_count() const
{
    return (int(factoryage_log.size()) + kRowsPerPage - 1) / kRowsPerPage;
}

void factoryage::ageloginit()
{
    const QString waiting = clock_now().toString(QStringLiteral("MM-dd hh:mm")) + QStringLiteral("  ")
                            + QString::fromUtf8("正在老化中...");
    delete m_page_widget;
    m_page_widget = new QWidget(ui.frame);
    m_page_widget->setGeometry(kPageWidget);
    m_log_label = new QLabel(m_page_widget);
    m_log_label->setFont(m_log_font);
    m_log_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_log_label->setGeometry(kLogLabel);
    set_look(m_log_label, Look::DialogText);
    m_log_label->setFrameShape(QFrame::NoFrame);
    m_log_label->setTextFormat(Qt::RichText);

    if (!factoryage_log.empty()) {
        update_agelog();
    } else {
        m_log_label->setText(waiting);
        m_page_text.clear();
        // Zero whatever the counters hold: nothing was sampled that this screen could show.
        for (auto [label, suffix] : {std::pair{ui.label_3, "<3"}, {ui.label_5, "<5"}, {ui.label_10, "<10"},
                                     {ui.label_20, "<20"}, {ui.label_more, ">20"}})
            label->setText(QLatin1Char('0') + QLatin1String(suffix));
        ui.page_info->setText(QStringLiteral("0"));
        ui.label_page->setText(QStringLiteral("0/0"));
    }
    m_page_widget->show();
}

void factoryage::update_agelog()
{
    const int n = int(factoryage_log.size());
    if (n == 0) {
        ageloginit();
    } else {
        m_page_text.clear();
        const int first = m_page * kRowsPerPage;
        const int last = n - first < kRowsPerPage ? n : first + kRowsPerPage;
        for (int i = first; i < last; ++i) {
            const QString row = agelog_row(factoryage_log[size_t(i)]);
            if (row.isEmpty())
                continue;
            // The break belongs to the entry's place on the page, not to the rows shown above it.
            if (i != first)
                m_page_text += QStringLiteral("<br>");
            m_page_text += row;
        }
        m_log_label->setText(m_page_text);
    }
    show_counters();
    ui.page_info->setText(QString::number(n));
    ui.label_page->setText(QStringLiteral("%1/%2").arg(m_page + 1).arg(page_count()));
}

void factoryage::show_counters()
{
    ui.label_3->setText(QString::number(factoryage_log_diff3) + QStringLiteral("<3"));
    ui.label_5->setText(QString::number(factoryage_log_diff5) + QStringLiteral("<5"));
    ui.label_10->setText(QString::number(factoryage_log_diff10) + QStringLiteral("<10"));
    ui.label_20->setText(QString::number(factoryage_log_diff20) + QStringLiteral("<20"));
    // Rises of 20 and more, whatever the suffix says.
    ui.label_more->setText(QString::number(factoryage_log_diffmore) + QStringLiteral(">20"));
}

void factoryage::on_ButtonNext_clicked()
{
    const int count = page_count();
    if (m_page >= count)
        return;
    m_page = m_page + 1 >= count ? 0 : m_page + 1;
    update_agelog();
}

void factoryage::on_ButtonPriv_clicked()
{
    const int count = page_count();
    if (count == 0)
        return;
    m_page = m_page == 0 ? count - 1 : m_page - 1;
    update_agelog();
}

// The advanced menu is drawn again only for a new language: its recovery entry stays as the user
// last saw it.
void factoryage::key_back()
{
    leave_to(parent_page(page()), ParentTexts::OnNewLanguage);
}
