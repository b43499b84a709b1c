#pragma once
#include <cstdint>

// Rotary encoder on "/dev/ec11" and the touch-idle counter. Nothing in the program uses it; where
// the device node is missing (every PC) it opens nothing and installs nothing.
class lcd_touch
{
public:
    static lcd_touch *p_lcd_touch;
    static lcd_touch *pInstance();

    ~lcd_touch();

    void lcd_touch_init();
    static void *lcdmanageThread(void *arg);
    int lcd_touch_detect();
    void auto_timeout_back();
    int initialize();

private:
    lcd_touch();
};

extern int ecll_fd;
extern uint32_t g_untouched_time;

void fifth_testsignal(int signum);
