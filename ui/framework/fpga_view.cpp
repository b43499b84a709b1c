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

bool mapping_on(bool read_afresh)
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (!fpga)
        return false;
    if (read_afresh)
        fpga->read_from_register(FpgaReg::kControl, 0);
    return (fpga->register_value(FpgaReg::kControl, 0) & FpgaReg::kMappingOn) != 0;
}

void set_mapping(bool on)
{
    if (fpga_manage *fpga = fpga_manage::p_fpga_manage)
        fpga->write_to_register(FpgaReg::kControl, FpgaReg::kMappingOn, on ? FpgaReg::kMappingOn : 0, 0);
}

int mapping_folder_files()
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (!fpga || !fpga->rcv_recovery
        || fpga->rcv_recovery->get_dir_file(QString::fromLatin1(rcvRecovery::kMappingDir)) != 0)
        return -1;
    return fpga->rcv_recovery->file_count();
}

}
