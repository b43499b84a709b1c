#pragma once

// Every window of the program that takes input (a screen, the keyboard, an overlay) comes on top
// and takes the keys when it is shown, and when the window on top goes, the keys go to the one
// beneath. The device's frame buffer does this by itself; an X server without a window manager
// (the PC run) would leave a window that was made earlier under the later ones, and the keys where
// they were. The tip is none of these and never takes the keys: the frame buffer shows it in front
// as it shows every window, X raises it by its stays-on-top hint.
// Installed on the application by ui_init, once; on the device the calls change nothing.
void install_window_stacking();
