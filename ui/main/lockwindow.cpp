#include "lockwindow.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "alias.h"
#include "global.h"
#include "homecard.h"
#include "mainwindow.h"
#include "ram_layout.h"
#include "sourceinfo.h"
#include "zemrampara.h"

LockWindow *g_lockwindow = nullptr;

namespace {

constexpr QRect kCardFrame(0, 74, 320, 160);
constexpr int kNameElideWidth = 206;

QString black_text()
{
    return tr5("黑屏", "Black", "Черный", "Quay lại", "黑屏");
}

void scaled_pixmap(QLabel *label, const QString &path)
{
    label->setPixmap(png(path));
    label->setScaledContents(true);
}

}

LockWindow::LockWindow() : ScreenOf(PAGE_LOCKWINDOW)
{
    ui.setupUi(this);
    // The pictures and values lie above the touch area; the card frame, made later, above them all.
    ui.widget->lower();
    ui.widget->installEventFilter(this);
    ui.main_Button->setIcon(cached_icon(QStringLiteral(":/png/menu_status.png")));
    ui.main_Button->setIconSize(QSize(20, 20));
    ui.main_Button->hide();
    scaled_pixmap(ui.label_ip, QStringLiteral(":/png/ip.png"));
    scaled_pixmap(ui.label_LED_icon, QStringLiteral(":/png/LED.png"));
    scaled_pixmap(ui.label_bright_icon, QStringLiteral(":/png/bright.png"));
    scaled_pixmap(ui.label_contrast_icon, QStringLiteral(":/png/contrast.png"));
    ui.label_volume->hide();
    m_card_font.setPixelSize(10);

    para_init();
    ip_changed();
    language_changed();   // builds the cards
    zem_debug("\n LockWindow::LockWindow ");
}

void LockWindow::set_led_size_text()
{
    const ZemRamPara *p = para();
    if (!p)
        return;
    ui.label_input->setText(tr5("LED屏:%1 x %2", "LED size:%1 x %2", "Размер LED:%1 x %2", "Led:%1 x %2",
                                 "LED屏:%1 x %2")
                                 .arg(p->rd16(Ram::kLedWidth))
                                 .arg(p->rd16(Ram::kLedHeight)));
}

bool LockWindow::volume_check() const
{
    const ZemRamPara *p = para();
    return p && sound_on(p->RAM_PARA, audio_window(p->RAM_PARA));
}

void LockWindow::set_volume_icon()
{
    scaled_pixmap(ui.label_volume_icon,
                  volume_check() ? QStringLiteral(":/png/volume_open.png") : QStringLiteral(":/png/volume_close.png"));
}

void LockWindow::para_init()
{
    const ZemRamPara *p = para();
    if (!p)
        return;
    set_led_size_text();
    ui.label_bright->setText(QString::number(Ram::rds16(p->RAM_PARA, Ram::kQBrightness)));
    ui.label_contrast->setText(QString::number(Ram::rds16(p->RAM_PARA, Ram::kQContrast)));
    set_volume_icon();
}

void LockWindow::ip_changed()
{
    ui.label_IPaddr->setText(g_str_ip);
}

void LockWindow::language_changed()
{
    set_led_size_text();
    image_init();
}

void LockWindow::build_cards()
{
    m_cards = new QFrame(this);
    m_cards->setGeometry(kCardFrame);
    m_cards->installEventFilter(this);
    for (int i = 0; i < 4; ++i) {
        m_card[i] = new HomeCard(i, m_card_font, m_cards);
        m_card[i]->move(HomeCard::kWidth * (i % 2), HomeCard::kHeight * (i / 2));
    }
}

void LockWindow::image_init()
{
    ZemRamPara *p = para();
    if (!p) {
        delete m_cards.data();
        return;
    }
    if (!m_cards)
        build_cards();
    const uint8_t *img = p->RAM_PARA;
    const uint16_t led_off = p->rd16(Ram::kLedOff);

    for (int i = 0; i < 4; ++i) {
        const int layer = Ram::layer(i);
        HomeCard *card = m_card[i];
        card->set_current(g_image_current == i);

        const bool enabled = i == 0 || p->rd16(layer + Ram::kLayerEnable) == 1;
        if (!enabled) {
            card->show_closed(tr5("未开启", "Close", "Откл", "Đóng", "未開啟"));
            continue;
        }

        short is_crop = 0;
        char crop_index = 0;
        const int source = ZemRamPara::ZemGetImageSource(img, static_cast<uint8_t>(i), &is_crop, &crop_index, 0);
        const int s = Ram::crop_source(static_cast<uint16_t>(source));
        const ZemRamPara::TimingRow timing = p->timing_row(s);
        int W = timing.width;
        int H = timing.height;
        const int F = timing.rate;

        QString name_text = sourceinfo::get_source_name_by_sourceid(static_cast<unsigned char>(s));
        if (is_crop) {
            p->ZemCropSourceInit();
            // Ranked by crop number among the source's crops, the order ZemGetCropPara counts in:
            // the table position alone names another crop once crops were deleted and re-added.
            const int rank = p->ZemCropRank(static_cast<uint8_t>(crop_index));
            CROP_PARA crop{};
            int index = Ram::kCropCount;
            if (rank > 0)
                p->ZemGetCropPara(s, rank, &crop, &index);
            // A crop that no longer resolves is shown as its whole source.
            if (index < Ram::kCropCount) {
                name_text += QStringLiteral("_Crop%1").arg(Ram::crop_number(static_cast<uint16_t>(crop.word)));
                W = crop.w;
                H = crop.h;
            }
        } else {
            ALIAS_PARA alias;
            if (get_json_alias_para(&alias, QStringLiteral("source"), s) == 1)
                name_text = QFontMetrics(card->name_font())
                                .elidedText(alias.name, Qt::ElideRight, kNameElideWidth, Qt::TextShowMnemonic);
        }

        const uint16_t output = p->rd16(layer + Ram::kLayerOutput);
        QString status;
        if (led_off == 1 || (output & Ram::kOutputBlack))
            status = black_text();
        else if (W != 0 && H != 0 && F != 0)
            status = QStringLiteral("%1x%2@%3Hz").arg(W).arg(H).arg(F);
        else
            status = sourceinfo::no_signal_text();
        bool freeze = (output & Ram::kOutputFreeze) != 0;
        if (led_off != 1)
            freeze = freeze || led_off == 2;
        card->show_source(name_text, status, freeze);
    }
    m_cards->show();
}

void LockWindow::syncUpdate(int)
{
    ZemRamPara *p = para();
    if (!p)
        return;
    sync_language();
    if (p->differs16(Ram::kLedWidth) || p->differs16(Ram::kLedHeight))
        set_led_size_text();
    if (p->differs16(Ram::kQBrightness))
        ui.label_bright->setText(QString::number(Ram::rds16(p->RAM_PARA, Ram::kQBrightness)));
    if (p->differs16(Ram::kQContrast))
        ui.label_contrast->setText(QString::number(Ram::rds16(p->RAM_PARA, Ram::kQContrast)));
    if (p->differs16(Ram::layer(audio_window(p->RAM_PARA)) + Ram::kLayerAudio))
        set_volume_icon();
    image_init();
    ip_changed();
}

bool LockWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != ui.widget && watched != m_cards)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        if (!is_closed())
            leave();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return true;
    default:
        // Paints, layout and deferred deletes of the watched widgets must go through.
        return QDialog::eventFilter(watched, event);
    }
}

void LockWindow::on_main_Button_clicked()
{
    if (!is_closed())
        leave();
}

void LockWindow::key_ok()
{
    if (is_closed())
        return;
    leave();
    if (g_mainwindow)
        g_mainwindow->show();
}
