#include "chip_request.h"

#include "global.h"
#include "utils.h"
#include "wakeup.h"

namespace ChipRequest {

QMutex &mutex()
{
    // Recursive, and the store counts on it: ZemRamPara::ZemLanguageChanged and
    // SyncUpdate::write_back only try the mutex, so that a refresh never waits for another
    // thread's hold, and a refresh that runs inside the GUI thread's own hold (a writer that
    // announces before it lets go) takes it again at once and does its work there instead of
    // putting it off. Guards are not nested for it: a hold that finds only on the way that the
    // chip is to follow raises the request itself (ChipLock::raise_request).
    static QMutex m(QMutex::Recursive);
    return m;
}

std::atomic<uint8_t> &request()
{
    static std::atomic<uint8_t> r{0};
    return r;
}

void raise()
{
    request().store(1);
    Wakeups::chip().wake();
}

}

void ChipWrite::request_led_setup()
{
    QMutexLocker lock(&Utils::_led_para_init_mutex);
    g_set_led_para.store(1);
    g_set_led_setup.store(0);
    Wakeups::fpga().wake();
}
