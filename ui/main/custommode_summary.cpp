#include "custommode.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include "alias.h"
#include "global.h"
#include "mainwindow.h"
#include "omenu.h"
#include "ram_layout.h"
#include "sourceinfo.h"
#include "zemrampara.h"

// The user-mode screen's summary of the selected slot: its name, LED size, brightness and sound,
// then its four windows or, with More chosen, its OSD.

namespace {

// A field at image offset X lies at X - 896 in a slot's data.
constexpr int slot_offset(int image_offset)
{
    return image_offset - Ram::kModeFrom;
}

constexpr int kNameWidth = 171;

int16_t slot_s16(const uint8_t *data, int image_offset)
{
    return Ram::rds16(data, slot_offset(image_offset));
}

uint16_t slot_u16(const uint8_t *data, int image_offset)
{
    return Ram::rd16(data, slot_offset(image_offset));
}

// The OSD view is in Chinese for both Chinese languages and in English for every other.
QString osd_tr(const char *en, const char *zh, const char *tw)
{
    const int lang = ui_language();
    return QString::fromUtf8(lang == 0 ? zh : lang == 4 ? tw : en);
}

QString effect_text(int effect)
{
    switch (effect) {
    case 2: return osd_tr("effect:move up", "特技:上移", "特技:上移");
    case 3: return osd_tr("effect:move down", "特技:下移", "特技:下移");
    case 4: return osd_tr("effect:move left", "特技:左移", "特技:左移");
    case 5: return osd_tr("effect:move right", "特技:右移", "特技:右移");
    default: return osd_tr("effect:static", "特技:静止", "特技:靜止");
    }
}

// "0x" followed by hexadecimal digits, as the OSD files write colours.
QString css_colour(const std::string &text)
{
    const QString value = QString::fromStdString(text);
    if (value.size() <= 2)
        return QString();
    const QString digits = value.mid(2);
    bool ok = false;
    digits.toUInt(&ok, 16);
    return ok ? digits : QString();
}

}

void CustomMode::lcd_para_init()
{
    const ZemRamPara *p = para();
    if (!p)
        return;
    const int s = selected_slot();
    const uint8_t *data = p->user_mode[s].data;

    ALIAS_PARA alias;
    if (get_json_alias_para(&alias, QStringLiteral("usermode"), s) == 1) {
        const QString text = tr5("名称:", "Name:", "Название:", "Tên:", "名稱:") + alias.name;
        set_plain_text(ui.label_name,
                       QFontMetrics(ui.label_name->font()).elidedText(text, Qt::ElideRight, kNameWidth));
    } else {
        set_plain_text(ui.label_name, tr5("名称:用户模式%1", "Name:Mode%1", "Название:Слот%1", "Tên:Chế độ%1",
                                           "名稱:用戶模式%1")
                                           .arg(s + 1));
    }

    ui.label_LED->setText(tr5("LED参数:%1x%2", "LED size:%1x%2", "LED size:%1x%2", "LED size:%1x%2", "LED參數:%1x%2")
                               .arg(slot_s16(data, Ram::kLedWidth))
                               .arg(slot_s16(data, Ram::kLedHeight)));

    const bool sound = sound_on(data, audio_window(data, Ram::kModeFrom), Ram::kModeFrom);
    const QString line = sound ? tr5("亮度:%1 对比度:%2 音量:开启", "Bri:%1 CTRST:%2 Volume:ON",
                                     "Яркость:%1 Контраст:%2 Громкость:Вкл", "Độ sáng:%1 Tương phản:%2 Âm:Mở",
                                     "亮度:%1 對比度:%2 音量:開啟")
                               : tr5("亮度:%1 对比度:%2 音量:关闭", "Bri:%1 CTRST:%2 Volume:OFF",
                                     "Яркость:%1 Контраст:%2 Громкость:Откл", "Độ sáng:%1 Tương phản:%2 Âm:đóng",
                                     "亮度:%1 對比度:%2 音量:關閉");
    ui.label_brightness->setText(
        line.arg(slot_s16(data, Ram::kQBrightness)).arg(slot_s16(data, Ram::kQContrast)));

    ui.Button_more->setText(tr5("更多", "More", "Больше", "Nhiều hơn", "更多"));
    ui.label_using->setVisible(p->ZemGetCurrentModeIndex() == s + 1);
}

void CustomMode::image_para_init()
{
    delete m_summary;
    m_summary = nullptr;
    const ZemRamPara *p = para();
    if (!p)
        return;
    const int s = selected_slot();
    if (p->ZemUserModeSaved(s) == 0) {
        ui.label_LED->hide();
        ui.label_brightness->hide();
        ui.Button_delete->hide();
        ui.Button_use->hide();
        ui.label_using->hide();
        ui.Button_more->hide();
        ui.label_blank->show();
        m_more_hidden = 1;
        return;
    }
    ui.label_LED->show();
    ui.label_brightness->show();
    ui.Button_delete->show();
    ui.Button_use->show();
    ui.label_blank->hide();
    ui.label_using->setVisible(p->ZemGetCurrentModeIndex() == s + 1);

    const uint8_t *data = p->user_mode[s].data;
    if (slot_u16(data, Ram::kOsdEnable) == 0) {
        ui.Button_more->hide();
        m_more_hidden = 1;
    } else {
        ui.Button_more->show();
        m_more_hidden = 0;
    }

    m_summary = new QWidget(ui.frame);
    m_summary->setGeometry(3, 61, 285, 90);
    m_summary->setMinimumSize(50, 60);
    if (m_key_state == 1 && !m_more_hidden && m_button == 2)
        osd_view(s);
    else
        window_view(data);
    m_summary->show();
}

void CustomMode::window_view(const uint8_t *data)
{
    for (int i = 0; i < 4; ++i) {
        const int column = i < 2 ? 0 : 1;
        const int b = 16 + 30 * (i % 2);
        const int x_number = column == 0 ? 0 : 145;
        const int x_text = column == 0 ? 24 : 171;

        auto *number = new QLabel(m_summary);
        number->setFont(m_summary_font);
        number->setGeometry(x_number, b - 14, 24, 24);
        number->setAlignment(Qt::AlignCenter);
        number->setText(QString::number(i + 1));
        color_fill(number, static_cast<char>(i));

        short is_crop = 0;
        char crop_index = 0;
        const int source = ZemRamPara::ZemGetImageSource(data, static_cast<uint8_t>(i), &is_crop, &crop_index, 1);
        QString text = sourceinfo::get_source_name_by_sourceid(static_cast<unsigned char>(source));
        // The table position, as the stored mode knows it; not the crop number of the crop screens.
        if (is_crop)
            text += QStringLiteral("_Crop%1").arg(static_cast<uint8_t>(crop_index) + 1);
        const int layer = Ram::layer(i);
        text += QLatin1Char(' ');
        text += slot_u16(data, layer + Ram::kLayerEnable) != 0 ? tr5("开启", "ON", "Вкл", "Mở", "開啟")
                                                               : tr5("关闭", "OFF", "Откл", "đóng", "關閉");
        auto *name = new QLabel(m_summary);
        name->setFont(m_summary_font);
        name->setGeometry(x_text, b - 14, 100, 12);
        set_look(name, Look::DialogText);
        name->setText(text);

        auto *position = new QLabel(m_summary);
        position->setFont(m_summary_font);
        position->setGeometry(x_text, b, 140, 12);
        set_look(position, Look::DialogText);
        position->setText(QStringLiteral("[%1,%2]%3x%4")
                              .arg(slot_u16(data, layer + Ram::kLayerX))
                              .arg(slot_u16(data, layer + Ram::kLayerY))
                              .arg(slot_u16(data, layer + Ram::kLayerW))
                              .arg(slot_u16(data, layer + Ram::kLayerH)));
    }
}

void CustomMode::osd_view(int slot)
{
    // A missing file leaves the record as made here: zeros and empty texts.
    OSD_LIST list;
    get_json_omenu_para(mode_osd_file_path(slot).toUtf8().constData(), &list);
    const OMENU_PARA &o = list.menu[0];

    const auto u = [](int v) { return QString::number(static_cast<unsigned>(v)); };
    QString text = QStringLiteral("osd [x:") + u(o.x) + QStringLiteral(",y:") + u(o.y) + QStringLiteral(",w:") + u(o.w) +
                   QStringLiteral(",h:") + u(o.h) + QStringLiteral("] ");
    text += osd_tr("font size:", "字体大小:", "字體大小:") + u(o.fontw) + QLatin1Char('*') + u(o.fonth) + QLatin1Char('\n');
    text += osd_tr("space [h:", "字-行间距 [h:", "字-行間距 [h:") + u(o.wordspace) + QStringLiteral(",v:") +
            u(o.verticalspace) + QStringLiteral("] ");
    text += osd_tr("char[x:", "字幕坐标[x:", "字幕坐標[x:") + u(o.startx) + QStringLiteral(",y:") + u(o.starty) +
            QStringLiteral("] ");
    text += osd_tr("speed:", "速度:", "速度:") + u(o.speed) + QLatin1Char(',');
    text += effect_text(o.effect);

    auto *info = new QLabel(m_summary);
    info->setGeometry(2, 56, 300, 30);
    info->setFont(m_summary_font);
    set_look(info, Look::DialogText);
    info->setFrameShape(QFrame::NoFrame);
    info->setText(text);

    auto *preview = new QLabel(m_summary);
    preview->setGeometry(6, 2, 300, 50);
    preview->setFont(m_summary_font);
    preview->setFrameShape(QFrame::NoFrame);
    const QString back = css_colour(o.back_color);
    const QString fore = css_colour(o.font_color);
    QString style;
    if (!back.isEmpty())
        style += QStringLiteral("background-color:#") + back + QLatin1Char(';');
    if (!fore.isEmpty())
        style += QStringLiteral("color:#") + fore + QLatin1Char(';');
    preview->setStyleSheet(style);
    QStringList lines = QString::fromStdString(o.texts).split(QLatin1Char('\n'));
    if (lines.size() > 3)
        lines = lines.mid(0, 3);
    set_plain_text(preview, lines.join(QLatin1Char('\n')));
}

void CustomMode::color_fill(QLabel *label, char index)
{
    static const char *const styles[6] = {
        "background-color: #D5E5FF;", "background-color: #D4FC79;", "background-color: #FC9D79;",
        "background-color: #7E9AC9;", "background-color: #32CC4C;", "background-color: #4777FF;",
    };
    if (!label)
        return;
    const int i = static_cast<unsigned char>(index);
    label->setStyleSheet(QLatin1String(i < 6 ? styles[i] : "background-color: #CCCCCC;"));
}
