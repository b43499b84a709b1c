#include "option.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include "advancedoption.h"
#include "linkoption.h"
#include "outputset.h"
#include "paths.h"
#include "ui_option.h"

Option *g_option = nullptr;

namespace {

const QString kNormal = QStringLiteral(
    "background-color: rgb(33, 36, 53);border:2px;border-radius:10px;padding:2px 4px;color:rgb(255,255,255)");
const QString kFocus = QStringLiteral(
    "background-color: rgb(33, 36, 53); border:2px solid rgb(255,171,84);border-radius:10px;padding:2px 4px;"
    "color:rgb(255,255,255)");
// The look of the first entry before any key has moved the focus: the same frame, no text colour.
const QString kFirstFocus = QStringLiteral(
    "background-color: rgb(33, 36, 53); border:2px solid rgb(255,171,84);border-radius:10px;padding:2px 4px");

// Icon widths per entry and language (zh-Hans, en, ru, vi, zh-Hant); the height is always 60.
struct Entry
{
    const char *name;
    int width[5];
};
const Entry kEntries[8] = {
    {"output_set", {55, 75, 55, 55, 55}},
    {"input_cut", {55, 70, 70, 70, 55}},
    {"image_layout", {55, 70, 55, 55, 55}},
    {"link_set", {55, 70, 70, 70, 55}},
    {"image_quality", {55, 75, 55, 55, 55}},
    {"test_chart", {55, 55, 55, 55, 55}},
    {"smart_mapping", {55, 55, 55, 55, 55}},
    {"AdvanceButton", {55, 54, 70, 54, 54}},
};

}

Option::Option(QWidget *parent)
    : QDialog(parent), Screen(this, PAGE_OPTION, "Option"), ui(new Ui::Option)
{
    ui->setupUi(this);
    ui->label_note_OK->setPixmap(QPixmap(QStringLiteral(":/png/OK_Enter.png")));
    ui->label_note_back->setPixmap(QPixmap(QStringLiteral(":/png/back_return.png")));
    menulist_init();
    language_changed();
}

Option::~Option()
{
    delete ui;
}

void Option::menulist_init()
{
    m_focus.clear();
    QPushButton *const buttons[8] = {ui->output_set,    ui->input_cut,  ui->image_layout,
                                     ui->link_set,      ui->image_quality, ui->test_chart,
                                     ui->smart_mapping, ui->AdvanceButton};
    for (QPushButton *b : buttons)
        m_focus.add(b, kNormal, kFocus);
    m_focus.set_index(0);
    ui->output_set->setStyleSheet(kFirstFocus);
}

void Option::language_changed()
{
    const int lang = ui_language();
    ui->label_title->setText(tr5("设置", "Setting", "Настройки", "Cài đặt", "設置"));
    for (int i = 0; i < 8; ++i) {
        auto *button = static_cast<QPushButton *>(m_focus.at(i));
        const QString base = QLatin1String(kEntries[i].name);
        // The English advanced entry has a picture of its own name.
        const QString path = (i == 7 && lang == 1) ? QStringLiteral(":/png/en_advance_option.png")
                                                   : lang_png(base + QStringLiteral(".png"));
        button->setIcon(QIcon(path));
        button->setIconSize(QSize(kEntries[i].width[lang], 60));
    }
    ui->smart_mapping->setStyleSheet(m_focus.current() == ui->smart_mapping ? kFocus : kNormal);
}

void Option::syncUpdate(int)
{
    sync_language();
}

void Option::keyReleaseEvent(QKeyEvent *event)
{
    screen_key_release(event);
}

void Option::slot_Button_back_clicked()
{
    leave_to(PAGE_MAINWINDOW);
}

void Option::on_output_set_clicked()
{
    open_screen(g_outputset, new OutputSet);
}

void Option::on_link_set_clicked()
{
    open_screen(g_linkoption, new LinkOption);
}

void Option::on_AdvanceButton_clicked()
{
    open_screen(g_advancedoption, new AdvancedOption);
}

int Option::get_file_list_usbpath()
{
    const QDir dir(Paths::dev(QStringLiteral("/mnt/usb1/")));
    int count = 0;
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::NoSymLinks);
    for (const QFileInfo &info : files) {
        if (info.suffix() == QLatin1String("qyfile"))
            ++count;
    }
    return count;
}

QImage Option::converToGrayscale(const QImage &image)
{
    return image.convertToFormat(QImage::Format_Grayscale8);
}
