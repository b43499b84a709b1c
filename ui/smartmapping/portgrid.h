#pragma once
#include <QFrame>

class QLabel;
class QPushButton;

// One cell of the wizard's port grid: its frame (green while its port is the chosen one), the
// port's icon and name, and the flat button a touch lands on.
class PortCell : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 50;
    static constexpr int kHeight = 40;

    PortCell(int port, QWidget *parent);
    void set_chosen(bool chosen);
    bool chosen() const;
    QPushButton *button() const { return m_button; }

private:
    QFrame *m_frame;
    QPushButton *m_button;
};

// The port grid of the wizard: ports 1 to 6, four to a row. It is built once and moved between
// the two pages that show it (the debugging flow's Step 2, Load scan's step 1).
class PortGrid : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kCells = 6;

    explicit PortGrid(QWidget *parent);
    // Puts the grid on `page` and marks the cell of `port` (none for a port beyond the grid).
    void show_on(QWidget *page, int port);
    PortCell *cell(int i) const { return m_cells[i]; }
    // The cell marked green, or -1.
    int chosen() const;

signals:
    void cell_clicked(int cell);

private:
    PortCell *m_cells[kCells];
};
