#pragma once
#include <array>
#include <cstdint>

// The USB key panel's LED report: report id 0, then one bit per lit key of each group.
//   [1] bit k: image k is the current image (keys B, C, E, F)
//   [2] bit s: source id s feeds the current image (keys J, K, L, I for 0..3)
//   [3] 1 while the current image is frozen (key N)
//   [4] 1 while the current image is blacked out (key P)
std::array<uint8_t, 5> zem_keys_led_report(const uint8_t *image, uint8_t current_image);

constexpr unsigned short kZemKeysVendor = 0x28E9;
constexpr unsigned short kZemKeysProduct = 0x0380;
