#pragma once
// An Xvfb of the bench's own, 320 x 240 like the panel, with its screen kept in a file
// (-fbdir) that the bench maps: a frame is seen on the server the moment its pixels land there,
// whatever process drew it.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <sys/types.h>

#include "measure.h"

namespace bench {

class Xserver
{
public:
    Xserver() = default;
    ~Xserver();
    Xserver(const Xserver &) = delete;
    Xserver &operator=(const Xserver &) = delete;

    // ":N", or empty with the reason in `error`.
    QString start(QString *error);
    QString display() const { return m_display; }

    // The screen holds a drawn picture (not the black root, not a window's plain fill).
    bool screen_has_picture() const;
    // Waits up to `limit_ms` for the screen to be blank again (after a client went).
    bool wait_blank(int limit_ms) const;

    // Counts map notifications of top-level windows from here on (its own connection).
    void watch_maps();
    // Windows mapped since watch_maps(); reads what the server sent so far.
    int maps_seen();

private:
    pid_t m_pid = -1;
    QString m_display;
    QString m_fbdir;
    const uint8_t *m_fb = nullptr;
    size_t m_fb_size = 0;
    XwdImage m_image;
    void *m_connection = nullptr;
    int m_maps = 0;
};

}
