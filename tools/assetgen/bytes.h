// bytes.h -- little-endian integers appended to a file image, as BMP and WAV store them.
#pragma once

#include <cstdint>
#include <vector>

inline void put_u16(std::vector<uint8_t> &out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value & 0xff));
  out.push_back(static_cast<uint8_t>((value >> 8) & 0xff));
}

inline void put_u32(std::vector<uint8_t> &out, uint32_t value) {
  put_u16(out, value & 0xffff);
  put_u16(out, value >> 16);
}
