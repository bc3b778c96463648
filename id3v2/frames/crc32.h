// CRC-32 (reflected polynomial 0xEDB88320) for the tag's
// extended-header checksum.
#pragma once

#include <cstddef>
#include <cstdint>

// Folds the bytes into the register with no initial value and no final
// inversion; the caller picks both. An empty block leaves the register as it is.
void UpdateCrc32(const uint8_t* data, size_t size, uint32_t& crc);
