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

}
