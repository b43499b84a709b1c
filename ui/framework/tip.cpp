#include "tip.h"

#include <QFrame>
#include <QLabel>

#include "screen.h"
#include "ui_tip.h"

TIP *g_tip = nullptr;
uint8_t g_tip_flag = 0;

namespace {
constexpr int kTimeoutTicks = 300;   // 3 s of the 10 ms tick
}

TIP::TIP(QWidget *parent) : QDialog(parent), ui(new Ui::TIP)
{
    ui->setupUi(this);
}

TIP::~TIP()
{
    delete ui;
}

TIP *TIP::create_shared()
{
    if (!g_tip) {
        g_tip = new TIP;
        // A notice, not a place for the keys: the frame buffer activates a shown window of the
        // Window or Dialog type and the stacking does the same on X, and either way the tip would
        // swallow the panel keys pressed in its 3 s. As a tool tip it is neither's; keys and
        // touches beside it stay with the screen beneath.
        g_tip->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                              | Qt::WindowDoesNotAcceptFocus);
        g_tip->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    return g_tip;
}

static QString usb_tip_text(int id)
{
    switch (id) {
    case TIP_USB_INSERTED:
        return tr5("U盘已接入\n请稍候…", "USB driver is connected,please wait...",
                   "Драйвер USB подключен,\nпожалуйста,подождите...", "Usb đã truy cập\nxin vui lòng chờ …",
                   "U盤已接入\n請稍候…");
    case TIP_USB_REMOVED:
        return tr5("U盘已拔出", "USB drive is unplugged.", "USB-накопитель отключен \nот сети.",
                   "USB Thì không kết nối.", "U盤已拔出");
    default:
        return tr5("正在读取中，请稍候…", "Reading the data,pls wait", "Прочитайте данные,\nпожалуйста,подождите",
                   "Đang đọc,xin vui lòng chờ …", "正在讀取中，請稍候…");
    }
}

void TIP::tip_create(int id)
{
    delete m_frame;
    m_frame = nullptr;

    const bool done = id == TIP_DONE;
    if (!done && id != TIP_USB_INSERTED && id != TIP_USB_REMOVED && id != TIP_USB_READING)
        return;
    const QRect frame(0, 0, done ? 120 : 220, 120);
    setGeometry(frame.translated(done ? 100 : 50, 60));
    m_frame = new QFrame(this);
    m_frame->setGeometry(frame);
    m_frame->setStyleSheet(QStringLiteral("background-color:rgb(136, 138, 133);"));
    auto *label = new QLabel(m_frame);
    if (done) {
        label->setGeometry(20, 20, 80, 80);
        label->setPixmap(png(QStringLiteral(":/png/check_180.png")));
        label->setScaledContents(true);
        label->raise();
    } else {
        label->setGeometry(5, 5, 200, 100);
        label->setStyleSheet(QStringLiteral("font: 15px"));
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setText(usb_tip_text(id));
    }
    m_frame->show();
    tip_show();
}

void TIP::tip_show()
{
    g_tip_flag = 1;
    setVisible(true);
}

void TIP::tip_outtime_deal()
{
    if (++m_ticks >= kTimeoutTicks) {
        hide();
        m_ticks = 0;
        g_tip_flag = 0;
    }
}

void show_tip(int id)
{
    if (g_tip)
        g_tip->tip_create(id);
}
