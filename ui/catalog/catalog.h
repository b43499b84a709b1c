#pragma once
#include <QObject>
#include <cstdint>
#include <functional>
#include <vector>

class Screen;

// Every screen class, for the tools that go through all of them (the screen walker, the key
// storm, bench/): its page, its class, how to build one to look at (built, not opened), how to
// open one as its opener does, and its page pointer. A new screen adds its row here.
struct ScreenEntry
{
    uint8_t page;
    const char *name;
    std::function<Screen *()> make;
    std::function<void()> open;
    std::function<QObject *()> pointer;
};

const std::vector<ScreenEntry> &screen_catalog();
