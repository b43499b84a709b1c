#pragma once
#include <QWidget>

class QDialog;

// The circular busy indicator laid over a screen while the FPGA thread runs a posted job. At most
// one exists (g_qround_bar); a percent above 99 closes it.
class QRoundProgressBar : public QWidget
{
    Q_OBJECT
public:
    enum BarStyle { Ring = 0, Pie = 1, Outline = 2 };

    explicit QRoundProgressBar(QWidget *parent = nullptr, BarStyle style = Ring);
    ~QRoundProgressBar() override;

    double minimum() const { return m_min; }
    double maximum() const { return m_max; }
    double value() const { return m_value; }
    BarStyle barStyle() const { return m_style; }
    int decimals() const { return m_decimals; }
    // The text drawn in the centre: "50%".
    QString valueText() const;

    void setStartAngle(double angle);
    void setOutlinePenWidth(double width);
    void setDataPenWidth(double width);
    void setDecimals(int count);
    void setBarStyle(BarStyle style);
    void setRange(double min, double max);
    void setMinimum(double min);
    void setMaximum(double max);
    void setValue(double value);
    void setValue(int value);

    static void create_qround_bar(QDialog *parent);
    static void del_qround_bar();

public slots:
    void para_sync(int percent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double m_min = 0;
    double m_max = 100;
    double m_value = 0;
    BarStyle m_style;
    int m_decimals = 0;
    double m_start_angle = 90;
    double m_outline_pen_width = 0;
    double m_data_pen_width = 0;
};

extern QRoundProgressBar *g_qround_bar;
