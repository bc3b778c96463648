// The tag reader (to be written).
#include "id3v2/id3v2.h"
#include "id3v2/work_state.h"

uint16_t Tid3v2tag::LoadFromFile(const std::string&, int64_t) { return 0x0100; }
uint16_t Tid3v2tag::ReadTag() { return 0x1000; }
