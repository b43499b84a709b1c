#pragma once
#include <QMutex>
#include <atomic>
#include <cstdint>

// The chip manager's mutex and update request. They live in core so that the parameter store's
// own services can hand changes to the chip; c331_manage serves them on its thread.
namespace ChipRequest {
QMutex &mutex();
std::atomic<uint8_t> &request();
// Raises the update request and wakes the chip thread to serve it at once.
void raise();
}

// Holds the chip mutex for a write to the image. The chip thread copies the whole image under
// this mutex and the link threads read it, so no byte of the image is written without it; a write
// the chip does not follow (the key lock, the user-mode fields, the input timing rows) needs no
// more than this.
class ChipLock
{
public:
    ChipLock() : m_lock(&ChipRequest::mutex()) {}
    ~ChipLock()
    {
        if (m_raise)
            ChipRequest::raise();
    }
    ChipLock(const ChipLock &) = delete;
    ChipLock &operator=(const ChipLock &) = delete;

    // The chip is to follow what is written under this hold after all (a value compared first
    // and written only when it differs): the update request is raised as the hold ends, before
    // the mutex is let go, as a ChipWrite raises it. No second guard is nested for it.
    void raise_request() { m_raise = true; }

private:
    QMutexLocker m_lock;
    bool m_raise = false;
};

// Holds the chip mutex for a write the chip must follow and raises the update request when it
// goes out of scope, so no screen can forget the request or unlock before raising it.
class ChipWrite : public ChipLock
{
public:
    ChipWrite() { raise_request(); }

    // Asks the FPGA thread for its LED set-up sequence after a new LED size was written under this
    // guard. Only a held guard can ask: the set-up mutex is taken inside the chip mutex, never the
    // other way round.
    void request_led_setup();
};
