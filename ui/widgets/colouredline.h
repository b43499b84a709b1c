#pragma once
#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

// One line of plain text in runs, each in a colour and a pixel size of its own, painted on the
// widget's font: the names of the inputs beside their counts, the chip's font sizes in green or
// red. It draws what a rich-text label draws for the same runs (one line, the runs' baselines
// shared, the line placed by the alignment), without a text document behind it: opening a screen
// full of them costs no HTML parsing and no document layout.
class ColouredLine : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(Qt::Alignment alignment READ alignment WRITE setAlignment)
public:
    struct Run
    {
        QString text;
        QColor colour;
        int pixel_size;   // 0: the widget's own font
    };

    explicit ColouredLine(QWidget *parent = nullptr);

    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    void set_runs(std::vector<Run> runs);
    const std::vector<Run> &runs() const { return m_runs; }
    // The runs' texts one after another, as a reader sees the line.
    QString text() const;
    // The room the line needs, in pixels: its width and its height.
    QSize natural_size() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    std::vector<Run> m_runs;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
};
