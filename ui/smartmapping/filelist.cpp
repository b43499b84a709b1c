#include "filelist.h"

#include <QLabel>
#include <QPushButton>

#include "language.h"

namespace {
constexpr QRect kFrame(10, 55, 220, 90);
constexpr QRect kFirstRow(5, 5, 190, 20);
constexpr int kRowPitch = 25;
constexpr QRect kNoFile(5, 5, 200, 40);
constexpr QRect kPrevious(200, 5, 15, 20);
constexpr QRect kNext(200, 55, 15, 20);
constexpr int kTextPt = 7;
}

FileList::FileList(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("frame_file"));
    setGeometry(kFrame);
    setStyleSheet(QStringLiteral("#frame_file{background-color: rgb(33, 36, 53);border:1px solid #FFFFFF;}"));
    QFont text_font = font();
    text_font.setPointSize(kTextPt);

    for (int r = 0; r < kRows; ++r) {
        m_labels[r] = new QLabel(this);
        m_labels[r]->setGeometry(kFirstRow.translated(0, kRowPitch * r));
        m_labels[r]->setFont(text_font);
        m_labels[r]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_buttons[r] = new QPushButton(this);
        m_buttons[r]->setObjectName(QString::number(r));
        m_buttons[r]->setGeometry(kFirstRow.translated(0, kRowPitch * r));
        m_buttons[r]->setFlat(true);
        m_buttons[r]->setFocusPolicy(Qt::NoFocus);
        m_buttons[r]->setStyleSheet(QStringLiteral("background-color: transparent;"));
        connect(m_buttons[r], &QPushButton::clicked, this, [this, r] { emit row_clicked(r); });
    }
    m_no_file = new QLabel(this);
    m_no_file->setGeometry(kNoFile);
    m_no_file->setFont(text_font);
    m_no_file->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_no_file->setStyleSheet(QStringLiteral("background-color: rgb(33, 36, 53);color: #FFFFFF"));

    const auto arrow = [this](const QRect &place, const char *picture) {
        auto *b = new QPushButton(this);
        b->setGeometry(place);
        b->setFocusPolicy(Qt::NoFocus);
        b->setStyleSheet(QStringLiteral("background-color: rgb(33, 36, 53);"));
        b->setIcon(cached_icon(QLatin1String(picture)));
        b->setIconSize(place.size());
        return b;
    };
    m_previous = arrow(kPrevious, ":/png/previous.png");
    m_next = arrow(kNext, ":/png/next.png");
    m_previous->setObjectName(QStringLiteral("previous_page"));
    m_next->setObjectName(QStringLiteral("next_page"));
    connect(m_previous, &QPushButton::clicked, this, &FileList::previous_clicked);
    connect(m_next, &QPushButton::clicked, this, &FileList::next_clicked);
}

void FileList::show_rows(const QVector<Row> &rows, bool previous, bool next)
{
    m_count = qMin(int(rows.size()), kRows);
    for (int r = 0; r < kRows; ++r) {
        const bool shown = r < m_count;
        m_labels[r]->setVisible(shown);
        m_buttons[r]->setVisible(shown);
        if (!shown)
            continue;
        // A name from a folder or a stick: shown as it is, never as markup.
        set_plain_text(m_labels[r], rows[r].name);
        m_kinds[r] = rows[r].on_stick ? Look::FileRowUsb : Look::FileRow;
        set_row_look(r, LookState::Normal);
    }
    m_no_file->setVisible(m_count == 0);
    m_previous->setVisible(previous);
    m_next->setVisible(next);
    show();
}

void FileList::set_no_file_text(const QString &text)
{
    m_no_file->setText(text);
}

void FileList::set_row_look(int row, LookState state)
{
    if (row >= 0 && row < m_count)
        set_look(m_labels[row], m_kinds[row], state);
}
