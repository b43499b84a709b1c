#include "zemrampara.h"

#include <cstring>

#include "chip_request.h"
#include "global.h"

using namespace Ram;

namespace {

constexpr int kSources = 6;
constexpr int kCropNumbers = 40;

bool cut_bit(int source, int number)
{
    const int bit = kCropNumbers * source + number - 1;
    return (g_cut_source_state[bit / 8] >> (bit % 8)) & 1;
}
void set_cut_bit(int source, int number)
{
    const int bit = kCropNumbers * source + number - 1;
    g_cut_source_state[bit / 8] |= static_cast<uint8_t>(1u << (bit % 8));
}
bool valid_source(int source) { return source >= 0 && source < kSources; }

}

void ZemRamPara::ZemCropSourceInit()
{
    std::memset(g_cut_source_state, 0, sizeof g_cut_source_state);
    for (int i = 0; i < kCropCount; ++i) {
        const uint16_t word = rd16(crop(i) + kCropWord);
        if (!crop_in_use(word) || !valid_source(crop_source(word)) || crop_number(word) > kCropNumbers)
            continue;
        set_cut_bit(crop_source(word), crop_number(word));
    }
}

int ZemRamPara::ZemGetSourceNum(int source, int count) const
{
    if (count < 1)
        return 0;
    if (count > kCropCount)
        count = kCropCount;
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const uint16_t word = rd16(crop(i) + kCropWord);
        if (crop_in_use(word) && crop_source(word) == source)
            ++n;
    }
    return n;
}

int ZemRamPara::ZemGetCropID(int source, int n) const
{
    if (!valid_source(source) || n < 1)
        return 0;
    for (int number = 1; number <= kCropNumbers; ++number) {
        if (cut_bit(source, number) && --n == 0)
            return number;
    }
    return 0;
}

int ZemRamPara::ZemAddCropID(int source) const
{
    if (!valid_source(source))
        return 0;
    for (int number = 1; number <= kCropNumbers; ++number) {
        if (!cut_bit(source, number))
            return number;
    }
    return 0;
}

int ZemRamPara::ZemCropRank(int index) const
{
    if (index < 0 || index >= kCropCount)
        return 0;
    const uint16_t word = rd16(crop(index) + kCropWord);
    const int source = crop_source(word);
    const int number = crop_number(word);
    if (!crop_in_use(word) || !valid_source(source) || number > kCropNumbers || !cut_bit(source, number))
        return 0;
    int rank = 0;
    for (int k = 1; k <= number; ++k)
        rank += cut_bit(source, k);
    return rank;
}

void ZemRamPara::ZemGetCropPara(int source, int n, CROP_PARA *out, int *index) const
{
    if (index)
        *index = kCropCount;
    const int number = ZemGetCropID(source, n);
    if (number == 0)
        return;
    for (int i = 0; i < kCropCount; ++i) {
        const int off = crop(i);
        const uint16_t word = rd16(off + kCropWord);
        if (!crop_in_use(word) || crop_source(word) != source || crop_number(word) != number)
            continue;
        if (out) {
            out->word = word;
            out->x = rd16(off + kCropX);
            out->y = rd16(off + kCropY);
            out->w = rd16(off + kCropW);
            out->h = rd16(off + kCropH);
        }
        if (index)
            *index = i;
        return;
    }
}

void ZemRamPara::ZemAddNewCrop(int source, const CROP_PARA *crop_in)
{
    if (!crop_in || !valid_source(source))
        return;
    ZemCropSourceInit();
    const int number = ZemAddCropID(source);
    if (number == 0)
        return;
    for (int i = 0; i < kCropCount; ++i) {
        const int off = crop(i);
        if (crop_in_use(rd16(off + kCropWord)))
            continue;
        {
            ChipWrite chip;
            wr16(off + kCropWord, crop_word(number, source));
            wr16(off + kCropX, static_cast<uint16_t>(crop_in->x));
            wr16(off + kCropY, static_cast<uint16_t>(crop_in->y));
            wr16(off + kCropW, static_cast<uint16_t>(crop_in->w));
            wr16(off + kCropH, static_cast<uint16_t>(crop_in->h));
        }
        ZemCropSourceInit();
        return;
    }
}

void ZemRamPara::ZemSetCropPara(int source, int n, const CROP_PARA *crop_in)
{
    if (!crop_in)
        return;
    ZemCropSourceInit();
    int index = kCropCount;
    ZemGetCropPara(source, n, nullptr, &index);
    if (index >= kCropCount)
        return;
    const int off = crop(index);
    ChipWrite chip;
    wr16(off + kCropX, static_cast<uint16_t>(crop_in->x));
    wr16(off + kCropY, static_cast<uint16_t>(crop_in->y));
    wr16(off + kCropW, static_cast<uint16_t>(crop_in->w));
    wr16(off + kCropH, static_cast<uint16_t>(crop_in->h));
}

void ZemRamPara::ZemDeleteCrop(int source, int n)
{
    ZemCropSourceInit();
    int index = kCropCount;
    ZemGetCropPara(source, n, nullptr, &index);
    if (index >= kCropCount)
        return;
    {
        ChipWrite chip;
        free_crop_entry(index);
    }
    ZemCropSourceInit();
}

bool ZemRamPara::ZemSetCropAt(int index, uint16_t word, const CROP_PARA *crop_in)
{
    if (!crop_in || index < 0 || index >= kCropCount || !crop_in_use(word))
        return false;
    const int off = crop(index);
    // Checked under the chip mutex, where the control link writes the table too.
    ChipWrite chip;
    if (rd16(off + kCropWord) != word)
        return false;
    wr16(off + kCropX, static_cast<uint16_t>(crop_in->x));
    wr16(off + kCropY, static_cast<uint16_t>(crop_in->y));
    wr16(off + kCropW, static_cast<uint16_t>(crop_in->w));
    wr16(off + kCropH, static_cast<uint16_t>(crop_in->h));
    return true;
}

bool ZemRamPara::ZemDeleteCropAt(int index, uint16_t word)
{
    if (index < 0 || index >= kCropCount || !crop_in_use(word))
        return false;
    {
        ChipWrite chip;
        if (rd16(crop(index) + kCropWord) != word)
            return false;
        free_crop_entry(index);
    }
    ZemCropSourceInit();
    return true;
}

void ZemRamPara::free_crop_entry(int index)
{
    const uint16_t word = rd16(crop(index) + kCropWord);
    wr16(crop(index) + kCropWord, 0);
    // A window left naming the freed entry would show whatever crop is added there next, of any
    // input: it shows the whole input of the crop it had instead.
    for (int w = 0; w < kWindows; ++w) {
        const uint16_t source = rd16(layer(w) + kLayerSource);
        if ((source & kSourceIsCrop) && (source & 0xFF) == index)
            wr16(layer(w) + kLayerSource, static_cast<uint16_t>(crop_source(word)));
    }
}
