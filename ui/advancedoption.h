#pragma once
#include "option.h"

namespace Ui {
class AdvancedOption;
}

// The advanced menu (page 12): LCD, other settings, card self-recovery (only while recovery files
// exist), factory settings, and the ageing log behind an access code.
class AdvancedOption : public MenuPage
{
    Q_OBJECT
public:
    static constexpr const char *kAccessCode = "8362";

    explicit AdvancedOption(QWidget *parent = nullptr);
    ~AdvancedOption() override;

    void language_changed() override;
    void menulist_init();

    // Recovery files found at the last look, up to 255.
    uint8_t recovery_count() const { return m_recovery_count; }

public slots:
    void on_Button_rcv_recovery_clicked();
    void on_Button_age_clicked();
    // The keyboard's entry text; 1 when it was the access code asked for by this menu.
    int confirmString(QString text);

protected:
    void key_left() override;
    void key_right() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void count_recovery_files();
    void restyle_recovery_entry();

    Ui::AdvancedOption *ui;
    uint8_t m_recovery_count = 0;
    uint8_t m_access_granted = 0;
    // Set while the keyboard is open on this menu's request: every screen hears the keyboard's
    // result, and a code typed for another screen must not open the ageing page.
    bool m_code_asked = false;
};

extern AdvancedOption *g_advancedoption;
