#pragma once
#include <QPointer>
#include <QWidget>

class QLabel;

// One image's card on the home screen: its number badge, its source's name and its status, and
// the badge's marks (current image, frozen), which exist only while they are shown. The cards are
// built once and updated in place: new labels under the screen's style sheet cost far more than
// new texts.
class HomeCard : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 155;
    static constexpr int kHeight = 50;

    HomeCard(int image, const QFont &font, QWidget *parent);

    QFont name_font() const;
    void set_current(bool current);
    // A window that is switched off: no name, the status word alone.
    void show_closed(const QString &status);
    void show_source(const QString &name, const QString &status, bool frozen);

private:
    QLabel *m_badge;
    QLabel *m_name;
    QLabel *m_status;
    QPointer<QLabel> m_current;
    QPointer<QLabel> m_frozen;
};
