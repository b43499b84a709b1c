#pragma once
#include <QFrame>
#include <QPointer>

class QLabel;

// One entry of the source choice list (the whole input or one of its crops): state dot, input
// icon, name and resolution, and the in-use badge while the selected image shows it. The three
// cards of a page are built once and refilled as the list pages.
class EntryCard : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kWidth = 92;
    static constexpr int kHeight = 50;

    EntryCard(const QFont &font, QWidget *parent);

    // `source` picks the icon; the name is shown as typed (it may come from the names file).
    void set_entry(int source, const QString &name, const QString &info);
    // In use: the green look, the "on" dot and the badge with `badge_text`; focused wins the look.
    void set_state(bool in_use, bool focused, const QString &badge_text);

    QString name() const;
    QString info() const;
    bool in_use() const { return m_badge != nullptr; }
    QString badge_text() const;

private:
    QLabel *m_dot;
    QLabel *m_icon;
    QLabel *m_name;
    QLabel *m_info;
    QPointer<QLabel> m_badge;
    int m_source = -1;
    int m_dot_on = -1;
};
