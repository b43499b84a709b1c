#pragma once
#include <QMutex>
#include <atomic>
#include <cstdint>

// The chip manager's mutex and update request. They live in core so that the parameter store's
// own services can hand changes to the chip; c331_manage serves them on its thread.
namespace ChipRequest {
QMutex &mutex();
std::atomic<uint8_t> &request();
}

// Holds the chip mutex for a write the chip must follow and raises the update request when it
// goes out of scope, so no screen can forget the request or unlock before raising it.
class ChipWrite
{
public:
    ChipWrite() : m_lock(&ChipRequest::mutex()) {}
    ~ChipWrite() { ChipRequest::request().store(1); }
    ChipWrite(const ChipWrite &) = delete;
    ChipWrite &operator=(const ChipWrite &) = delete;

    // Asks the FPGA thread for its LED set-up sequence after a new LED size was written under this
    // guard. Only a held guard can ask: the set-up mutex is taken inside the chip mutex, never the
    // other way round.
    void request_led_setup();

private:
    QMutexLocker m_lock;
};

// Holds the chip mutex for a write to the image that the chip does not follow (the key lock, the
// user-mode fields, the input timing rows): the chip thread copies the whole image under this
// mutex and the link threads read it, so no byte of the image is written without it.
class ChipLock
{
public:
    ChipLock() : m_lock(&ChipRequest::mutex()) {}
    ChipLock(const ChipLock &) = delete;
    ChipLock &operator=(const ChipLock &) = delete;

private:
    QMutexLocker m_lock;
};
