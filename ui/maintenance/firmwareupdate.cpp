#include "firmwareupdate.h"

#include <QLabel>

#include "screen.h"

FirmwareUpdate *g_move_update = nullptr;

namespace {
constexpr int kDots = 8;
constexpr int kTicksPerStep = 10;
}

FirmwareUpdate::FirmwareUpdate(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FirmwareUpdate"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setGeometry(0, 0, 320, 240);
    setStyleSheet(QStringLiteral("background-color: rgb(16, 16, 28);"));

    m_text = new QLabel(this);
    m_text->setGeometry(10, 70, 300, 50);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setWordWrap(true);
    m_text->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);font: 15px;"));
    m_text->setText(tr5("正在升级，请勿断电…", "Upgrading, do not power off...", "Обновление, не выключайте питание...",
                        "Đang nâng cấp, không tắt nguồn...", "正在升級，請勿斷電…"));

    for (int i = 0; i < kDots; ++i) {
        m_dots[i] = new QLabel(this);
        m_dots[i]->setGeometry(70 + 24 * i, 150, 10, 10);
        set_look(m_dots[i], Look::BusyDot, i == 0 ? LookState::Focus : LookState::Normal);
    }
}

void FirmwareUpdate::update_time_deal()
{
    if (++m_ticks < kTicksPerStep)
        return;
    m_ticks = 0;
    set_look(m_dots[m_step], Look::BusyDot, LookState::Normal);
    m_step = (m_step + 1) % kDots;
    set_look(m_dots[m_step], Look::BusyDot, LookState::Focus);
}

void firmware_update_start()
{
    // A second start while one runs keeps the one on screen.
    if (!g_move_update)
        g_move_update = new FirmwareUpdate(nullptr);
    g_move_update->show();
    g_move_update->raise();
}

void firmware_update_over()
{
    if (!g_move_update)
        return;
    FirmwareUpdate *overlay = g_move_update;
    g_move_update = nullptr;
    overlay->close();
    overlay->deleteLater();
}
