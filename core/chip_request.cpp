#include "chip_request.h"

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
