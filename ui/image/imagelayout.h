#pragma once
#include <QDialog>
#include <cstdint>

#include "screen.h"
#include "ui_imagelayout.h"

// The image layout (page 9): a read-only view of windows 1 to 4, one at a time, chosen with left
// and right; the window shown becomes the current image of the key panel's shortcuts.
class ImageLayout : public ScreenOf<QDialog, Ui::ImageLayout>
{
    Q_OBJECT
public:
    static constexpr int kShownWindows = 4;

    ImageLayout();

    void menulist_init();
    void image_init();
    void image_para_update();
    void mirror_select(int mirror);
    void language_changed() override;
    // Only a language change reaches this screen; other changes wait for the next left or right.
    void syncUpdate(int code) override;

    int shown_image() const { return m_image; }

protected:
    void key_left() override { show_image(m_image - 1); }
    void key_right() override { show_image(m_image + 1); }
    void key_ok() override {}
    QString key_line(PanelKey key, bool released) const override;

private:
    void show_image(int image);

    uint8_t m_image = 0;
};

extern ImageLayout *g_imagelayout;
