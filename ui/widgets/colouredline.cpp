#include "colouredline.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyleOption>
#include <algorithm>
#include <cmath>

namespace {

// The runs measured as a text layout measures one line: their advances one after another, the
// line's ascent and descent the largest of theirs.
struct Measured
{
    std::vector<qreal> advances;
    qreal width = 0;
    qreal ascent = 0;
    qreal descent = 0;
};

QFont run_font(const QWidget &w, const ColouredLine::Run &run)
{
    QFont f = w.font();
    if (run.pixel_size > 0)
        f.setPixelSize(run.pixel_size);
    return f;
}

Measured measure(const ColouredLine &line)
{
    Measured m;
    for (const ColouredLine::Run &r : line.runs()) {
        const QFontMetricsF fm(run_font(line, r), &line);
        const qreal advance = fm.horizontalAdvance(r.text);
        m.advances.push_back(advance);
        m.width += advance;
        m.ascent = std::max(m.ascent, fm.ascent());
        m.descent = std::max(m.descent, fm.descent());
    }
    return m;
}

}

ColouredLine::ColouredLine(QWidget *parent) : QWidget(parent) {}

void ColouredLine::setAlignment(Qt::Alignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    update();
}

void ColouredLine::set_runs(std::vector<Run> runs)
{
    const auto same = [](const Run &a, const Run &b) {
        return a.text == b.text && a.colour == b.colour && a.pixel_size == b.pixel_size;
    };
    if (std::equal(runs.begin(), runs.end(), m_runs.begin(), m_runs.end(), same))
        return;
    m_runs = std::move(runs);
    updateGeometry();
    update();
}

QString ColouredLine::text() const
{
    QString out;
    for (const Run &r : m_runs)
        out += r.text;
    return out;
}

QSize ColouredLine::natural_size() const
{
    const Measured p = measure(*this);
    return QSize(int(std::ceil(p.width)), int(std::ceil(p.ascent + p.descent)));
}

QSize ColouredLine::sizeHint() const
{
    return natural_size();
}

void ColouredLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // A style sheet's ground and frame, as a label under the same sheet draws them.
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    if (m_runs.empty())
        return;

    const Measured p = measure(*this);
    const QRect box = contentsRect();
    const qreal height = std::ceil(p.ascent + p.descent);
    // A line wider than the box starts at its left edge, whatever the alignment, and is cut on
    // the right, as a label cuts it.
    const qreal room = std::max(box.width() - p.width, qreal(0));
    qreal x = box.x();
    if (m_alignment & Qt::AlignHCenter)
        x += room / 2;
    else if (m_alignment & Qt::AlignRight)
        x += room;
    // A label puts its line's top on a whole pixel; the baseline follows at the line's ascent.
    qreal top = 0;
    if (m_alignment & Qt::AlignVCenter)
        top = std::max((box.height() - height) / 2, qreal(0));
    else if (m_alignment & Qt::AlignBottom)
        top = std::max(box.height() - height, qreal(0));
    const qreal baseline = box.y() + std::floor(top) + p.ascent;

    painter.setClipRect(box);
    for (size_t i = 0; i < m_runs.size(); ++i) {
        painter.setFont(run_font(*this, m_runs[i]));
        painter.setPen(m_runs[i].colour);
        painter.drawText(QPointF(x, baseline), m_runs[i].text);
        x += p.advances[i];
    }
}

void ColouredLine::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
