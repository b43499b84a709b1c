#include "lcd_touch.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "paths.h"

lcd_touch *lcd_touch::p_lcd_touch = nullptr;
int ecll_fd = -1;
uint32_t g_untouched_time = 0;

namespace {
constexpr uint32_t kUntouchedLimit = 100000;
}

void fifth_testsignal(int)
{
    unsigned char value = 0;
    if (ecll_fd >= 0 && read(ecll_fd, &value, 1) == 1)
        std::printf("signumkey_val: %#x\n\n", value);
}

lcd_touch *lcd_touch::pInstance()
{
    if (!p_lcd_touch)
        p_lcd_touch = new lcd_touch;
    return p_lcd_touch;
}

lcd_touch::lcd_touch()
{
    lcd_touch_init();
}

lcd_touch::~lcd_touch() = default;

void lcd_touch::lcd_touch_init()
{
    const QByteArray path = Paths::dev_local8(QStringLiteral("/dev/ec11"));
    struct stat st;
    // Only a real character device: SIGIO ownership of anything else is meaningless.
    if (stat(path.constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return;
    ecll_fd = open(path.constData(), O_RDWR);
    if (ecll_fd < 0)
        return;
    std::signal(SIGIO, fifth_testsignal);
    fcntl(ecll_fd, F_SETOWN, getpid());
    const int flags = fcntl(ecll_fd, F_GETFL);
    fcntl(ecll_fd, F_SETFL, flags | O_ASYNC);
}

void *lcd_touch::lcdmanageThread(void *arg)
{
    if (!arg)
        return nullptr;
    for (;;)
        usleep(1000);
}

int lcd_touch::lcd_touch_detect()
{
    return -1;
}

void lcd_touch::auto_timeout_back()
{
    if (lcd_touch_detect() == 0)
        g_untouched_time = 0;
    else if (g_untouched_time <= kUntouchedLimit)
        ++g_untouched_time;
}

int lcd_touch::initialize()
{
    return 0;
}
