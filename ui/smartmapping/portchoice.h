#pragma once
#include <QObject>

class PortGrid;
class QPushButton;
class QWidget;
class SmartMapping;
namespace Ui {
class SmartMapping;
}

// The output port of the wizard's record, chosen on the port grid that the debugging flow's Step 2
// and Load scan's step 1 both show under their port-group button. The keys move the grid's cursor
// and the port follows it at once; a touch on a cell chooses its port.
class PortChoice : public QObject
{
public:
    PortChoice(SmartMapping &frame, Ui::SmartMapping &form);

    // The grid on `page`, its cursor on the record's port, `group` marked as the chosen group.
    void show(QPushButton *group, QWidget *page);
    // The keys enter the grid: the port held now is the one restore() gives back; the debugging
    // flow starts the cursor on the first port.
    void enter(QPushButton *group, QWidget *page, bool from_first_port);
    void move(int delta, QWidget *page);
    // OK in the grid: the cell under the cursor is chosen, as a touch on it would.
    void confirm();
    void restore();

    // For the tests: null until a page has shown the grid.
    const PortGrid *grid() const { return m_grid; }

private:
    void place(QWidget *page);
    void cell_touched(int cell);

    SmartMapping &m_frame;
    PortGrid *m_grid = nullptr;
    QPushButton *m_chosen_group;
    int m_cell = 0;
    int m_saved = 0;
};
