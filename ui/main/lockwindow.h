#pragma once
#include <QDialog>
#include <QFont>
#include <QPointer>

#include "screen.h"
#include "ui_lockwindow.h"

class HomeCard;

// The home screen (page 0): LED size, brightness, contrast, audio, IP address and a card for each
// of the images 1 to 4. A touch or OK leaves it for the main menu.
class LockWindow : public ScreenOf<QDialog, Ui::LockWindow>
{
    Q_OBJECT
public:
    LockWindow();

    void para_init();
    void image_init();
    void ip_changed();
    bool volume_check() const;
    void language_changed() override;
    void syncUpdate(int code = 0) override;

    bool eventFilter(QObject *watched, QEvent *event) override;

    QWidget *card_frame() const { return m_cards; }

public slots:
    void on_main_Button_clicked();

protected:
    void key_left() override {}
    void key_right() override {}
    void key_ok() override;
    void key_back() override {}

private:
    void set_led_size_text();
    void set_volume_icon();
    void build_cards();

    // A QWidget pointer: the frame is still watched while ~QWidget runs, past its QFrame part.
    QPointer<QWidget> m_cards;
    HomeCard *m_card[4] = {};
    QFont m_card_font;
};

extern LockWindow *g_lockwindow;
