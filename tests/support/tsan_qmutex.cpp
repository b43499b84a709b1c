// Built into the ThreadSanitizer build only, into every executable that links the program's core:
// the program itself as much as its tests (cmake/TsanQMutex.cmake). Qt 5's QMutex locks with
// atomics and futexes inside libQt5Core, which is not instrumented: the sanitizer sees none of its
// ordering, and would report every access guarded by a QMutex as a race. The linker sends this
// program's own calls of QMutex::lock, tryLock and unlock here (--wrap), where they are announced
// as mutex operations; calls made inside Qt itself are not affected.
#include <QMutex>
#include <sanitizer/tsan_interface.h>

extern "C" {
void __real__ZN6QMutex4lockEv(QMutex *m);
bool __real__ZN6QMutex7tryLockEi(QMutex *m, int timeout);
void __real__ZN6QMutex6unlockEv(QMutex *m);
}

namespace {
unsigned kind(const QMutex *m)
{
    return m->isRecursive() ? __tsan_mutex_write_reentrant : 0;
}
}

extern "C" {

void __wrap__ZN6QMutex4lockEv(QMutex *m)
{
    const unsigned flags = kind(m);
    __tsan_mutex_pre_lock(m, flags);
    __real__ZN6QMutex4lockEv(m);
    __tsan_mutex_post_lock(m, flags, 0);
}

bool __wrap__ZN6QMutex7tryLockEi(QMutex *m, int timeout)
{
    const unsigned flags = kind(m) | __tsan_mutex_try_lock;
    __tsan_mutex_pre_lock(m, flags);
    const bool locked = __real__ZN6QMutex7tryLockEi(m, timeout);
    __tsan_mutex_post_lock(m, locked ? flags : flags | __tsan_mutex_try_lock_failed, 0);
    return locked;
}

void __wrap__ZN6QMutex6unlockEv(QMutex *m)
{
    __tsan_mutex_pre_unlock(m, 0);
    __real__ZN6QMutex6unlockEv(m);
    __tsan_mutex_post_unlock(m, 0);
}

}
