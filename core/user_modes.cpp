#include "zemrampara.h"

#include <cstring>

#include "marked_file.h"
#include "syncupdate.h"

using namespace Ram;
using MarkedFile::kMarker;

QString mode_file_path(int slot)
{
    return QStringLiteral("/data/modes/custom_mode%1").arg(slot + 1);
}

QString mode_osd_file_path(int slot)
{
    return QStringLiteral("/data/modes/MO%1.json").arg(slot + 1, 2, 16, QLatin1Char('0'));
}

bool ZemRamPara::load_mode_file(int slot)
{
    USER_MODE_SLOT &s = user_mode[slot];
    const bool ok = MarkedFile::read(mode_file_path(slot), s.data, kModeSize);
    s.marker[0] = s.marker[1] = ok ? kMarker : USER_MODE_SLOT::kEmpty;
    return ok;
}

bool ZemRamPara::save_mode_file(int slot)
{
    if (!ZemUserModeSaved(slot))
        return false;
    return MarkedFile::write(mode_file_path(slot), user_mode[slot].data, kModeSize);
}

void ZemRamPara::set_user_mode(int slot, const uint8_t *data)
{
    if (slot < 0 || slot >= kUserModes)
        return;
    USER_MODE_SLOT &s = user_mode[slot];
    s.marker[0] = s.marker[1] = kMarker;
    std::memcpy(s.data, data, kModeSize);
}

int ZemRamPara::mode_file_deal(int slot, int op)
{
    if (slot < 0 || slot >= kUserModes)
        return 0;
    if (op == 1) {
        SyncUpdate::pInstance()->remove_user_mode(slot);
        return 0;
    }
    return load_mode_file(slot) ? 1 : 0;
}

int ZemRamPara::ZemUserModeSaved(int slot) const
{
    if (slot < 0 || slot >= kUserModes)
        return 0;
    return user_mode[slot].marker[0] == kMarker && user_mode[slot].marker[1] == kMarker ? 1 : 0;
}

int ZemRamPara::ZemGetCurrentModeIndex() const
{
    const uint8_t v = RAM_PARA[kCurrentMode];
    return v < 17 ? v : 0;
}

int ZemRamPara::ZemUserModeIndex(int index, int operation) const
{
    if (index < 0)
        index = 0;
    if (index >= kUserModes)
        index = kUserModes - 1;
    if (operation < 0 || operation > 2)
        return 256;
    if (operation == 2 && ZemUserModeSaved(index))
        return index;
    // Operations 2 and 1 both look upwards from the slot after the index; 0 looks downwards.
    const int step = operation == 0 ? kUserModes - 1 : 1;
    for (int i = 1; i <= kUserModes; ++i) {
        const int slot = (index + step * i) % kUserModes;
        if (ZemUserModeSaved(slot))
            return slot;
    }
    return 256;
}
