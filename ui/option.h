#pragma once
#include <QDialog>
#include <QImage>
#include <initializer_list>

#include "screen.h"

class QLabel;

namespace Ui {
class Option;
}

// The looks of the menus' entries: the picture menus (Setting, advanced) and the text menus
// (communication, output, card recovery) carry the same frame written two ways.
namespace MenuStyle {
extern const QString kNormal;
extern const QString kFocus;
extern const QString kTextNormal;
extern const QString kTextFocus;
}

// What the four setting menus share: a row of entries walked by the keys, each opening one
// further screen, and a back path to the parent page.
class MenuPage : public QDialog, public Screen
{
    Q_OBJECT
public:
    uint8_t ui_select() const { return static_cast<uint8_t>(m_focus.index()); }
    void syncUpdate(int) override { sync_language(); }

public slots:
    void slot_Button_back_clicked() { leave_to(m_parent_page); }

protected:
    MenuPage(QWidget *parent, uint8_t page, const char *class_name, uint8_t parent_page);
    // The entries in focus order, the first one focused.
    void set_entries(std::initializer_list<QWidget *> entries, const QString &normal, const QString &focus);
    static void set_hints(QLabel *ok, QLabel *back);

    void keyPressEvent(QKeyEvent *event) override { screen_key_press(event); }
    void keyReleaseEvent(QKeyEvent *event) override { screen_key_release(event); }
    void key_back() override { slot_Button_back_clicked(); }

private:
    uint8_t m_parent_page;
};

// The Setting menu (page 5): eight picture entries, each opening one further screen.
class Option : public MenuPage
{
    Q_OBJECT
public:
    explicit Option(QWidget *parent = nullptr);
    ~Option() override;

    void language_changed() override;
    void menulist_init();

    // Counts the smart-mapping scan files ("qyfile", case-sensitive) on the USB stick.
    int get_file_list_usbpath();
    static QImage converToGrayscale(const QImage &image);

public slots:
    void on_output_set_clicked();
    void on_link_set_clicked();
    void on_AdvanceButton_clicked();

private:
    Ui::Option *ui;
};

extern Option *g_option;
