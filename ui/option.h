#pragma once
#include <QDialog>
#include <QImage>

#include "screen.h"

namespace Ui {
class Option;
}

// The Setting menu (page 5): eight picture entries, each opening one further screen.
class Option : public QDialog, public Screen
{
    Q_OBJECT
public:
    explicit Option(QWidget *parent = nullptr);
    ~Option() override;

    void language_changed() override;
    void syncUpdate(int code) override;
    void menulist_init();

    uint8_t ui_select() const { return static_cast<uint8_t>(m_focus.index()); }

    // Counts the smart-mapping scan files ("qyfile", case-sensitive) on the USB stick.
    int get_file_list_usbpath();
    static QImage converToGrayscale(const QImage &image);

public slots:
    void slot_Button_back_clicked();
    void on_output_set_clicked();
    void on_link_set_clicked();
    void on_AdvanceButton_clicked();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void key_back() override { slot_Button_back_clicked(); }

private:
    Ui::Option *ui;
};

extern Option *g_option;
