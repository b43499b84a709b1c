#include "portchoice.h"

#include "portgrid.h"
#include "smartmapping.h"

PortChoice::PortChoice(SmartMapping &frame, Ui::SmartMapping &form) : m_frame(frame), m_chosen_group(form.Button_wlan1)
{
    // One port group is offered: ports 1 to 6, on the first group button of each page.
    for (QPushButton *b : {form.Button_wlan2, form.Button_wlan3, form.Button_wlan4, form.Button_wlan6,
                           form.Button_wlan7, form.Button_wlan8})
        b->hide();
    for (QPushButton *b : {form.Button_wlan1, form.Button_wlan5})
        b->setGeometry(10, 32, 55, 17);
}

void PortChoice::show(QPushButton *group, QWidget *page)
{
    set_look(m_chosen_group, Look::PortGroup, LookState::Normal);
    m_chosen_group = group;
    set_look(group, Look::PortGroup, LookState::Edit);
    const int port = m_frame.line().port;
    m_cell = port < PortGrid::kCells ? port : 0;
    place(page);
}

void PortChoice::enter(QPushButton *group, QWidget *page, bool from_first_port)
{
    m_saved = m_frame.line().port;
    if (from_first_port) {
        m_frame.line().port = 0;
        m_frame.store_line();
    }
    show(group, page);
}

void PortChoice::move(int delta, QWidget *page)
{
    m_cell = (m_cell + delta + PortGrid::kCells) % PortGrid::kCells;
    m_frame.line().port = static_cast<uint8_t>(m_cell);
    m_frame.store_line();
    place(page);
}

void PortChoice::confirm()
{
    m_grid->cell(m_cell)->button()->click();
}

void PortChoice::restore()
{
    m_frame.line().port = static_cast<uint8_t>(m_saved);
    m_frame.store_line();
}

void PortChoice::place(QWidget *page)
{
    if (!m_grid) {
        m_grid = new PortGrid(page);
        connect(m_grid, &PortGrid::cell_clicked, this, &PortChoice::cell_touched);
    }
    m_grid->show_on(page, m_frame.line().port);
}

void PortChoice::cell_touched(int cell)
{
    m_cell = cell;
    m_saved = cell;
    m_frame.line().port = static_cast<uint8_t>(cell);
    m_frame.store_line();
    m_grid->show_on(m_grid->parentWidget(), cell);
}
