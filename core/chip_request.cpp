#include "chip_request.h"

#include "global.h"
#include "utils.h"

namespace ChipRequest {

QMutex &mutex()
{
    // Recursive: a screen that holds a ChipWrite may call a store service that takes its own.
    static QMutex m(QMutex::Recursive);
    return m;
}

std::atomic<uint8_t> &request()
{
    static std::atomic<uint8_t> r{0};
    return r;
}

}

void ChipWrite::request_led_setup()
{
    QMutexLocker lock(&Utils::_led_para_init_mutex);
    g_set_led_para.store(1);
    g_set_led_setup.store(0);
}
