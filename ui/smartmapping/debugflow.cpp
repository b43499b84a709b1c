// The debugging flow of the smart-mapping wizard: cabinet size (Step 1), output port (Step 2),
// rows, columns, routing pattern and offsets (Step 3, with the routing page), and Send.
#include <QToolButton>

#include "route_pattern.h"
#include "send_para.h"
#include "smartmapping.h"
#include "wizard_texts.h"

namespace {

QString routing_text(int n)
{
    return tr5("走线%1", "Routing %1", "Путь %1", "Dấu vết%1", "走線%1").arg(n);
}

QString line_png(int n)
{
    return QStringLiteral(":/png/line%1.png").arg(n);
}

}

void SmartMapping::debug_texts()
{
    const int step_pt = by_language(9, 9, 7, 7, 9);
    ui.label_step1->setText(tr5("步骤1箱体设置", "Step 1 Cabinet setup", "Шаг 1. Настройка кабинета",
                                "Bước 1: Thiết lập cabin", "步驟1箱體設置"));
    ui.label_boxwidth->setText(tr5("箱体宽度", "Cabinet width", "Ширина кабинета", "Chiều rộng cabin", "箱體寬度"));
    ui.label_boxheight->setText(tr5("箱体高度", "Cabinet height", "Высота кабинета", "Chiều cao cabin", "箱體高度"));
    ui.Button_next->setText(next_text());
    set_point_size(ui.Button_next, step_pt);

    ui.label_step2->setText(tr5("步骤2选择网口", "Step 2 Select port", "Шаг 2. Выберите сетевой порт",
                                "Bước 2 :Chọn cổng mạng", "步驟2選擇網口"));
    ui.Button_wlan1->setText(port_group_text());
    ui.Button_front_2->setText(previous_text());
    ui.Button_next_2->setText(next_text());
    for (QWidget *w : {ui.Button_front_2, ui.Button_next_2})
        set_point_size(w, step_pt);

    ui.label_step3->setText(tr5("步骤3屏参设置", "Step 3 Screen parameter setting", "Шаг 3.Настройка параметров экрана",
                                "Bước 3:Cài đặt thông số màn hình", "步驟3屏參設置"));
    ui.label_boxline->setText(
        tr5("箱体行数", "Number of Cabinet in rows", "Кол-во рядов", "Số lượng hàng tủ", "箱體行數"));
    ui.label_boxlcolumn->setText(
        tr5("箱体列数", "Number of Cabinet in lines", "Кол-во столбцов", "Số lượng cột tủ", "箱體列數"));
    ui.label_routeway->setText(tr5("屏体走线方式", "Screen alignment mode", "Тип подключения кабинетов",
                                   "Chế độ căn chỉnh màn hình", "屏體走線方式"));
    ui.label_horizon->setText(tr5("水平偏移", "Horizontal offset", "Горизонтальное\nсмещение",
                                  "Bù đắp theo\nchiều ngang", "水平偏移"));
    ui.label_vert->setText(
        tr5("垂直偏移", "Vertical offset", "Вертикальное\nсмещение", "Bù đắp theo\nchiều dọc", "垂直偏移"));
    ui.Button_send->setText(tr5("发送", "Send", "Отправить", "Gửi", "髮送"));
    ui.Button_front_3->setText(previous_text());
    set_point_size(ui.label_step3, by_language(9, 9, 7, 9, 9));
    for (QWidget *w : {ui.label_boxline, ui.label_boxlcolumn, ui.label_routeway})
        set_point_size(w, by_language(9, 7, 7, 7, 9));
    for (QWidget *w : {ui.label_horizon, ui.label_vert})
        set_point_size(w, by_language(9, 7, 6, 7, 9));
    for (QWidget *w : {ui.Button_send, ui.Button_front_3})
        set_point_size(w, by_language(9, 9, 7, 7, 9));
    line_select(g_line_type.route);

    QToolButton *const routes[RoutePattern::kPatterns] = {ui.Button_route1, ui.Button_route2, ui.Button_route3, ui.Button_route4,
                                                ui.Button_route5, ui.Button_route6, ui.Button_route7, ui.Button_route8,
                                                ui.Button_route9, ui.Button_route10, ui.Button_route11, ui.Button_route12,
                                                ui.Button_route13, ui.Button_route14, ui.Button_route15, ui.Button_route16};
    for (int n = 1; n <= RoutePattern::kPatterns; ++n) {
        QToolButton *b = routes[n - 1];
        b->setIcon(cached_icon(line_png(n)));
        b->setIconSize(QSize(40, 25));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setText(routing_text(n));
    }
    ui.Button_cancel->setText(tr5("取消", "Cancle", "Отмена", "Hủy bỏ", "取消"));
}

void SmartMapping::line_select(int n)
{
    if (n >= 1 && n <= RoutePattern::kPatterns)
        ui.Button_route->setIcon(cached_icon(line_png(n)));
    ui.Button_route->setText(routing_text(n));
    ui.Button_route->setIconSize(QSize(30, 20));
    g_line_type.route = static_cast<uint8_t>(n);
}
