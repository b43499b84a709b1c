#pragma once

// The USB key panel's shortcuts, held by every screen: receives every released key after the
// screen has handled it.
class zem_keyboard
{
public:
    zem_keyboard() = default;
    void update_usb_keyEvent(int key);
};

// Looks for the USB key panel (vendor 0x28E9, product 0x0380); 1 when present. On the device it is
// looked for on USB; elsewhere the simulated device says whether one is plugged in.
int check_hiddev();
// Sends the panel's 5-byte LED report from the image (current window, its source, freeze, black):
// to the panel on the device, to the simulated one elsewhere.
void zem_keys_update_leds();
