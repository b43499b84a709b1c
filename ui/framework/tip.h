#pragma once
#include <QDialog>
#include <cstdint>

namespace Ui {
class TIP;
}
class QFrame;

// The one short-lived notice (g_tip): 1 a check mark, 3/4/5 the USB stick's state. The 10 ms tick
// hides it 300 ticks after it was first shown.
class TIP : public QDialog
{
    Q_OBJECT
public:
    explicit TIP(QWidget *parent = nullptr);
    ~TIP() override;

    void tip_create(int id);
    void tip_show();
    void tip_outtime_deal();

    // g_tip, created frameless and unable to take the keys on first use; main and the test
    // fixtures call it.
    static TIP *create_shared();

    QFrame *content() const { return m_frame; }

private:
    Ui::TIP *ui;
    QFrame *m_frame = nullptr;
    int m_ticks = 0;
};

extern TIP *g_tip;
extern uint8_t g_tip_flag;

// g_tip->tip_create(id) when the tip exists.
void show_tip(int id);
