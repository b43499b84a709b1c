#include "fpga_view.h"

#include "fpga_manage.h"
#include "fpga_regs.h"

namespace FpgaView {

bool running()
{
    const fpga_manage *fpga = fpga_manage::p_fpga_manage;
    return fpga && fpga->register_value(FpgaReg::kRunning, 0) == 3;
}

uint16_t ram16(int offset)
{
    const fpga_manage *fpga = fpga_manage::p_fpga_manage;
    return fpga ? fpga->ram_mirror16(0, offset) : 0;
}

uint16_t port_links()
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    return fpga ? fpga->get_wlan_state() : 0;
}

}
