#pragma once
#include <QWidget>

class QFrame;
class QLabel;

// One cell of the crop list: its frame, state dot, input icon, name and size. The six cells of a
// page are built once and refilled as the list pages.
class CropCell : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 92;
    static constexpr int kHeight = 45;

    CropCell(const QFont &font, QWidget *parent);

    // `source` picks the icon; the name is shown as typed (it may come from the names file).
    void set_item(int source, const QString &name, const QString &size);
    void set_focused(bool focused);
    bool focused() const;

    QFrame *frame() const { return m_frame; }
    QString name() const;
    QString size_text() const;

private:
    QFrame *m_frame;
    QLabel *m_icon;
    QLabel *m_name;
    QLabel *m_size;
    int m_source = -1;
};
