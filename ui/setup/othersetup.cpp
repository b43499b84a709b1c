#include "othersetup.h"

#include "chip_request.h"
#include "k58_wifi_config.h"
#include "ram_layout.h"
#include "zemrampara.h"

othersetup *g_othersetup = nullptr;

namespace {

QStringList off_on()
{
    return {tr5("关闭", "OFF", "Откл", "Đóng", "關閉"), tr5("开启", "ON", "Вкл", "Mở", "開啟")};
}

}

othersetup::othersetup() : ScreenOf(PAGE_OTHERSETUP)
{
    ui.setupUi(this);
    ui.label_name_mode->hide();
    ui.mode_state->hide();

    m_fields.reserve(kLines);   // the editors below hold pointers into it
    for (QComboBox *box : {ui.ImageVolume, ui.volume_state, ui.switch_state, ui.mode_state, ui.wifi_state, ui.dbd_state})
        m_fields.emplace_back(box);
    m_focus.set({ui.ImageVolume, ui.volume_state, ui.switch_state, ui.mode_state, ui.wifi_state, ui.dbd_state},
                Look::Combo);
    m_focus.restyle();
    for (int line = 0; line < kLines; ++line) {
        if (line == kProjection)
            continue;
        FocusList::Editor editor = m_fields[size_t(line)].editor([this, line](int choice) { apply(line, choice); });
        if (line == kSound) {
            // Without an enabled window there is nothing whose sound the line could set.
            editor.begin = [this, begin = editor.begin] { return !enabled_windows().empty() && begin(); };
        }
        m_focus.set_editor(line, std::move(editor));
    }

    language_changed();
    bool stored_valid = true;
    sound_window(&stored_valid);
    if (!stored_valid) {
        // Put right once on opening, under the chip mutex like every write of the image; the
        // chip does not follow this word, so no request is raised for it.
        ChipLock lock;
        para()->wr16(Ram::kAudioWindow, 0);
    }
    para_init();
}

void othersetup::language_changed()
{
    ui.label_other->setText(tr5("其它设置", "Other Settings", "Другие настройки", "Cài đặt khác", "其它設置"));
    ui.label_name_volume->setText(tr5("音量", "Volume", "Звук", "âm thanh", "音量"));
    ui.label_name_switch->setText(tr5("切换特效", "Switch mode", "Эффект", "Hiệu ứng", "切換特效"));
    ui.label_name_mode->setText(tr5("投屏设备", "Projection", "Радиоприбор", "Cài đặt Thiết bị", "投屏設備"));
    ui.label_wifi->setText(tr5("WIFI状态", "Wifi state", "WiFi статус", "Trạng thái wifi", "WIFI狀態"));
    ui.label_name_DBD->setText(tr5("点对点", "DBD", "Пиксель к пикселю", "Điểm tới điểm", "點對點"));
}

void othersetup::syncUpdate(int)
{
    ZemRamPara *p = para();
    if (!p || !p->ZemLanguageChanged())
        return;
    language_changed();
    m_focus.cancel_edit();
    para_init();
}

std::vector<int> othersetup::enabled_windows() const
{
    std::vector<int> windows;
    for (int k = 0; k < Ram::kWindows; ++k) {
        if (para()->rd16(Ram::layer(k) + Ram::kLayerEnable) != 0)
            windows.push_back(k);
    }
    return windows;
}

int othersetup::sound_window(bool *stored_valid) const
{
    const int w = Ram::rds16(para()->RAM_PARA, Ram::kAudioWindow);
    const bool valid = w >= 0 && w < Ram::kWindows && para()->rd16(Ram::layer(w) + Ram::kLayerEnable) != 0;
    if (stored_valid)
        *stored_valid = valid;
    return valid ? w : 0;
}

void othersetup::para_init()
{
    const ZemRamPara *p = para();
    const uint8_t *img = p->RAM_PARA;

    const int w = sound_window();
    const std::vector<int> windows = enabled_windows();
    QStringList names;
    int chosen = 0;
    for (int k : windows) {
        if (k < w)
            ++chosen;
        names << tr5("画面%d", "image%d", "Канал%d", "Hình ảnh%d", "畫麵%d").replace(QLatin1String("%d"), QString::number(k + 1));
    }
    m_fields[kChooser].set_entries(names, chosen);

    const bool sound_on = (p->rd16(Ram::layer(w) + Ram::kLayerAudio) & Ram::kSoundOn) != 0;
    m_fields[kSound].set_entries(off_on(), sound_on ? 1 : 0);
    m_fields[kSwitch].set_entries({tr5("无缝快切", "Seamless", "Быстро", "Chuyển đổi ngay", "無縫快切"),
                                   tr5("淡入淡出", "Fade", "Плавно", "và ngoài", "淡入淡出")},
                                  p->rd16(Ram::kSwitchEffect) != 0 ? 1 : 0);
    m_fields[kProjection].set_entries({tr5("点击切换", "Click OK", "Нажмите ОК", "Đồng ý", "點擊切換")}, 0);
    // The WiFi thread looks at the byte alone; so does this line.
    m_fields[kWifi].set_entries({tr5("开启", "ON", "Вкл", "Mở", "開啟"), tr5("关闭", "OFF", "Откл", "Đóng", "關閉")},
                                img[Ram::kWifiOff] != 0 ? 1 : 0);
    bool pixel = false;
    for (int k = 0; k < Ram::kLayerSlots && !pixel; ++k)
        pixel = img[Ram::layer(k) + Ram::kLayerEnable] != 0 && img[Ram::layer(k) + Ram::kLayerPointToPoint] != 0;
    if (!pixel)
        pixel = p->rd16(Ram::kPixelToPixel) != 0;
    m_fields[kPixel].set_entries(off_on(), pixel ? 1 : 0);
}

void othersetup::step(int delta)
{
    if (m_focus.editing()) {
        delta < 0 ? m_focus.left() : m_focus.right();
        return;
    }
    m_focus.move(delta);
    if (m_focus.index() == kProjection)
        m_focus.move(delta);
}

void othersetup::apply(int line, int choice)
{
    ZemRamPara *p = para();
    uint8_t *img = p->RAM_PARA;
    switch (line) {
    case kSound:
        apply_sound(choice);
        break;
    case kSwitch: {
        {
            ChipWrite chip;
            p->wr16(Ram::kSwitchEffect, choice ? 1 : 0);
            for (int k = 0; k < Ram::kLayerSlots; ++k) {
                uint8_t &output = img[Ram::layer(k) + Ram::kLayerOutput];
                if (choice) {
                    // Only the low bytes: the high bytes belong to whoever set them.
                    img[Ram::kFade + Ram::kFadeStride * k] = Ram::kFadeStandard;
                    img[Ram::kFade + Ram::kFadeStride * k + Ram::kFadeOut] = Ram::kFadeStandard;
                    output |= Ram::kOutputFade;
                } else {
                    output &= static_cast<uint8_t>(~Ram::kOutputFade);
                }
            }
        }
        p->ram_para_save();
        break;
    }
    case kWifi:
        {
            ChipWrite chip;
            img[Ram::kWifiOff] = choice ? 1 : 0;
        }
        // The shell and the WiFi thread are not kept waiting behind the chip mutex.
        if (choice)
            K58_WIFI_CONFIG::stop_access_point();
        else if (K58_WIFI_CONFIG::p_wifi_config)
            K58_WIFI_CONFIG::p_wifi_config->set_wifi_reset_flag();
        break;
    case kPixel:
        {
            ChipWrite chip;
            p->wr16(Ram::kPixelToPixel, choice ? 1 : 0);
            for (int k = 0; k < Ram::kLayerSlots; ++k)
                img[Ram::layer(k) + Ram::kLayerPointToPoint] = choice ? 1 : 0;
        }
        p->ram_para_save();
        break;
    default:
        // The chooser takes effect when the sound line is applied; projection does nothing.
        break;
    }
}

void othersetup::apply_sound(int choice)
{
    // The chooser's entry names the window, counted among those enabled now.
    const std::vector<int> windows = enabled_windows();
    const int entry = m_fields[kChooser].current();
    if (entry < 0 || entry >= int(windows.size()))
        return;
    const int k = windows[size_t(entry)];
    ZemRamPara *p = para();
    ChipWrite chip;
    const bool on = (p->rd16(Ram::layer(k) + Ram::kLayerAudio) & Ram::kSoundOn) != 0;
    if (on == (choice != 0))
        return;
    p->wr16(Ram::kAudioWindow, static_cast<uint16_t>(k));
    p->wr16(Ram::layer(k) + Ram::kLayerAudio, choice ? Ram::kSoundOnWord : 0);
}
