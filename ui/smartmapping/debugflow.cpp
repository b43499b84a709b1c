#include "debugflow.h"

#include <QToolButton>
#include <algorithm>
#include <iterator>

#include "fields.h"
#include "global.h"
#include "my_lineedit.h"
#include "portchoice.h"
#include "route_pattern.h"
#include "smartmapping.h"
#include "wizard_texts.h"

namespace {

enum Step1Item { kWidthItem, kHeightItem, kNextItem };
enum Step2Item { kGroupItem, kPreviousItem2, kNextItem2 };
enum Step3Item { kRowsItem, kColumnsItem, kRouteItem, kHorizontalItem, kVerticalItem, kPreviousItem3, kSendItem };
constexpr int kCancelItem = RoutePattern::kPatterns;

constexpr int kMost16 = 0xFFFF;
constexpr int kMost8 = 0xFF;

QString routing_text(int n)
{
    return tr5("走线%1", "Routing %1", "Путь %1", "Dấu vết%1", "走線%1").arg(n);
}

QString line_png(int n)
{
    return QStringLiteral(":/png/line%1.png").arg(n);
}

bool all_digits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// A field's text as the number stored: a decimal number beyond the field's width gives the
// largest the field holds, never its low bits; anything that is not a number gives 0.
int field_number(const QString &text, int most)
{
    const QString t = text.trimmed();
    if (!all_digits(t))
        return 0;
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    return !ok || v > most ? most : int(v);
}

}

DebugFlow::DebugFlow(SmartMapping &frame, Ui::SmartMapping &form, PortChoice &ports)
    : WizardFlow(frame, form), m_ports(ports)
{
    for (QWidget *w : std::initializer_list<QWidget *>{ui.lineEdit_X, ui.lineEdit_Y, ui.Button_next})
        m_step1.add(w, Look::Thin);
    m_step2.add(ui.Button_wlan1, Look::PortGroup);
    for (QWidget *w : std::initializer_list<QWidget *>{ui.Button_front_2, ui.Button_next_2})
        m_step2.add(w, Look::Thin);
    for (QWidget *w : std::initializer_list<QWidget *>{ui.lineEdit_line, ui.lineEdit_column, ui.Button_route,
                                                      ui.lineEdit_horzion, ui.lineEdit_vert, ui.Button_front_3,
                                                      ui.Button_send})
        m_step3.add(w, Look::Thin);
    QToolButton *const routes[] = {ui.Button_route1, ui.Button_route2, ui.Button_route3, ui.Button_route4,
                                   ui.Button_route5, ui.Button_route6, ui.Button_route7, ui.Button_route8,
                                   ui.Button_route9, ui.Button_route10, ui.Button_route11, ui.Button_route12,
                                   ui.Button_route13, ui.Button_route14, ui.Button_route15, ui.Button_route16};
    for (int n = 1; n <= int(std::size(routes)); ++n) {
        m_routes.add(routes[n - 1], Look::Thin);
        connect(routes[n - 1], &QToolButton::clicked, this, [this, n] { route_chosen(n); });
    }
    m_routes.add(ui.Button_cancel, Look::Thin);
    setup_number_fields();

    connect(ui.Button_next, &QPushButton::clicked, this, &DebugFlow::step1_next);
    connect(ui.Button_wlan1, &QPushButton::clicked, this, &DebugFlow::show_ports);
    connect(ui.Button_front_2, &QPushButton::clicked, this, &DebugFlow::step2_previous);
    connect(ui.Button_next_2, &QPushButton::clicked, this, &DebugFlow::step2_next);
    connect(ui.Button_route, &QPushButton::clicked, this, &DebugFlow::show_routes);
    connect(ui.Button_front_3, &QPushButton::clicked, this, &DebugFlow::step3_previous);
    connect(ui.Button_cancel, &QToolButton::clicked, this, &DebugFlow::routes_cancelled);
    connect(ui.Button_send, &QPushButton::clicked, this, &DebugFlow::send);
}

// ---- texts ------------------------------------------------------------------------------------

void DebugFlow::texts()
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
    line_select(m_frame.line().route);

    for (int n = 1; n <= RoutePattern::kPatterns; ++n) {
        auto *b = static_cast<QToolButton *>(m_routes.at(n - 1));
        b->setIcon(cached_icon(line_png(n)));
        b->setIconSize(QSize(40, 25));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setText(routing_text(n));
    }
    ui.Button_cancel->setText(tr5("取消", "Cancle", "Отмена", "Hủy bỏ", "取消"));
}

// ---- the number fields ------------------------------------------------------------------------

void DebugFlow::setup_number_fields()
{
    struct Field
    {
        My_lineEdit *edit;
        const char *title[3];   // English (also Russian and Vietnamese), zh-Hans, zh-Hant
        int most;
    };
    const Field fields[] = {
        {ui.lineEdit_X, {"width", "箱体宽度", "箱體寬度"}, kMost16},
        {ui.lineEdit_Y, {"height", "箱体高度", "箱體高度"}, kMost16},
        {ui.lineEdit_line, {"rows", "箱体行数", "箱體行數"}, kMost8},
        {ui.lineEdit_column, {"lines", "箱体列数", "箱體列數"}, kMost8},
        {ui.lineEdit_horzion, {"Horizontal", "水平偏移", "水平偏移"}, kMost16},
        {ui.lineEdit_vert, {"Vertical", "垂直偏移", "垂直偏移"}, kMost16},
    };
    for (const Field &f : fields) {
        const auto title = [en = f.title[0], zh = f.title[1], tw = f.title[2]] { return tr5(zh, en, en, en, tw); };
        // A number too large for its field shows what it will store.
        const auto accept = [edit = f.edit, most = f.most](const QString &text) {
            edit->setText(all_digits(text.trimmed()) ? QString::number(field_number(text, most)) : text);
        };
        new NumberField(f.edit, title, accept);
    }
}

// ---- the routing pattern ----------------------------------------------------------------------

void DebugFlow::line_select(int n)
{
    if (n >= 1 && n <= RoutePattern::kPatterns)
        ui.Button_route->setIcon(cached_icon(line_png(n)));
    ui.Button_route->setText(routing_text(n));
    ui.Button_route->setIconSize(QSize(30, 20));
    m_frame.line().route = static_cast<uint8_t>(n);
    m_frame.store_line();
}

void DebugFlow::route_chosen(int n)
{
    line_select(n);
    ui.stackedWidget->setCurrentIndex(kStep3);
}

// ---- the pages' buttons -----------------------------------------------------------------------

void DebugFlow::step1_next()
{
    line_type &line = m_frame.line();
    line.cabinet_width = static_cast<uint16_t>(field_number(ui.lineEdit_X->text(), kMost16));
    line.cabinet_height = static_cast<uint16_t>(field_number(ui.lineEdit_Y->text(), kMost16));
    m_frame.store_line();
    show_ports();
    ui.stackedWidget->setCurrentIndex(kStep2);
}

void DebugFlow::show_ports()
{
    m_ports.show(ui.Button_wlan1, ui.page_2);
}

void DebugFlow::step2_previous()
{
    ui.stackedWidget->setCurrentIndex(kStep1);
}

void DebugFlow::step2_next()
{
    ui.stackedWidget->setCurrentIndex(kStep3);
    line_select(m_frame.line().route);
}

void DebugFlow::show_routes()
{
    ui.stackedWidget->setCurrentIndex(kRouting);
}

void DebugFlow::step3_previous()
{
    if (!busy())
        ui.stackedWidget->setCurrentIndex(kStep2);
}

void DebugFlow::routes_cancelled()
{
    ui.stackedWidget->setCurrentIndex(kStep3);
}

void DebugFlow::send()
{
    if (busy())
        return;
    m_frame.start_job(JOB_MAPPING_SEND, [this] {
        line_type &line = m_frame.line();
        line.rows = static_cast<uint8_t>(field_number(ui.lineEdit_line->text(), kMost8));
        line.cols = static_cast<uint8_t>(field_number(ui.lineEdit_column->text(), kMost8));
        line.h_offset = static_cast<uint16_t>(field_number(ui.lineEdit_horzion->text(), kMost16));
        line.v_offset = static_cast<uint16_t>(field_number(ui.lineEdit_vert->text(), kMost16));
        g_line_type = line;
        zem_debug("\n set the route_way = %d \n", line.route);
    });
}

// ---- keys -------------------------------------------------------------------------------------

int DebugFlow::step() const
{
    switch (m_levels.current()) {
    case Level::Step1:
        return 0;
    case Level::Step2:
    case Level::Grid:
        return 1;
    default:
        return 2;
    }
}

void DebugFlow::show_first_page()
{
    ui.stackedWidget->setCurrentIndex(kStep1);
}

void DebugFlow::enter()
{
    m_levels.back_to(Level::Step1);
    m_levels.set_index(kWidthItem);
}

void DebugFlow::move(int delta)
{
    if (m_levels.at(Level::Grid)) {
        m_ports.move(delta, ui.page_2);
        return;
    }
    if (m_levels.at(Level::Step2) && (m_step2.index() + delta + m_step2.size()) % m_step2.size() == kGroupItem)
        show_ports();
    m_levels.list()->move(delta);
}

void DebugFlow::ok()
{
    switch (m_levels.current()) {
    case Level::Step1:
        if (m_step1.index() != kNextItem) {
            m_step1.ok();   // the number field opens its keyboard
            break;
        }
        step1_next();
        m_levels.enter(Level::Step2, kGroupItem, &m_step2);
        set_look(ui.Button_front_2, Look::Thin, LookState::Normal);
        set_look(ui.Button_next_2, Look::Thin, LookState::Normal);
        break;
    case Level::Step2:
        switch (m_step2.index()) {
        case kGroupItem:
            m_levels.enter(Level::Grid);
            m_ports.enter(ui.Button_wlan1, ui.page_2, true);
            break;
        case kPreviousItem2:
            step2_previous();
            m_levels.leave();
            break;
        default:
            step2_next();
            m_levels.enter(Level::Step3, kRowsItem, &m_step3);
            set_look(ui.Button_front_3, Look::Thin, LookState::Normal);
            set_look(ui.Button_send, Look::Thin, LookState::Normal);
            break;
        }
        break;
    case Level::Grid:
        m_ports.confirm();
        m_levels.leave();
        break;
    case Level::Step3:
        switch (m_step3.index()) {
        case kRouteItem: {
            show_routes();
            const int route = m_frame.line().route;
            m_levels.enter(Level::Routes, route >= 1 && route <= RoutePattern::kPatterns ? route - 1 : 0, &m_routes);
            break;
        }
        case kPreviousItem3:
            if (busy())
                break;
            step3_previous();
            m_levels.leave();
            break;
        case kSendItem:
            send();
            break;
        default:
            m_step3.ok();
            break;
        }
        break;
    case Level::Routes:
        if (m_routes.index() == kCancelItem)
            routes_cancelled();
        else
            route_chosen(m_routes.index() + 1);
        m_levels.leave();
        break;
    }
}

void DebugFlow::back()
{
    switch (m_levels.current()) {
    case Level::Step1:
        m_step1.unfocus_current();
        m_frame.back_to_column();
        break;
    case Level::Grid:
        m_ports.restore();
        show_ports();
        m_levels.leave();
        break;
    case Level::Step2:
        step2_previous();
        m_levels.leave();
        break;
    case Level::Routes:
        routes_cancelled();
        line_select(m_frame.line().route);
        m_levels.leave();
        break;
    case Level::Step3:
        // Previous is refused while a job runs: the cursor stays on Step 3.
        if (busy())
            break;
        step3_previous();
        m_levels.leave();
        break;
    }
}
