#pragma once

// The USB key panel's shortcuts: every screen hands them each released key after it has handled
// it. They keep no state of their own; what they change is in the image.
namespace zem_keyboard {
void update_usb_keyEvent(int key);
}

// Looks for the USB key panel (vendor 0x28E9, product 0x0380); 1 when present. On the device it is
// looked for on USB; elsewhere the simulated device says whether one is plugged in.
int check_hiddev();
// Sends the panel's 5-byte LED report from the image (current window, its source, freeze, black):
// to the panel on the device, to the simulated one elsewhere.
void zem_keys_update_leds();
