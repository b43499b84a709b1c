#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QTemporaryDir>

#include "config_engine.h"
#include "global.h"
#include "numberkeyboard.h"
#include "paths.h"
#include "ram_layout.h"
#include "render.h"
#include "screen.h"
#include "shots.h"
#include "syncupdate.h"
#include "tip.h"
#include "zemrampara.h"

namespace {

const char *const kLangNames[5] = {"zh", "en", "ru", "vi", "tw"};

void set_language(int lang)
{
    g_language = static_cast<uint8_t>(lang);
    g_lcd_lang_valid = 0x1F;
    ZemRamPara *para = ZemRamPara::p_zemrampara_config;
    para->RAM_PARA[Ram::kLanguage] = static_cast<uint8_t>(lang);
    para->RAM_PARA_SHADOW[Ram::kLanguage] = static_cast<uint8_t>(lang);
}

// The LCD as the user sees it: the widget at its place on a 320 x 240 panel.
QImage lcd_picture(QWidget *w)
{
    QImage lcd(320, 240, QImage::Format_ARGB32);
    lcd.fill(QColor(16, 16, 28));
    QPainter p(&lcd);
    const QPixmap shot = w->grab();
    // A window smaller than the panel (tip, keyboard) is drawn where it stands on it.
    const QPoint at = w->isWindow() && (w->width() < 320 || w->height() < 240) ? w->pos() : QPoint();
    p.drawPixmap(at, shot);
    p.end();
    return lcd;
}

void discard_screens()
{
    for (Screen *s : all_screens())
        delete s->widget();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}

void gallery_render(const std::function<void(const QString &stem, const QImage &picture)> &take)
{
    QTemporaryDir root;
    Paths::set_data_root(root.path());
    QDir().mkpath(root.path() + QStringLiteral("/data/configs"));
    QDir().mkpath(root.path() + QStringLiteral("/data/modes"));
    ConfigEngine::pInstance();
    QObject::connect(ZemRamPara::pInstance(), &ZemRamPara::sig_update_para, SyncUpdate::pInstance(),
                     &SyncUpdate::para_sync, Qt::UniqueConnection);
    ui_init();
    set_modal_runner([](QDialog *d) {
        d->show();
        return 0;
    });
    TIP::create_shared();
    NumberKeyboard::create_shared();

    ShotList shots;
    add_framework_shots(shots);
    add_main_shots(shots);
    add_menus_shots(shots);
    add_output_shots(shots);
    add_setup_shots(shots);
    add_link_shots(shots);
    add_input_shots(shots);
    add_image_shots(shots);
    add_smartmapping_shots(shots);

    for (int lang = 0; lang < 5; ++lang) {
        for (const Shot &shot : shots) {
            set_language(lang);
            g_page_focus = 0;
            QPointer<QWidget> w = shot.make();
            if (!w)
                continue;
            if (!w->isVisible())
                w->show();
            QCoreApplication::processEvents();
            take(QStringLiteral("%1_%2").arg(shot.name, QLatin1String(kLangNames[lang])), lcd_picture(w));
            delete w;
            discard_screens();
            g_tip->hide();
            g_tip_flag = 0;
            g_numberkeyboard->hide();
        }
    }
}
