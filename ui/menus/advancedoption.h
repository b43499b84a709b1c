#pragma once
#include <QDialog>

#include "screen.h"
#include "ui_advancedoption.h"

// The advanced menu (page 12): LCD, other settings, card self-recovery (only while recovery files
// exist), factory settings, and the ageing log behind an access code.
class AdvancedOption : public ScreenOf<QDialog, Ui::AdvancedOption>
{
    Q_OBJECT
public:
    static constexpr const char *kAccessCode = "8362";

    AdvancedOption();

    void language_changed() override;

    // Recovery files found at the last look, up to 255.
    uint8_t recovery_count() const { return m_recovery_count; }
    // The access code typed on the keyboard this menu opened: 1 when it was right.
    int confirmString(const QString &text);
    // Right codes taken so far (read by tests).
    int codes_accepted() const { return m_codes_accepted; }

public slots:
    void on_Button_LCDshow_clicked();
    void on_Button_other_clicked();
    void on_Button_rcv_recovery_clicked();
    void on_Button_factory_clicked();
    void on_Button_age_clicked();

private:
    void count_recovery_files();

    uint8_t m_recovery_count = 0;
    uint8_t m_access_granted = 0;
    int m_codes_accepted = 0;
};

extern AdvancedOption *g_advancedoption;
