#include "fpga_view.h"

#include "fpga_manage.h"
#include "fpga_regs.h"

namespace FpgaView {

namespace {
// Lists the folder again through the recovery reader: its files, or -1 without a manager or when
// the folder cannot be read.
int count_files(const char *dir)
{
    const fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (!fpga || !fpga->rcv_recovery || fpga->rcv_recovery->get_dir_file(QString::fromLatin1(dir)) != 0)
        return -1;
    return fpga->rcv_recovery->file_count();
}
}

bool present()
{
    return fpga_manage::p_fpga_manage != nullptr;
}

bool running()
{
    const fpga_manage *fpga = fpga_manage::p_fpga_manage;
    return fpga && fpga->register_value(FpgaReg::kRunning, 0) == 3;
}

bool brought_up()
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    return fpga && fpga->get_fpga_status() == 1;
}

uint8_t reg(int r)
{
    const fpga_manage *fpga = fpga_manage::p_fpga_manage;
    return fpga ? fpga->register_value(static_cast<uint8_t>(r), 0) : 0;
}

uint8_t read_reg(int r)
{
    fpga_manage *fpga = fpga_manage::p_fpga_manage;
    if (!fpga)
        return 0;
    fpga->read_from_register(static_cast<uint8_t>(r), 0);
    return fpga->register_value(static_cast<uint8_t>(r), 0);
}

uint16_t ram16(int offset)
{
    const fpga_manage *fpga = fpga_manage::p_fpga_manage;
    return fpga ? fpga->ram_mirror16(0, offset) : 0;
}

std::array<uint16_t, 4> port_area(int port)
{
    uint16_t at[4];
    fpga_manage::get_eth_param_addr(static_cast<uint8_t>(port), &at[0], &at[1], &at[2], &at[3]);
    return {ram16(at[0]), ram16(at[1]), ram16(at[2]), ram16(at[3])};
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
    return count_files(rcvRecovery::kMappingDir);
}

QStringList recovery_files()
{
    const fpga_manage *fpga = fpga_manage::p_fpga_manage;
    return fpga && fpga->rcv_recovery ? fpga->rcv_recovery->file_list() : QStringList();
}

int look_for_recovery_files()
{
    return count_files(rcvRecovery::kRecoveryDir);
}

int recovery_cards()
{
    const fpga_manage *fpga = fpga_manage::p_fpga_manage;
    return fpga ? fpga->recovery_cards_found() : 0;
}

}
