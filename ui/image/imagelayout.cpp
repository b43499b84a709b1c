#include "imagelayout.h"

#include <QComboBox>
#include <QFontMetrics>

#include "alias.h"
#include "global.h"
#include "sourceinfo.h"
#include "zemrampara.h"

ImageLayout *g_imagelayout = nullptr;

namespace {
constexpr QPoint kMarkerOrigin(7, 39);
constexpr int kMarkerStep = 51;
constexpr QSize kMarkerSize(51, 49);
constexpr int kNameWidth = 120;

// The point-to-point combo's entry for a window's mode; -1 leaves the combo as it is.
int p2p_entry(uint8_t flags, uint16_t mode)
{
    if (!(flags & Ram::kPointToPointOn))
        return 0;
    switch (mode) {
    case 0: return 1;
    case 8: return 2;
    case 9: return 3;
    default: return -1;
    }
}
}

ImageLayout::ImageLayout() : ScreenOf(PAGE_IMAGELAYOUT)
{
    ui.setupUi(this);
    ui.label5->hide();
    ui.label6->hide();
    // The point-to-point box shows a setting; a touch must not pick another entry.
    ui.comboBox_P2P->setAttribute(Qt::WA_TransparentForMouseEvents);
    menulist_init();
    ui.comboBox_P2P->addItems({tr5("点对点关闭", "OFF", "Откл", "Đóng", "點對點關閉"),
                               tr5("点对点开启", "ON", "Вкл", "Mở", "點對點開啟"),
                               tr5("HD3,HD4水平拼接", "HD3,HD4 Hor", "Гор HD3,HD4", "Nối ngang HD3,HD4", "HD3,HD4水平拼接"),
                               tr5("HD3,HD4垂直拼接", "HD3,HD4 Ver", "Вер HD3,HD4", "Ghép dọc HD3,HD4", "HD3,HD4垂直拼接")});
    image_init();
    image_para_update();
    language_changed();
}

void ImageLayout::menulist_init()
{
    // Windows 5 and 6 have no tab here: a current image among them is shown as window 1.
    const uint8_t current = g_image_current.load();
    m_image = current < kShownWindows ? current : 0;
}

void ImageLayout::show_image(int image)
{
    m_image = static_cast<uint8_t>((image % kShownWindows + kShownWindows) % kShownWindows);
    image_init();
    image_para_update();
    g_image_current = m_image;
    if (ZemRamPara *para = Screen::para())
        para->test_signal(CHANGE_PARA);
}

QString ImageLayout::key_line(PanelKey key, bool released) const
{
    // Left and right name the image shown; the presses name the menu this screen belongs to.
    if (released && (key == PanelKey::Left || key == PanelKey::Right))
        return c_printf("this is %s-code [ImageLayout][Release] ui_select=%#x", key == PanelKey::Left ? "left" : "right",
                        unsigned{m_image});
    if (!released && (key == PanelKey::Ok || key == PanelKey::Back))
        return c_printf("this is %s ImageLayout(Option)[Press]\n", key == PanelKey::Ok ? "OK" : "back");
    return Screen::key_line(key, released);
}

void ImageLayout::image_init()
{
    const ZemRamPara *para = Screen::para();
    const bool on = para && para->rd16(Ram::layer(m_image) + Ram::kLayerEnable) != 0;
    ui.image_state->setText(tr5("画面状态:", "Image state:", "Состояние:", "Trạng thái:", "畫麵狀態:") +
                            (on ? tr5("开启", "ON", "Вкл", "Mở", "開啟") : tr5("关闭", "OFF", "Откл", "Đóng", "關閉")));
    ui.frame_image->setGeometry(QRect(kMarkerOrigin + QPoint(kMarkerStep * m_image, 0), kMarkerSize));
}

void ImageLayout::image_para_update()
{
    const ZemRamPara *para = Screen::para();
    if (!para)
        return;
    const int layer = Ram::layer(m_image);

    ALIAS_PARA alias;
    if (get_json_alias_para(&alias, QStringLiteral("win"), m_image) == 1) {
        const QString name = QFontMetrics(ui.image_name->font()).elidedText(alias.name, Qt::ElideRight, kNameWidth);
        set_plain_text(ui.image_name, tr5("名称:", "Name:", "Название:", "Tên:", "名稱:") + name);
    } else {
        const QString format = tr5("画面名称:画面%d", "Name:Image%d", "Название:Канал%d", "Tên:Hình ảnh%d", "畫麵名稱:畫麵%d");
        set_plain_text(ui.image_name, QString::asprintf(format.toUtf8().constData(), m_image + 1));
    }

    const int source = ZemRamPara::ZemGetImageSource(para->RAM_PARA, m_image, nullptr, nullptr, 0);
    set_plain_text(ui.image_source, tr5("信源:", "Source:", "Источник:", "Nguồn tín hiệu:", "信源:") +
                                        sourceinfo::get_source_name_by_sourceid(static_cast<unsigned char>(source)));

    ui.lineEdit_X->setText(QString::number(para->rd16(layer + Ram::kLayerX)));
    ui.lineEdit_Y->setText(QString::number(para->rd16(layer + Ram::kLayerY)));
    ui.lineEdit_W->setText(QString::number(para->rd16(layer + Ram::kLayerW)));
    ui.lineEdit_H->setText(QString::number(para->rd16(layer + Ram::kLayerH)));
    mirror_select(para->rd16(layer + Ram::kLayerMirror));

    const int entry = p2p_entry(para->RAM_PARA[layer + Ram::kLayerPointToPoint], para->rd16(layer + Ram::kLayerP2PMode));
    if (entry >= 0)
        ui.comboBox_P2P->setCurrentIndex(entry);
}

void ImageLayout::mirror_select(int mirror)
{
    if (mirror < 0 || mirror > 3)
        return;
    QLabel *const labels[4] = {ui.mirror1, ui.mirror2, ui.mirror3, ui.mirror4};
    for (int i = 0; i < 4; ++i)
        labels[i]->setPixmap(png(QStringLiteral(":/png/mirror%1_%2.png").arg(i + 1).arg(QLatin1String(i == mirror ? "on" : "off"))));
}

void ImageLayout::language_changed()
{
    ui.label_title->setText(tr5("画面布局", "Screen layout", "Расположение", "Bố cục màn hình", "畫麵佈局"));
    ui.label_P2P->setText(tr5("点对点", "DBD", "Пиксель к пикселю", "Điểm tới điểm", "點對點"));
    ui.label_W->setText(tr5("宽", "W", "Ширина", "Rộng", "寬"));
    ui.label_H->setText(tr5("高", "H", "Высота", "Cao", "高"));
    ui.label_mirror->setText(tr5("镜像", "mirror", "Отражение", "Ảnh phản chiếu", "鏡像"));
}

void ImageLayout::syncUpdate(int)
{
    ZemRamPara *para = Screen::para();
    if (!para || !para->ZemLanguageChanged())
        return;
    language_changed();
    menulist_init();
    image_init();
    image_para_update();
}
