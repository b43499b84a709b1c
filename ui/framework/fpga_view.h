#pragma once
#include <cstdint>

// The FPGA as the screens read it: through the manager's lock, and as an FPGA that does not run
// (registers, links and parameter RAM all 0) while there is no manager.
namespace FpgaView {

// Register 80 of FPGA 0 holds 3.
bool running();
// A little-endian word of FPGA 0's parameter-RAM mirror.
uint16_t ram16(int offset);
// Bit n: output port n has its link up.
uint16_t port_links();
// The mapping switch of FPGA 0's control register: as last read, or read from the FPGA first.
bool mapping_on(bool read_afresh);
// Sets the mapping switch of FPGA 0 at once, the register's other bits kept.
void set_mapping(bool on);
// Files of any name in the device's mapping folder as the recovery files count them; -1 without
// a manager or when the folder cannot be read.
int mapping_folder_files();

}
