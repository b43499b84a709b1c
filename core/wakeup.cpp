#include "wakeup.h"

namespace Wakeups {

// Never destroyed: the threads that pause on them run until the process is gone, past the
// destruction of the program's statics.
Wakeup &chip()
{
    static Wakeup *w = new Wakeup;
    return *w;
}

Wakeup &fpga()
{
    static Wakeup *w = new Wakeup;
    return *w;
}

}
