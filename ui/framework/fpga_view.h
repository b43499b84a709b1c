#pragma once
#include <QStringList>
#include <array>
#include <cstdint>

// The FPGA as the screens read it: through the manager's lock, and as an FPGA that does not run
// (registers, links and parameter RAM all 0, no recovery files or cards) while there is no
// manager. Jobs are posted through Screen::start_job.
namespace FpgaView {

// There is a manager (the program runs one from start-up; some tests run without).
bool present();
// Register 80 of FPGA 0 holds 3.
bool running();
// Register 80 read from FPGA 0 now: it holds 3 and the FPGA was brought up since it came up.
bool brought_up();
// A register of FPGA 0 as the manager last read it.
uint8_t reg(int r);
// A register of FPGA 0 read from the FPGA now (the manager's copy renewed with it).
uint8_t read_reg(int r);
// A little-endian word of FPGA 0's parameter-RAM mirror.
uint16_t ram16(int offset);
// The area output port `port` sends: x, y, width and height from the parameter-RAM mirror.
std::array<uint16_t, 4> port_area(int port);
// Bit n: output port n has its link up.
uint16_t port_links();
// The mapping switch of FPGA 0's control register: as last read, or read from the FPGA first.
bool mapping_on(bool read_afresh);
// Sets the mapping switch of FPGA 0 at once, the register's other bits kept.
void set_mapping(bool on);
// Files of any name in the device's mapping folder as the recovery files count them; -1 without
// a manager or when the folder cannot be read.
int mapping_folder_files();

// The recovery files of the last look, unsorted.
QStringList recovery_files();
// Looks in the recovery folder again: the files it holds, or -1 when it or the manager is missing.
int look_for_recovery_files();
// The cards that answered the last recovery query.
int recovery_cards();

}
