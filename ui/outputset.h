#pragma once
#include <QDialog>

#include "screen.h"

namespace Ui {
class OutputSet;
}

// The output menu (page 6): LED screen settings, output ports, and the stored LED screen size.
class OutputSet : public QDialog, public Screen
{
    Q_OBJECT
public:
    explicit OutputSet(QWidget *parent = nullptr);
    ~OutputSet() override;

    void language_changed() override;
    void syncUpdate(int code) override;
    void menulist_init();

    uint8_t ui_select() const { return static_cast<uint8_t>(m_focus.index()); }

public slots:
    void slot_Button_back_clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override { screen_key_press(event); }
    void keyReleaseEvent(QKeyEvent *event) override { screen_key_release(event); }
    void key_back() override { slot_Button_back_clicked(); }

private:
    Ui::OutputSet *ui;
};

extern OutputSet *g_outputset;
