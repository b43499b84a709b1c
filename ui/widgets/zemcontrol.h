#pragma once
#include <QFont>
#include <QRect>
#include <QWidget>

#include "looks.h"

class QComboBox;
class QLabel;

// The user-mode selector: "<" combo ">". Default look (orange) while left/right move through the
// list, modify look (blue) while they move between the owner's buttons.
class zemcontrol : public QWidget
{
    Q_OBJECT
public:
    zemcontrol(const QRect &box, const QRect &left, const QRect &right, QWidget *parent = nullptr);
    ~zemcontrol() override;

    void set_box_default();
    void set_box_modify();
    void set_boxindexsel(char index);

    QComboBox *combobox;
    QLabel *label_left;
    QLabel *label_right;

private:
    void show_state(LookState state);

    QFont m_font;
};
