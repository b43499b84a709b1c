#pragma once
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class QDialog;

// One picture of the gallery: `make` builds the widget in the current language (texts set),
// ready to grab; the gallery shows it at 320 x 240, grabs it and deletes it. `make` may return
// null to skip. Screens opened through open_screen are shown without a nested loop.
struct Shot
{
    QString name;                       // file name without language and extension
    std::function<QWidget *()> make;
};
using ShotList = std::vector<Shot>;

// Puts the round progress bar on `owner` at `percent`. The bar belongs to the picture, so
// g_qround_bar is left null for the next shot.
void show_progress(QDialog *owner, int percent);

void add_framework_shots(ShotList &shots);
void add_main_shots(ShotList &shots);
void add_menus_shots(ShotList &shots);
void add_output_shots(ShotList &shots);
void add_setup_shots(ShotList &shots);
void add_link_shots(ShotList &shots);
void add_input_shots(ShotList &shots);
void add_image_shots(ShotList &shots);
void add_smartmapping_shots(ShotList &shots);
