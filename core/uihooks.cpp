#include "uihooks.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace UiHooks {

void (*refresh_screen)(int code) = nullptr;
void (*update_key_leds)() = nullptr;
void (*after_sync)(int code) = nullptr;
void (*page_language_changed)(uint8_t page) = nullptr;
void (*page_back)(uint8_t page) = nullptr;
void (*firmware_update_start)() = nullptr;
void (*firmware_update_over)() = nullptr;

void on_gui_thread(std::function<void()> work)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

}
