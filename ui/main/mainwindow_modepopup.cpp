#include "mainwindow.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <cstring>

#include "chip_request.h"
#include "global.h"
#include "modeslot.h"
#include "ram_layout.h"
#include "zemrampara.h"

// The main menu's user-mode popup: the 16 slots the call and save tools open over the menu, the
// selection the keys move through them, and the invocation or save a slot's click carries out.

QFrame *g_mode[16] = {};

namespace {
constexpr QRect kPopup(11, 6, 270, 230);
constexpr int kSlotX = 15, kSlotY = 33, kSlotPitchX = 63, kSlotPitchY = 45;
}

// Invocation and save exclude each other; both start on the first saved slot from the selection.
void MainWindow::arm_popup(bool save)
{
    l_call_state = save ? 0 : 1;
    m_save_state = save ? 1 : 0;
    const ZemRamPara *p = para();
    const int first = p ? p->ZemUserModeIndex(static_cast<char>(m_popup_select), 2) : 256;
    m_popup_select = first > 15 ? 0 : static_cast<uint8_t>(first);
    show_armed_icons();
    show_popup();
    m_pointer->setGeometry(281, save ? 188 : 148, 9, 12);
    m_pointer->show();
    m_pointer->raise();
}

void MainWindow::show_popup()
{
    mode_init();
    m_popup->setGeometry(kPopup);
    m_popup_title->setText(m_save_state ? tr5("用户模式保存", "User mode save", "Сохранение настроек", "Chế độ lưu",
                                              "用戶模式保存")
                                        : tr5("用户模式调用", "User mode invocation", "Загрузка настроек",
                                              "Điều chỉnh chế độ", "用戶模式調用"));
    m_popup->show();
    m_popup->raise();
}

void MainWindow::hide_popup()
{
    if (m_popup)
        m_popup->hide();
    m_pointer->hide();
}

void MainWindow::drop_popup()
{
    if (!m_popup)
        return;
    m_popup->hide();
    // Deferred: a slot button's click handler rebuilds the popup that holds the button.
    m_popup->deleteLater();
    m_popup = nullptr;
    m_popup_title = nullptr;
    std::fill(std::begin(g_mode), std::end(g_mode), nullptr);
    std::fill(std::begin(m_slots), std::end(m_slots), nullptr);
}

void MainWindow::mode_init()
{
    drop_popup();
    const ZemRamPara *p = para();
    auto *popup = new QWidget(this);
    popup->setObjectName(QStringLiteral("widget_mode"));
    popup->setGeometry(kPopup);
    popup->setStyleSheet(QStringLiteral(
        "#widget_mode{background-color: rgb(255, 255, 255);border:1px groove gray;border-radius:1px;}"));
    popup->setAttribute(Qt::WA_StyledBackground, true);
    m_popup = popup;

    m_popup_title = new QLabel(popup);
    m_popup_title->setGeometry(10, 5, 210, 28);
    m_popup_title->setStyleSheet(QStringLiteral("background-color: rgb(255, 255, 255);"));
    m_popup_title->setFont(m_popup_font);

    const int current = p ? p->rd16(Ram::kCurrentMode) : 0;
    const QString using_text = tr5("使用中\xC2\xAD", "Using", "Использовать", "sử dụng", "使用中\xC2\xAD");
    for (int s = 0; s < 16; ++s) {
        const bool saved = p && p->ZemUserModeSaved(s) == 1;
        auto *slot = new ModeSlot(s, saved, current == s + 1, using_text, popup);
        slot->move(kSlotX + kSlotPitchX * (s % 4), kSlotY + kSlotPitchY * (s / 4));
        slot->set_ringed(s == m_popup_select && (m_save_state || (l_call_state && saved)));
        connect(slot->button(), &QPushButton::clicked, this, &MainWindow::zem_button_mode_clicked);
        m_slots[s] = slot;
        g_mode[s] = slot->frame();
    }
    popup->hide();
}

void MainWindow::mode_window_close()
{
    if (!m_popup)
        return;
    l_call_state = 0;
    m_save_state = 0;
    hide_popup();
}

void MainWindow::zem_button_mode_clicked()
{
    ZemRamPara *p = para();
    const QObject *from = sender();
    if (!p || !from)
        return;
    bool ok = false;
    const int s = from->objectName().toInt(&ok);
    if (!ok || s < 0 || s > 15)
        return;

    if (g_mode_select < 16 && m_slots[g_mode_select])
        m_slots[g_mode_select]->show_saved(p->ZemUserModeSaved(g_mode_select) == 1);
    g_mode_select = static_cast<uint8_t>(s);

    if (m_save_state) {
        if (s + 1 != p->rd16(Ram::kModeSaveRequest)) {
            ChipWrite write;
            p->wr16(Ram::kModeSaveRequest, static_cast<uint16_t>(s + 1));
        }
        // Armed again at once: the popup is rebuilt with fresh contents.
        m_save_state = 0;
        on_toolButton4_clicked();
        m_save_asked = true;
        check_mark_once_saved({});
    } else if (l_call_state && p->ZemUserModeSaved(s) == 1) {
        {
            ChipWrite write;
            std::memcpy(p->RAM_PARA + Ram::kModeFrom, p->user_mode[s].data, Ram::kModeSize);
            p->wr16(Ram::kCurrentMode, static_cast<uint16_t>(s + 1));
            // Also drops a save request still pending.
            p->wr16(Ram::kModeSaveRequest, 0);
        }
        l_call_state = 0;
        m_popup_select = static_cast<uint8_t>(s);
        on_toolButton3_clicked();
        m_save_asked = false;
        // The check mark once the parameter file holds the invoked mode; one that changed nothing
        // the file holds is seen so at the refresh that follows.
        check_mark_once_saved([s](const ZemRamPara &saved) {
            return saved.shadow16(Ram::kCurrentMode) == s + 1
                   && std::memcmp(saved.RAM_PARA_SHADOW + Ram::kModeFrom, saved.user_mode[s].data, Ram::kModeSize) == 0;
        });
    }
    if (m_slots[s])
        m_slots[s]->show_chosen();
}

void MainWindow::step_mode_popup(char direction)
{
    const ZemRamPara *p = para();
    if (m_save_state) {
        m_popup_select = static_cast<uint8_t>((m_popup_select + (direction == 1 ? 1 : 15)) % 16);
    } else if (l_call_state) {
        const int next = p ? p->ZemUserModeIndex(static_cast<char>(m_popup_select), direction == 1 ? 1 : 0) : 256;
        m_popup_select = next > 15 ? 0 : static_cast<uint8_t>(next);
    }
    show_popup();
}

void MainWindow::close_mode_popup()
{
    l_call_state = 0;
    m_save_state = 0;
    show_armed_icons();
    hide_popup();
}
