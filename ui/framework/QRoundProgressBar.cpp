#include "QRoundProgressBar.h"

#include <QDialog>
#include <QPainter>
#include <QPainterPath>

#include "global.h"

QRoundProgressBar *g_qround_bar = nullptr;

QRoundProgressBar::QRoundProgressBar(QWidget *parent, BarStyle style) : QWidget(parent), m_style(style)
{
}

QRoundProgressBar::~QRoundProgressBar()
{
    // A bar deleted with its screen must not stay behind as the running job's sign.
    if (g_qround_bar == this)
        g_qround_bar = nullptr;
}

void QRoundProgressBar::setStartAngle(double angle)
{
    if (angle != m_start_angle) {
        m_start_angle = angle;
        update();
    }
}

void QRoundProgressBar::setOutlinePenWidth(double width)
{
    if (width != m_outline_pen_width) {
        m_outline_pen_width = width;
        update();
    }
}

void QRoundProgressBar::setDataPenWidth(double width)
{
    if (width != m_data_pen_width) {
        m_data_pen_width = width;
        update();
    }
}

void QRoundProgressBar::setDecimals(int count)
{
    if (count >= 0 && count != m_decimals) {
        m_decimals = count;
        update();
    }
}

void QRoundProgressBar::setBarStyle(BarStyle style)
{
    if (style != m_style) {
        m_style = style;
        update();
    }
}

void QRoundProgressBar::setRange(double min, double max)
{
    m_min = qMin(min, max);
    m_max = qMax(min, max);
    if (m_value < m_min)
        m_value = m_min;
    else if (m_value > m_max)
        m_value = m_max;
    update();
}

void QRoundProgressBar::setMinimum(double min)
{
    setRange(min, m_max);
}

void QRoundProgressBar::setMaximum(double max)
{
    setRange(m_min, max);
}

void QRoundProgressBar::setValue(double value)
{
    if (value == m_value)
        return;
    m_value = qBound(m_min, value, m_max);
    update();
}

void QRoundProgressBar::setValue(int value)
{
    setValue(static_cast<double>(value));
}

QString QRoundProgressBar::valueText() const
{
    const double span = m_max - m_min;
    const double percent = span > 0 ? (m_value - m_min) / span * 100.0 : 0.0;
    return QString::number(percent, 'f', m_decimals) + QLatin1Char('%');
}

void QRoundProgressBar::create_qround_bar(QDialog *parent)
{
    if (g_qround_bar)
        return;
    zem_debug("\n create_qround_bar");
    g_qround_bar = new QRoundProgressBar(parent, Ring);
    g_qround_bar->setGeometry(120, 70, 100, 100);
    g_qround_bar->setValue(0);
    g_qround_bar->show();
}

void QRoundProgressBar::del_qround_bar()
{
    g_qround_bar = nullptr;
}

void QRoundProgressBar::para_sync(int percent)
{
    QRoundProgressBar *bar = g_qround_bar;
    if (!bar)
        return;
    if (percent > 99) {
        bar->hide();
        g_qround_bar = nullptr;
        // Gone, not only hidden: a screen that runs many jobs would otherwise gather one hidden
        // bar per job until it closes.
        bar->deleteLater();
        return;
    }
    bar->setValue(percent);
    bar->update();
}

void QRoundProgressBar::paintEvent(QPaintEvent *)
{
    const double d_outer = width();
    const QRectF base(0, 0, d_outer, d_outer);

    QPainter p(this);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    p.fillRect(base, QColor(255, 255, 255, 0));

    double d_inner = d_outer;
    if (m_style == Ring)
        d_inner = d_outer * 0.9;
    else if (m_style == Outline)
        d_inner = d_outer - m_outline_pen_width;
    const double off = (d_outer - d_inner) / 2;
    const QRectF inner(off, off, d_inner, d_inner);

    // base
    if (m_style == Ring) {
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        path.moveTo(base.center());
        path.addEllipse(inner);
        p.setPen(QPen(QColor(QStringLiteral("#DEE3E7")), 10));
        p.setBrush(Qt::white);
        p.drawPath(path);
    } else {
        QPen pen(QBrush(QColor(QStringLiteral("#FFFFFF"))), m_outline_pen_width, Qt::SolidLine, Qt::SquareCap,
                 Qt::BevelJoin);
        p.setPen(pen);
        if (m_style == Pie) {
            p.setBrush(QColor(QStringLiteral("#DEE3E7")));
            p.drawEllipse(base);
        } else {
            p.setBrush(Qt::NoBrush);
            const double half = m_outline_pen_width / 2;
            p.drawEllipse(base.adjusted(half, half, -half, -half));
        }
    }

    // value
    if (m_value != m_min && m_max > m_min) {
        const double arc = 360.0 / (m_max - m_min) * m_value;
        const int start16 = static_cast<int>(m_start_angle * 16);
        const int span16 = static_cast<int>(-arc * 16);
        const QColor blue(QStringLiteral("#2F8DED"));
        if (m_style == Ring) {
            QPen pen(blue, 10);
            pen.setCapStyle(Qt::RoundCap);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawArc(inner, start16, span16);
        } else if (m_style == Outline) {
            p.setPen(blue);
            p.setBrush(Qt::NoBrush);
            p.drawArc(base, start16, span16);
        } else {
            QPainterPath path;
            path.setFillRule(Qt::WindingFill);
            path.moveTo(base.center());
            path.arcTo(base, m_start_angle, -arc);
            path.lineTo(base.center());
            p.setPen(QPen(QBrush(blue), m_data_pen_width, Qt::SolidLine, Qt::SquareCap));
            p.setBrush(blue);
            p.drawPath(path);
        }
    }

    // text
    QFont font(QStringLiteral("微软雅黑"));
    font.setPixelSize(36);
    p.setFont(font);
    p.setPen(QColor(QStringLiteral("#606266")));
    p.drawText(base, Qt::AlignCenter, valueText());
    p.end();
}
