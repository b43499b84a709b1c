#pragma once
#include <QDialog>
#include <QFont>

#include "screen.h"

class QFrame;
class Ui_LockWindow;

// The home screen (page 0): LED size, brightness, contrast, audio, IP address and a card for each
// of the images 1 to 4. A touch or OK leaves it for the main menu.
class LockWindow : public QDialog, public Screen
{
    Q_OBJECT
public:
    explicit LockWindow(QWidget *parent = nullptr);
    ~LockWindow() override;

    void para_init();
    void image_init();
    void ip_changed();
    bool volume_check() const;
    void language_changed() override;
    void syncUpdate(int code = 0) override;

    bool eventFilter(QObject *watched, QEvent *event) override;

    QFrame *card_frame() const { return m_cards; }
    Ui_LockWindow *layout() const { return ui; }

public slots:
    void on_main_Button_clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void key_left() override {}
    void key_right() override {}
    void key_ok() override;
    void key_back() override {}

private:
    void set_led_size_text();
    void set_volume_icon();

    Ui_LockWindow *ui;
    QFrame *m_cards = nullptr;
    QFont m_card_font;
};

extern LockWindow *g_lockwindow;
