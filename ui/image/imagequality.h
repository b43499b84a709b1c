#pragma once
#include <QDialog>

#include "screen.h"
#include "ui_imagequality.h"

// The image-quality menu (page 11): picture quality and colour temperature.
class ImageQuality : public ScreenOf<QDialog, Ui::ImageQuality>
{
    Q_OBJECT
public:
    ImageQuality();

    void language_changed() override;
    void menulist_init();

public slots:
    void on_Button_quality_clicked();
    void on_Button_temperature_clicked();
};

extern ImageQuality *g_imagequality;
