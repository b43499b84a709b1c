#pragma once
#include <QFrame>
#include <QVector>

#include "looks.h"

class QLabel;
class QPushButton;

// One page of the wizard's scan-file list: up to three rows (the device's files in white, the
// stick's in green) or the no-file text, with the arrows to the pages before and after. Built
// once and refilled page by page, so nothing in it is deleted while one of its buttons is busy.
class FileList : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kRows = 3;
    struct Row
    {
        QString name;
        bool on_stick = false;
    };

    explicit FileList(QWidget *parent);

    // The rows of a page; none shows the no-file text. Every row starts unchosen.
    void show_rows(const QVector<Row> &rows, bool previous, bool next);
    void set_no_file_text(const QString &text);
    // Normal: unchosen; focus: chosen by the keys; edit: chosen by a touch.
    void set_row_look(int row, LookState state);
    int row_count() const { return m_count; }
    QLabel *row_label(int row) const { return m_labels[row]; }
    QPushButton *row_button(int row) const { return m_buttons[row]; }
    QPushButton *previous_button() const { return m_previous; }
    QPushButton *next_button() const { return m_next; }
    QLabel *no_file_label() const { return m_no_file; }

signals:
    void row_clicked(int row);
    void previous_clicked();
    void next_clicked();

private:
    QLabel *m_labels[kRows];
    QPushButton *m_buttons[kRows];
    Look m_kinds[kRows] = {Look::FileRow, Look::FileRow, Look::FileRow};
    QLabel *m_no_file;
    QPushButton *m_previous;
    QPushButton *m_next;
    int m_count = 0;
};
