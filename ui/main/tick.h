#pragma once

// The 10 ms tick of the GUI thread (MainWindow::slot_update_timer_ticks): the tick counter, the
// upgrade overlay's animation, the tip's time-out, the delayed reboot, the ageing sampler and the
// end of the USB listener's hold-off.
void ui_tick();

// One ageing-log sample from the FPGA's registers 40, 42 and 43 with the clock, and its rise
// counted by register 42's change since the previous sample.
void sample_agelog();
