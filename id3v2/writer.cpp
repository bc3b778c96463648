// The tag writer (to be written).
#include "id3v2/id3v2.h"
#include "id3v2/work_state.h"

uint16_t Tid3v2tag::SaveToFile(const std::string&, uint8_t, int64_t, uint8_t) { return 0x0500; }
uint16_t Tid3v2tag::SaveToStream(uint8_t, uint8_t) { return 0x0500; }
