#pragma once
#include <QDialog>

#include "screen.h"
#include "ui_option.h"

// The Setting menu (page 5): eight picture entries, each opening one further screen.
class Option : public ScreenOf<QDialog, Ui::Option>
{
    Q_OBJECT
public:
    Option();

    void language_changed() override;
    void menulist_init();

public slots:
    void on_output_set_clicked();
    void on_input_cut_clicked();
    void on_image_layout_clicked();
    void on_link_set_clicked();
    void on_image_quality_clicked();
    void on_test_chart_clicked();
    void on_smart_mapping_clicked();
    void on_AdvanceButton_clicked();

protected:
    // The Setting menu has never logged a pressed key, only released ones.
    QString key_line(PanelKey key, bool released) const override
    {
        return released ? Screen::key_line(key, released) : QString();
    }
};

extern Option *g_option;
