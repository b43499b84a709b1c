#pragma once
#include <QDialog>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPointer>

#include "screen.h"

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

    QWidget *card_frame() const { return m_cards; }
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
    // One image's card: its number badge, source name and status, and the badge's marks, which
    // exist only while they are shown.
    struct Card
    {
        QLabel *badge = nullptr;
        QLabel *name = nullptr;
        QLabel *status = nullptr;
        QPointer<QLabel> current;
        QPointer<QLabel> freeze;
    };

    void set_led_size_text();
    void set_volume_icon();
    void build_cards();

    Ui_LockWindow *ui;
    // A QWidget pointer: the frame is still watched while ~QWidget runs, past its QFrame part.
    QPointer<QWidget> m_cards;
    Card m_card[4];
    QFont m_card_font;
};

extern LockWindow *g_lockwindow;
